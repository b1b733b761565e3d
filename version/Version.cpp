#include "version/Version.h"

namespace qinglan {

namespace build {
extern const char* const VERSION;
extern const char* const COMMIT;
} // namespace build

std::string programVersion() {
    return build::VERSION;
}

std::string buildCommit() {
    return build::COMMIT;
}

std::string versionText() {
    const std::string commit = buildCommit();
    return commit.empty() ? programVersion() : programVersion() + " (" + commit + ")";
}

std::string programLicence() {
    return QINGLAN_LICENCE;
}

} // namespace qinglan
