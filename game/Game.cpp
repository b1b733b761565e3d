#include "game/Game.h"

#include "game/EngineLocations.h"
#include "game/GameHost.h"
#include "platform/MessageCodes.h"
#include "platform/TextEncoding.h"
#include "settings/SettingsFile.h"

#include <filesystem>

namespace qinglan {

namespace {

bool isFile(const std::string& path) {
    std::error_code error;
    return !path.empty() && std::filesystem::is_regular_file(path, error);
}

// Linux engines have no ".exe": the dialog offers every file too.
constexpr const char* ENGINE_FILTER = "UCCI引擎程序（*.exe）|*.exe|所有文件（*）|*";

} // namespace

std::string engineExitQuestion(const std::string& path) {
    return "引擎:" + path + "异常退出！是否重新加载？";
}

std::string engineIdentityText(const EngineIdentity& identity) {
    std::string text = "名称：" + displayText(identity.name) + "\r\n";
    if (!identity.copyright.empty()) text += "版权：" + displayText(identity.copyright) + "\r\n";
    if (!identity.author.empty()) text += "作者：" + displayText(identity.author) + "\r\n";
    if (!identity.user.empty()) text += "用户：" + displayText(identity.user) + "\r\n";
    return text;
}

Game::~Game() {
    // Leaving waits for the slower engine only, not for one after the other.
    EngineProcess* engines[] = { &state_.mainEngine, &state_.secondaryEngine };
    EngineProcess::unloadTogether(engines);
}

Game::Game(GameHost& host, std::function<std::int64_t()> tickSource)
    : host_(host)
    , flow_(state_, host)
    , glue_(state_, host, flow_) {
    state_.tickSource = std::move(tickSource);
    flow_.setSearchStarter([this](EngineProcess& engine, std::int64_t own, std::int64_t other,
                               const std::vector<std::string>& banned) {
        glue_.startSearch(engine, state_.board, own, other, false, banned);
    });
}

void Game::loadEngineSettings(const ProfileFile& profile, const std::string& programDir) {
    EngineSettings main = readEngineSettings(profile, SECTION_MAIN_ENGINE);
    EngineSettings secondary = readEngineSettings(profile, SECTION_SECONDARY_ENGINE);
    state_.mainEngine.setOptions(main.options);
    state_.mainEngine.restoreProfile(main.profile);
    state_.secondaryEngine.setOptions(secondary.options);
    state_.secondaryEngine.restoreProfile(secondary.profile);
    // Both programs start before either is waited for, so their start-up times overlap;
    // each still receives its lines in the order of a load of its own.
    engineSlot(true).startLoad(startProgram(true, main.programPath, programDir));
    engineSlot(false).startLoad(startProgram(false, secondary.programPath, programDir));
    engineSlot(true).finishLoad();
    engineSlot(false).finishLoad();
}

void Game::saveEngineSettings(ProfileFile& profile) const {
    for (bool main : { true, false }) {
        const EngineProcess& slot = engine(main);
        // The book the engine defaults to is saved by name, as it was shown.
        writeEngineSettings(profile, main ? SECTION_MAIN_ENGINE : SECTION_SECONDARY_ENGINE,
            slot.programPath(), slot.optionsWithDefaultBook(), slot.profile());
    }
}

std::string Game::startProgram(bool main, const std::string& path, const std::string& programDir) {
    return isFile(path) ? path : defaultEnginePath(programDir, main);
}

void Game::toggleEngine(bool main) {
    EngineProcess& slot = engineSlot(main);
    glue_.forgetSearch(slot);
    if (slot.isRunning()) {
        const bool unloaded = slot.unload();
        host_.showMessage(unloaded ? "成功卸载" : "卸载失败", "", MESSAGE_OK);
    } else {
        chooseAndLoadEngine(main);
    }
    flow_.nextTurn();
    host_.refreshStatus(true);
}

void Game::chooseAndLoadEngine(bool main) {
    const std::string path
        = host_.askOpenFileName(main ? "加载主引擎" : "加载副引擎", ENGINE_FILTER);
    if (path.empty()) return;
    EngineProcess& slot = engineSlot(main);
    if (slot.loadProgram(path))
        host_.showMessage(
            engineIdentityText(slot.identity()), "关于UCCI引擎", MESSAGE_FLAG_INFORMATION);
    else
        host_.showMessage("加载失败！", "错误！", MESSAGE_FLAG_WARNING);
}

std::optional<std::string> Game::takeExitedEngine(bool main) {
    EngineProcess& slot = engineSlot(main);
    if (slot.state() != EngineState::Exited) return std::nullopt;
    std::string path = slot.programPath();
    slot.unload();
    return path;
}

void Game::reloadEngine(bool main, const std::string& path) {
    glue_.forgetSearch(engineSlot(main));
    engineSlot(main).loadProgram(path);
    // The engine died mid-turn, perhaps its own: nothing else would start it again.
    flow_.nextTurn();
    host_.refreshStatus(true);
}

void Game::changeLevel(const LevelSettings& level) {
    state_.currentLevel = level;
    const std::int64_t now = state_.now();
    // Time used stays on the panels; the new allowance is counted on top of it.
    for (SideClock* clock : { &state_.redClock, &state_.blackClock })
        clock->setLimit(clock->elapsed(now) + level.gameTimeMs);
    glue_.forgetSearch(state_.mainEngine);
    glue_.forgetSearch(state_.secondaryEngine);
}

void Game::confirmEngineOptions(bool main, const EngineOptionsChoice& choice) {
    EngineProcess& slot = engineSlot(main);
    slot.chooseForProgram(choice.protocol, choice.ownOptions);
    slot.setOptions(choice.options);
    glue_.forgetSearch(slot);
    applyChosenProtocol(main);
}

bool Game::applyChosenProtocol(bool main) {
    EngineProcess& slot = engineSlot(main);
    const EngineProtocol chosen = slot.profile().protocol;
    if (chosen == EngineProtocol::Auto || chosen == slot.protocol()) return false;
    if (slot.state() != EngineState::Idle) return false;
    // A copy: unloading clears the engine's own.
    const std::string path = slot.programPath();
    if (!slot.loadProgram(path)) host_.showMessage("加载失败！", "错误！", MESSAGE_FLAG_WARNING);
    flow_.nextTurn();
    host_.refreshStatus(true);
    return true;
}

} // namespace qinglan
