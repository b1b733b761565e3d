#include "game/EngineLocations.h"

#include "game/Game.h"

#include <filesystem>

namespace qinglan {

namespace fs = std::filesystem;

std::string packageEngineFolder(const std::string& programDir) {
    return (fs::path(programDir) / PACKAGE_ENGINE_FOLDER).lexically_normal().string();
}

std::string defaultEnginePath(const std::string& programDir, bool main) {
    const char* name = main ? DEFAULT_MAIN_ENGINE : DEFAULT_SECONDARY_ENGINE;
    const std::string beside = (fs::path(programDir) / name).string();
    const std::string packaged = (fs::path(packageEngineFolder(programDir)) / name).string();
    std::error_code error;
    if (!fs::is_regular_file(beside, error) && fs::is_regular_file(packaged, error))
        return packaged;
    return beside;
}

bool isInstalledProgram(const std::string& programDir) {
    std::error_code error;
    return !programDir.empty() && fs::is_directory(packageEngineFolder(programDir), error);
}

} // namespace qinglan
