#include "app/StatusModel.h"

#include "app/ClockFormat.h"

namespace qinglan {

std::string windowTitle(const EngineSlotView& mainEngine, const EngineSlotView& secondaryEngine) {
    const std::string suffix = std::string(" - ") + PROGRAM_TITLE;
    if (mainEngine.loaded && secondaryEngine.loaded)
        return mainEngine.name + " VS " + secondaryEngine.name + suffix;
    if (mainEngine.loaded) return mainEngine.name + suffix;
    if (secondaryEngine.loaded) return secondaryEngine.name + suffix;
    return PROGRAM_TITLE;
}

std::string panelText(bool red, const std::string& name, std::int64_t elapsedMs,
    std::optional<std::int64_t> remainingMs) {
    std::string text = (red ? "红方:" : "黑方:") + name + "\r\n已用时：" + formatClock(elapsedMs);
    if (remainingMs) text += "\r\n倒计时：" + formatClock(*remainingMs);
    return text;
}

MenuState menuState(const MenuInputs& in) {
    const bool mainLoaded = in.mainEngine.loaded;
    const bool secondaryLoaded = in.secondaryEngine.loaded;
    MenuState s;
    s.takeBack = in.plyCount >= 1;
    // The side that made the last move is the one not to move now; the menu checks
    // decide, not which engines happen to be loaded.
    const bool lastMoverIsComputer = in.redToMove ? in.checks.computerBlack : in.checks.computerRed;
    s.banMove = s.takeBack && lastMoverIsComputer;
    s.loadMainCaption = mainLoaded ? "卸载主引擎(&1)" : "加载主引擎...(&1)";
    s.loadSecondaryCaption = secondaryLoaded ? "卸载副引擎(&2)" : "加载副引擎...(&2)";
    const int toMove = in.redToMove ? redPlayer(in.checks, mainLoaded, secondaryLoaded)
                                    : blackPlayer(in.checks, mainLoaded, secondaryLoaded);
    s.stopThinking = (toMove == PLAYER_MAIN_ENGINE && in.mainEngine.thinking)
        || (toMove == PLAYER_SECONDARY_ENGINE && in.secondaryEngine.thinking);
    s.swapEngines = mainLoaded && secondaryLoaded && !s.stopThinking;
    return s;
}

} // namespace qinglan
