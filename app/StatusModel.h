#pragma once

#include "game/Players.h"

#include <cstdint>
#include <optional>
#include <string>

namespace qinglan {

inline constexpr const char* PROGRAM_TITLE = "青岚象棋5.0测试版";

// What the status needs to know of one engine slot.
struct EngineSlotView {
    bool loaded = false;
    std::string name;
    bool thinking = false; // searching for a move, not just pondering
};

// The window title: the loaded engines by slot (main first), then the program name.
std::string windowTitle(const EngineSlotView& mainEngine, const EngineSlotView& secondaryEngine);

// A player panel: side and name, used time, and in countdown modes the time left.
// Lines are separated by "\r\n".
std::string panelText(bool red, const std::string& name, std::int64_t elapsedMs,
    std::optional<std::int64_t> remainingMs);

// Enabled states and captions of the menu items that follow the game.
struct MenuState {
    bool takeBack = false; // "悔棋(&U)"
    bool banMove = false; // "设为禁着(&N)"
    bool stopThinking = false; // "停止思考/立即走棋(&P)"
    bool swapEngines = false; // "副引擎执红(&C)"
    std::string loadMainCaption;
    std::string loadSecondaryCaption;

    bool operator==(const MenuState&) const = default;
};

struct MenuInputs {
    int plyCount = 0;
    bool redToMove = true;
    SideChecks checks;
    EngineSlotView mainEngine;
    EngineSlotView secondaryEngine;
};

MenuState menuState(const MenuInputs& in);

} // namespace qinglan
