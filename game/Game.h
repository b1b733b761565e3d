#pragma once

#include "game/EngineGlue.h"
#include "game/GameFlow.h"
#include "game/GameState.h"

#include <map>
#include <optional>
#include <string>

namespace qinglan {

class GameHost;
class ProfileFile;

// Default engine programs, looked up in the program's own folder (and in an installed
// package's engine folder, EngineLocations.h).
inline constexpr const char* DEFAULT_MAIN_ENGINE = "青岚引擎1.0.exe";
inline constexpr const char* DEFAULT_SECONDARY_ENGINE = "松涛引擎1.0.exe";

// What the engine options dialog hands back when confirmed: the slot's options and
// the choices about the program running in it.
struct EngineOptionsChoice {
    EngineOptions options;
    EngineProtocol protocol = EngineProtocol::Auto;
    std::map<std::string, std::string> ownOptions;

    bool operator==(const EngineOptionsChoice&) const = default;
};

// A whole game without a window: its state, its referee and its engines. The window,
// the tests and the match runner each drive one through the same calls.
class Game {
public:
    explicit Game(GameHost& host, std::function<std::int64_t()> tickSource = tickMs);
    // Unloads both engines at once.
    ~Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    const GameState& state() const { return state_; }
    GameFlow& flow() { return flow_; }
    EngineGlue& engines() { return glue_; }
    // An engine slot to read; whoever shows the game acts on it through the calls below.
    const EngineProcess& engine(bool main) const {
        return main ? state_.mainEngine : state_.secondaryEngine;
    }
    // The slot itself, for drivers without a window that script the engines directly
    // (tests, benchmarks, the match runner).
    EngineProcess& engineSlot(bool main) {
        return main ? state_.mainEngine : state_.secondaryEngine;
    }
    // The main engine lent to the window's analysis (live study, hints, reviews): its
    // searches never play, and the game does not read its replies meanwhile.
    EngineProcess& studyEngine() { return state_.mainEngine; }
    // Whether the slot's program runs; notices one that has ended.
    bool isEngineRunning(bool main) { return engineSlot(main).isRunning(); }
    // The engine options dialog confirmed: the options and the program's choices go to
    // the engine (sent at once when it is idle, else when its search ends), its stored
    // reply and guess are forgotten, and a changed protocol choice is applied
    // (applyChosenProtocol).
    void confirmEngineOptions(bool main, const EngineOptionsChoice& choice);
    // A button among the options the engine announced; false unless it is idle.
    bool pressEngineButton(bool main, const std::string& name) {
        return engineSlot(main).pressOptionButton(name);
    }

    // Player kinds and names of the sides (an engine counts only while it runs).
    int redPlayer() { return state_.redPlayer(); }
    int blackPlayer() { return state_.blackPlayer(); }
    int playerToMove() { return state_.playerToMove(); }
    std::string playerName(bool red) {
        return red ? state_.redPlayerName() : state_.blackPlayerName();
    }
    std::int64_t now() const { return state_.now(); }
    // The level the next game starts with; the clocks are left as they are.
    void setLevel(const LevelSettings& level) { state_.currentLevel = level; }
    // The level menu, mid-game: the level holds from the next search on, both sides get
    // its game time counted from now (so a countdown chosen now never loses at once),
    // and whatever was searched under the old level is forgotten.
    void changeLevel(const LevelSettings& level);

    // Start-up: both engines get their options from the settings file, then the main
    // and the secondary engine are loaded from their saved paths or the defaults (an
    // engine that fails stays unloaded, unreported).
    void loadEngineSettings(const ProfileFile& profile, const std::string& programDir);
    // Each engine's program path and options, for the next start.
    void saveEngineSettings(ProfileFile& profile) const;
    // "加载主引擎...(&1)" / "加载副引擎...(&2)": unloads a running engine, else asks for
    // a program and loads it; then the turn goes on.
    void toggleEngine(bool main);
    // An engine that ended on its own is unloaded; returns its program path for the
    // reload question, or nothing.
    std::optional<std::string> takeExitedEngine(bool main);
    // Yes to the reload question: the same program again and, when it is to move,
    // its search.
    void reloadEngine(bool main, const std::string& path);

private:
    // After its options were confirmed: a running, idle engine whose profile now names
    // UCCI or UCI while it speaks the other is loaded again, so the choice holds at
    // once (being idle, it loses no search). A busy engine, or the choice of the
    // automatic protocol, waits for the next load. True when it was loaded again; its
    // turn then goes on.
    bool applyChosenProtocol(bool main);
    void chooseAndLoadEngine(bool main);
    // The program a slot starts with: the saved path when it names a file, else the
    // slot's default program in programDir.
    static std::string startProgram(
        bool main, const std::string& path, const std::string& programDir);

    GameHost& host_;
    GameState state_;
    GameFlow flow_;
    EngineGlue glue_;
};

// "引擎:" + path + "异常退出！是否重新加载？"
std::string engineExitQuestion(const std::string& path);
// The text of the identity box shown after loading an engine.
std::string engineIdentityText(const EngineIdentity& identity);

} // namespace qinglan
