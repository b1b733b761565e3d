#pragma once

#include "app/BoardGeometry.h"
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

// Menu check marks of the window that are state of the run (never saved); the side
// checks belong to the game.
struct MenuChecks {
    bool flipped = false; // "翻转棋盘(&F)"
    bool soundOn = true; // "开启音效(&M)"
};

// What the window keeps for the whole run besides the game itself (which Game owns):
// scale, sprites, selection, the slide in flight, display settings, dialog records.
// Touched only from the user-interface thread, by the window and its board view.
struct GlobalState {
    double scaleX = 0, scaleY = 0;
    int infoWindowOffsetX = 0, infoWindowOffsetY = 0;
    SquareRef selection;
    std::array<SpriteSlot, SPRITE_COUNT + 1> sprites {}; // [1..38]
    std::array<std::array<int, 11>, 10> squareSprite {}; // [file 1..9][row 1..10]
    MoveAnimation moveAnimation;
    DisplaySettings displaySettings;
    std::int64_t lastRefreshTick = 0;
    Board editorBoard;
    MenuChecks checks;
    // Where the default engines and the settings file are looked for; "" is the
    // running program's own folder. Tests point it at a folder of their own.
    std::string programDir;

    // The millisecond clock the game and the heartbeat read; tests put their own in
    // its place before the window is made.
    std::function<std::int64_t()> tickSource = tickMs;
};

} // namespace qinglan
