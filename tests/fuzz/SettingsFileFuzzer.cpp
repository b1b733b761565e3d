// libFuzzer target over the settings file: whatever the file holds, the engines' and the
// display settings read from it, written back and read again, are the same records.
#include "FuzzSupport.h"
#include "settings/SettingsFile.h"

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>
#include <unistd.h>

using namespace qinglan;
using fuzz::require;

namespace {

std::string scratchPath(const char* name) {
    return "/tmp/qinglan-settings-fuzz-" + std::to_string(getpid()) + "-" + name;
}

void writeFile(const std::string& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), bytes.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string input = scratchPath("in.ini");
    static const std::string output = scratchPath("out.ini");
    writeFile(input, std::string_view(reinterpret_cast<const char*>(data), size));

    const ProfileFile original(input);
    const EngineSettings main = readEngineSettings(original, SECTION_MAIN_ENGINE);
    const EngineSettings secondary = readEngineSettings(original, SECTION_SECONDARY_ENGINE);
    const DisplaySettings display = readDisplaySettings(original);

    ProfileFile rewritten(input, output);
    const bool mainStored = writeEngineSettings(
        rewritten, SECTION_MAIN_ENGINE, main.programPath, main.options, main.profile);
    const bool secondaryStored = writeEngineSettings(rewritten, SECTION_SECONDARY_ENGINE,
        secondary.programPath, secondary.options, secondary.profile);
    require(writeDisplaySettings(rewritten, display));
    require(rewritten.save());

    const ProfileFile reread(output);
    if (mainStored) {
        const EngineSettings again = readEngineSettings(reread, SECTION_MAIN_ENGINE);
        require(again.programPath == main.programPath && again.options == main.options
            && again.profile == main.profile);
    }
    if (secondaryStored) {
        const EngineSettings again = readEngineSettings(reread, SECTION_SECONDARY_ENGINE);
        require(again.programPath == secondary.programPath && again.options == secondary.options
            && again.profile == secondary.profile);
    }
    require(readDisplaySettings(reread) == display);
    return 0;
}
