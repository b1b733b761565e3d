#pragma once

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
    QAction* exit = nullptr;
    // "局面(&E)"
    QAction* takeBack = nullptr;
    QAction* banMove = nullptr;
    QAction* flipBoard = nullptr;
    // "选项(&T)"
    QAction* sound = nullptr;
    QAction* displaySettings = nullptr;
    QAction* showThinking = nullptr;
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
    // "帮助(&H)"
    QAction* helpTopics = nullptr;
    QAction* about = nullptr;

    // Fills the bar; the actions belong to their menus.
    static MainMenus build(QMenuBar& bar);
};

} // namespace qinglan
