#include "game/Players.h"

#include "enginelink/EngineProcess.h"
#include "platform/TextEncoding.h"

namespace qinglan {

int redPlayer(const SideChecks& checks, bool mainLoaded, bool secondaryLoaded) {
    if (!checks.computerRed) return PLAYER_HUMAN;
    if (mainLoaded)
        return secondaryLoaded && checks.secondaryRed ? PLAYER_SECONDARY_ENGINE
                                                      : PLAYER_MAIN_ENGINE;
    return secondaryLoaded ? PLAYER_SECONDARY_ENGINE : PLAYER_HUMAN;
}

int blackPlayer(const SideChecks& checks, bool mainLoaded, bool secondaryLoaded) {
    if (!checks.computerBlack) return PLAYER_HUMAN;
    if (mainLoaded) {
        if (!secondaryLoaded || checks.secondaryRed) return PLAYER_MAIN_ENGINE;
        return PLAYER_SECONDARY_ENGINE;
    }
    return secondaryLoaded ? PLAYER_SECONDARY_ENGINE : PLAYER_HUMAN;
}

std::string playerName(
    int kind, const EngineProcess& mainEngine, const EngineProcess& secondaryEngine) {
    switch (kind) {
    case PLAYER_MAIN_ENGINE:
        return displayText(mainEngine.name());
    case PLAYER_SECONDARY_ENGINE:
        return displayText(secondaryEngine.name());
    default:
        return "象棋爱好者";
    }
}

} // namespace qinglan
