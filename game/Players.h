#pragma once

#include <string>

namespace qinglan {

class EngineProcess;

// Who plays a side.
enum PlayerKind : int { PLAYER_MAIN_ENGINE = 1, PLAYER_SECONDARY_ENGINE = 2, PLAYER_HUMAN = 3 };

// The menu check marks that decide the sides ("电脑执红", "电脑执黑", "副引擎执红").
struct SideChecks {
    bool computerRed = false;
    bool computerBlack = false;
    bool secondaryRed = false;
};

// With both engines loaded the main engine plays red and the secondary black (swapped
// by secondaryRed); one loaded engine plays every computer side; a computer side with
// no engine loaded counts as human.
int redPlayer(const SideChecks& checks, bool mainLoaded, bool secondaryLoaded);
int blackPlayer(const SideChecks& checks, bool mainLoaded, bool secondaryLoaded);

// The engine's name (as UTF-8 for display) for 1 and 2, "象棋爱好者" for a human.
std::string playerName(
    int kind, const EngineProcess& mainEngine, const EngineProcess& secondaryEngine);

} // namespace qinglan
