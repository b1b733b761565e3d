#pragma once

#include <array>

class QAction;
class QMenuBar;

namespace qinglan {

// The items of the main window's menu bar, created in menu order with their
// captions, shortcuts and initial states. The window connects the handlers.
struct MainMenus {
    // "游戏(&F)"
    QAction* newGame = nullptr;
    QAction* open = nullptr;
    QAction* save = nullptr;
    QAction* openRecord = nullptr;
    QAction* saveRecord = nullptr;
    QAction* gameInfo = nullptr;
    QAction* askToSave = nullptr; // checked: an unsaved game is offered for saving
    QAction* exit = nullptr;
    // "局面(&E)"
    QAction* takeBack = nullptr;
    QAction* banMove = nullptr;
    QAction* flipBoard = nullptr;
    QAction* copyRecord = nullptr;
    QAction* copyPosition = nullptr;
    QAction* paste = nullptr;
    // "浏览棋谱(&B)": Home, ←, →, End, ↓, ↑
    QAction* browseStart = nullptr;
    QAction* browseBack = nullptr;
    QAction* browseForward = nullptr;
    QAction* browseEnd = nullptr;
    QAction* browseNextVariation = nullptr;
    QAction* browsePreviousVariation = nullptr;
    // "选项(&T)"
    QAction* sound = nullptr;
    QAction* displaySettings = nullptr;
    QAction* showThinking = nullptr;
    QAction* bestMoveArrow = nullptr; // checked: the best move is drawn on the board
    // "电脑(&O)"
    QAction* computerRed = nullptr;
    QAction* computerBlack = nullptr;
    QAction* level = nullptr;
    QAction* stopThinking = nullptr;
    QAction* loadMainEngine = nullptr;
    QAction* loadSecondaryEngine = nullptr;
    QAction* mainEngineOptions = nullptr;
    QAction* secondaryEngineOptions = nullptr;
    QAction* secondaryPlaysRed = nullptr;
    QAction* analysisMode = nullptr; // checked while the main engine analyses
    std::array<QAction*, 5> analysisLines {}; // "1 条线" .. "5 条线", one checked
    QAction* hint = nullptr;
    QAction* reviewGame = nullptr;
    QAction* evaluationChart = nullptr; // checked while the chart is open
    // "帮助(&H)"
    QAction* helpTopics = nullptr;
    QAction* about = nullptr;

    // Fills the bar; the actions belong to their menus.
    static MainMenus build(QMenuBar& bar);
};

} // namespace qinglan
