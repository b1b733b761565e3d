#pragma once

#include "settings/ProfileFile.h"
#include "settings/SettingsRecords.h"

#include <functional>
#include <string>
#include <string_view>

// The settings file: where it lives, and the two engines' options and the display
// settings in it. The file is read once at start and saved once at exit.

namespace qinglan {

inline constexpr std::string_view SETTINGS_FILE_NAME = "青岚象棋配置.ini";
inline constexpr std::string_view SECTION_MAIN_ENGINE = "主引擎";
inline constexpr std::string_view SECTION_SECONDARY_ENGINE = "副引擎";
inline constexpr std::string_view SECTION_DISPLAY = "显示";
// What "文件名" holds when nothing was ever saved: names no file, so the default
// engine program of the slot is used.
inline constexpr std::string_view NO_PROGRAM_PATH = " ";

struct EngineSettings {
    std::string programPath; // the program to start
    EngineOptions options;
    // What was kept about the program named in "选项所属程序" (announced options and
    // default book are not saved).
    EngineProfile profile;
};

// The section's engine program path, options and profile, each missing key at its
// default (randomness "small", pruning "medium", style "normal", compatibility 1,
// protocol automatic, the rest empty or 0). The engine's own options come from the
// section named after the slot's with "自带选项" appended.
EngineSettings readEngineSettings(const ProfileFile& profile, std::string_view section);
// Every key, "文件名" first, and the own options' section anew. False when some value
// could not be stored (a line break in a path, an option name that cannot be a key);
// the other keys are still written.
bool writeEngineSettings(ProfileFile& profile, std::string_view section,
    std::string_view programPath, const EngineOptions& options, const EngineProfile& learnt);

DisplaySettings readDisplaySettings(const ProfileFile& profile);
bool writeDisplaySettings(ProfileFile& profile, const DisplaySettings& display);

// Whether an unsaved game is offered for saving before it is left (section "棋谱", key
// "提示保存"); on unless turned off.
bool readAskToSaveGames(const ProfileFile& profile);
bool writeAskToSaveGames(ProfileFile& profile, bool ask);

// Whether the engine's best move is drawn as an arrow on the board (display section,
// key "最佳着法箭头"); on unless turned off.
bool readShowBestMoveArrow(const ProfileFile& profile);
bool writeShowBestMoveArrow(ProfileFile& profile, bool show);

// Where the settings are read from and saved to.
struct SettingsFileLocation {
    std::string readPath;
    std::string savePath;
};

// access(W_OK) on the path; injectable because root may write anywhere.
bool isWritablePath(const std::string& path);
// "$XDG_CONFIG_HOME/qinglan" (an absolute one), else "$HOME/.config/qinglan";
// "" when neither is known.
std::string userConfigDirectory();

// The file beside the program when it is there and writable, or when it is not there
// and the program's folder is writable. Otherwise (an installed program) the file in
// userConfigDirectory(); its folder is made on save. A read-only file beside the
// program is read until the configuration folder has a file of its own, and the
// settings are then saved there, so a shipped file serves as the first defaults.
SettingsFileLocation settingsFilePath(const std::string& programDir,
    const std::function<bool(const std::string&)>& writable = isWritablePath);

// The folder holding the running executable (from /proc/self/exe); "" when unknown.
std::string programDirectory();

} // namespace qinglan
