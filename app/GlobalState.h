#pragma once

#include "app/BoardGeometry.h"
#include "app/MoveList.h"
#include "app/Players.h"
#include "app/SideClock.h"
#include "engine/EngineProcess.h"
#include "platform/Ticks.h"
#include "rules/Board.h"
#include "settings/SettingsRecords.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace qinglan {

constexpr int SPRITE_COUNT = 38;
constexpr int PIECE_SPRITES = 32; // 1-32
constexpr int FROM_MARKER = 33;
constexpr int TO_MARKER = 34;
constexpr int BOARD_SPRITE = 35;
constexpr int RED_ICON = 36;
constexpr int BLACK_ICON = 37;
constexpr int BACKGROUND_SPRITE = 38;

// One sprite of the board surface: its handle there and its logical, unflipped position.
struct SpriteSlot {
    int objectId = 0;
    int x = 0;
    int y = 0;
};

// The piece move in flight.
struct MoveAnimation {
    int sprite = 0;
    double x = 0, y = 0; // current logical position
    double dx = 0, dy = 0; // logical step per tick
    int stepsLeft = 0;
};

// Menu check marks that are state of the run (never saved).
struct MenuChecks {
    SideChecks sides;
    bool flipped = false; // "翻转棋盘(&F)"
    bool soundOn = true; // "开启音效(&M)"
    bool showThinking = false; // "显示思考信息(&D)"
};

// Everything that lives for the whole run; touched only from the user-interface thread.
struct GlobalState {
    double scaleX = 0, scaleY = 0;
    int infoWindowOffsetX = 0, infoWindowOffsetY = 0;
    int engineOptTarget = 0;
    Board board;
    SquareRef selection;
    EngineProcess mainEngine;
    EngineProcess secondaryEngine;
    int gameOver = 0;
    SideClock redClock, blackClock;
    LevelSettings currentLevel;
    std::array<SpriteSlot, SPRITE_COUNT + 1> sprites {}; // [1..38]
    std::array<std::array<int, 11>, 10> squareSprite {}; // [file 1..9][row 1..10]
    std::string mainEngineMoveText, secondaryEngineMoveText;
    MoveAnimation moveAnimation;
    DisplaySettings displaySettings;
    std::int64_t lastRefreshTick = 0;
    int levelConfirmed = 0;
    LevelSettings moreLevel;
    Board editorBoard;
    MenuChecks checks;
    MoveList moveList; // the text of "moveListBox"

    // The millisecond clock that the side clocks and the heartbeat read; tests put
    // their own in its place.
    std::function<std::int64_t()> tickSource = tickMs;
    std::int64_t now() const { return tickSource(); }

    SideClock& clockToMove() { return board.isRedToMove() ? redClock : blackClock; }
    int redPlayer() const;
    int blackPlayer() const;
    int playerToMove() const { return board.isRedToMove() ? redPlayer() : blackPlayer(); }
    std::string redPlayerName() const {
        return playerName(redPlayer(), mainEngine, secondaryEngine);
    }
    std::string blackPlayerName() const {
        return playerName(blackPlayer(), mainEngine, secondaryEngine);
    }
};

inline int GlobalState::redPlayer() const {
    return qinglan::redPlayer(checks.sides, mainEngine.isRunning(), secondaryEngine.isRunning());
}

inline int GlobalState::blackPlayer() const {
    return qinglan::blackPlayer(checks.sides, mainEngine.isRunning(), secondaryEngine.isRunning());
}

} // namespace qinglan
