#include "SettingsFile.h"

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace qinglan {

namespace fs = std::filesystem;

namespace {

constexpr const char* KEY_PROGRAM = "文件名";
constexpr const char* KEY_RANDOMNESS = "随机性";
constexpr const char* KEY_PRUNING = "裁剪深度";
constexpr const char* KEY_STYLE = "走棋风格";
constexpr const char* KEY_BOOK = "开局库";
constexpr const char* KEY_LOG = "日志文件";
constexpr const char* KEY_THREADS = "线程数";
constexpr const char* KEY_HASH = "内存使用";
constexpr const char* KEY_COMPAT = "兼容参数";
constexpr const char* KEY_PROTOCOL = "协议";
constexpr const char* KEY_RANK_BASE = "行号起点";
constexpr const char* KEY_OPTIONS_PROGRAM = "选项所属程序";
// The section of an engine's own options, after the slot's section name.
constexpr std::string_view OWN_OPTIONS_SUFFIX = "自带选项";

constexpr std::pair<EngineProtocol, const char*> PROTOCOL_TEXTS[] = {
    { EngineProtocol::Ucci, "UCCI" },
    { EngineProtocol::Uci, "UCI" },
    { EngineProtocol::Auto, "自动" },
};

constexpr const char* KEY_BACKGROUND = "底图";
constexpr const char* KEY_BOARD_ALPHA = "棋盘透明度";
constexpr const char* KEY_PIECE_ALPHA = "棋子透明度";
constexpr const char* KEY_LIST_ALPHA = "列表透明度";
constexpr const char* KEY_ANIMATION = "动画速度";

std::string ownOptionsSection(std::string_view section) {
    return std::string(section) + std::string(OWN_OPTIONS_SUFFIX);
}

EngineProtocol protocolOf(const std::string& text) {
    for (const auto& [protocol, name] : PROTOCOL_TEXTS)
        if (text == name) return protocol;
    return EngineProtocol::Auto;
}

const char* protocolText(EngineProtocol protocol) {
    for (const auto& [known, name] : PROTOCOL_TEXTS)
        if (known == protocol) return name;
    return "自动";
}

// The rank base as the number the first rank has; -1 when unknown.
int rankBaseNumber(RankBase base) {
    return base == RankBase::Zero ? 0 : base == RankBase::One ? 1 : -1;
}

RankBase rankBaseOf(int number) {
    return number == 0 ? RankBase::Zero : number == 1 ? RankBase::One : RankBase::Unknown;
}

std::string joined(const std::string& folder, std::string_view name) {
    return (fs::path(folder) / fs::path(std::string(name))).string();
}

} // namespace

EngineSettings readEngineSettings(const ProfileFile& profile, std::string_view section) {
    EngineSettings settings;
    EngineOptions& options = settings.options;
    // A missing key keeps the record's default: the defaults live in one place.
    options.randomness = profile.read(section, KEY_RANDOMNESS, options.randomness);
    options.pruning = profile.read(section, KEY_PRUNING, options.pruning);
    options.style = profile.read(section, KEY_STYLE, options.style);
    options.bookFile = profile.read(section, KEY_BOOK, options.bookFile);
    options.logFile = profile.read(section, KEY_LOG, options.logFile);
    options.threads = profile.readInt(section, KEY_THREADS, options.threads);
    options.hashSizeMb = profile.readInt(section, KEY_HASH, options.hashSizeMb);
    options.compatFlags = profile.readInt(section, KEY_COMPAT, options.compatFlags);
    EngineProfile& learnt = settings.profile;
    learnt.protocol = protocolOf(profile.read(section, KEY_PROTOCOL, ""));
    learnt.rankBase = rankBaseOf(profile.readInt(section, KEY_RANK_BASE, -1));
    learnt.programPath = profile.read(section, KEY_OPTIONS_PROGRAM, "");
    for (auto& [name, value] : profile.entries(ownOptionsSection(section)))
        learnt.ownOptions.emplace(std::move(name), std::move(value));
    settings.programPath = profile.read(section, KEY_PROGRAM, NO_PROGRAM_PATH);
    return settings;
}

bool writeEngineSettings(ProfileFile& profile, std::string_view section,
    std::string_view programPath, const EngineOptions& options, const EngineProfile& learnt) {
    // Each key is attempted even when one before it failed.
    bool written = profile.write(section, KEY_PROGRAM, programPath);
    written &= profile.write(section, KEY_RANDOMNESS, options.randomness);
    written &= profile.write(section, KEY_PRUNING, options.pruning);
    written &= profile.write(section, KEY_STYLE, options.style);
    written &= profile.write(section, KEY_BOOK, options.bookFile);
    written &= profile.write(section, KEY_LOG, options.logFile);
    written &= profile.writeInt(section, KEY_THREADS, options.threads);
    written &= profile.writeInt(section, KEY_HASH, options.hashSizeMb);
    written &= profile.writeInt(section, KEY_COMPAT, options.compatFlags);
    written &= profile.write(section, KEY_PROTOCOL, protocolText(learnt.protocol));
    written &= profile.writeInt(section, KEY_RANK_BASE, rankBaseNumber(learnt.rankBase));
    written &= profile.write(section, KEY_OPTIONS_PROGRAM, learnt.programPath);
    // Options the engine no longer has leave the file with the section.
    const std::string own = ownOptionsSection(section);
    profile.removeSection(own);
    for (const auto& [name, value] : learnt.ownOptions) written &= profile.write(own, name, value);
    return written;
}

bool readAskToSaveGames(const ProfileFile& profile) {
    return profile.readInt("棋谱", "提示保存", 1) != 0;
}

bool writeAskToSaveGames(ProfileFile& profile, bool ask) {
    return profile.writeInt("棋谱", "提示保存", ask ? 1 : 0);
}

bool readShowBestMoveArrow(const ProfileFile& profile) {
    return profile.readInt(SECTION_DISPLAY, "最佳着法箭头", 1) != 0;
}

bool writeShowBestMoveArrow(ProfileFile& profile, bool show) {
    return profile.writeInt(SECTION_DISPLAY, "最佳着法箭头", show ? 1 : 0);
}

DisplaySettings readDisplaySettings(const ProfileFile& profile) {
    const DisplaySettings fallback = defaultDisplaySettings();
    DisplaySettings display;
    display.backgroundImage
        = profile.read(SECTION_DISPLAY, KEY_BACKGROUND, fallback.backgroundImage);
    display.boardTransparency
        = profile.readInt(SECTION_DISPLAY, KEY_BOARD_ALPHA, fallback.boardTransparency);
    display.pieceTransparency
        = profile.readInt(SECTION_DISPLAY, KEY_PIECE_ALPHA, fallback.pieceTransparency);
    display.listTransparency
        = profile.readInt(SECTION_DISPLAY, KEY_LIST_ALPHA, fallback.listTransparency);
    display.animationSteps
        = profile.readInt(SECTION_DISPLAY, KEY_ANIMATION, fallback.animationSteps);
    return display;
}

bool writeDisplaySettings(ProfileFile& profile, const DisplaySettings& display) {
    bool written = profile.write(SECTION_DISPLAY, KEY_BACKGROUND, display.backgroundImage);
    written &= profile.writeInt(SECTION_DISPLAY, KEY_BOARD_ALPHA, display.boardTransparency);
    written &= profile.writeInt(SECTION_DISPLAY, KEY_PIECE_ALPHA, display.pieceTransparency);
    written &= profile.writeInt(SECTION_DISPLAY, KEY_LIST_ALPHA, display.listTransparency);
    written &= profile.writeInt(SECTION_DISPLAY, KEY_ANIMATION, display.animationSteps);
    return written;
}

bool isWritablePath(const std::string& path) {
    return access(path.c_str(), W_OK) == 0;
}

std::string userConfigDirectory() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/') return joined(xdg, "qinglan");
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return joined(joined(home, ".config"), "qinglan");
    return {};
}

SettingsFileLocation settingsFilePath(
    const std::string& programDir, const std::function<bool(const std::string&)>& writable) {
    const std::string beside = joined(programDir, SETTINGS_FILE_NAME);
    std::error_code error;
    const bool besideExists = fs::exists(beside, error);
    if (besideExists ? writable(beside) : writable(programDir)) return { beside, beside };

    const std::string folder = userConfigDirectory();
    if (folder.empty()) return { beside, beside }; // nowhere else: the save will fail
    const std::string own = joined(folder, SETTINGS_FILE_NAME);
    if (besideExists && !fs::exists(own, error)) return { beside, own };
    return { own, own };
}

std::string programDirectory() {
    std::error_code error;
    fs::path exe = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string() : exe.parent_path().string();
}

} // namespace qinglan
