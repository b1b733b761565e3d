#pragma once

#include "enginelink/EngineProcess.h"
#include "game/EngineThoughts.h"
#include "game/GameResult.h"
#include "game/MoveListText.h"
#include "game/Players.h"
#include "game/RecordKeeper.h"
#include "game/SideClock.h"
#include "platform/Ticks.h"
#include "rules/Board.h"
#include "settings/SettingsRecords.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace qinglan {

// The game without a window: the position and its record, the clocks, the level, who
// plays which side, the engines and the result. Only the classes of game/ write it;
// hosts read it through Game::state().
struct GameState {
    Board board;
    MoveListText moveList; // the text the move-list box shows, made from the record
    RecordedGame record; // the board shows the position of record.current
    EngineThoughts thoughts; // each engine's last scored line, for its move's comment
    SideClock redClock, blackClock;
    LevelSettings currentLevel;
    int gameOver = 0; // 1 once result is set
    std::optional<GameResult> result;
    SideChecks sides;
    EngineProcess mainEngine;
    EngineProcess secondaryEngine;
    // A pondering engine's guess of its opponent's move, in Chinese notation.
    std::string mainEngineMoveText, secondaryEngineMoveText;
    // The millisecond clock of the side clocks; tests and the match runner may
    // put their own in its place.
    std::function<std::int64_t()> tickSource = tickMs;

    std::int64_t now() const { return tickSource(); }
    SideClock& clockToMove() { return board.isRedToMove() ? redClock : blackClock; }
    // Side players; an engine that is not running does not count.
    int redPlayer() {
        return qinglan::redPlayer(sides, mainEngine.isRunning(), secondaryEngine.isRunning());
    }
    int blackPlayer() {
        return qinglan::blackPlayer(sides, mainEngine.isRunning(), secondaryEngine.isRunning());
    }
    int playerToMove() { return board.isRedToMove() ? redPlayer() : blackPlayer(); }
    std::string redPlayerName() { return playerName(redPlayer(), mainEngine, secondaryEngine); }
    std::string blackPlayerName() { return playerName(blackPlayer(), mainEngine, secondaryEngine); }
    EngineProcess* engineOf(int player) {
        if (player == PLAYER_MAIN_ENGINE) return &mainEngine;
        if (player == PLAYER_SECONDARY_ENGINE) return &secondaryEngine;
        return nullptr;
    }
    bool isMainEngine(EngineProcess& engine) const { return &engine == &mainEngine; }
};

} // namespace qinglan
