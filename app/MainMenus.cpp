#include "app/MainMenus.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

namespace qinglan {

namespace {

QAction* item(QMenu* menu, const char* caption, const char* shortcut = nullptr) {
    QAction* action = menu->addAction(QString::fromUtf8(caption));
    if (shortcut) action->setShortcut(QKeySequence(QString::fromLatin1(shortcut)));
    return action;
}

QAction* toggle(QMenu* menu, const char* caption, const char* shortcut, bool checked) {
    QAction* action = item(menu, caption, shortcut);
    action->setCheckable(true);
    action->setChecked(checked);
    return action;
}

} // namespace

MainMenus MainMenus::build(QMenuBar& bar) {
    MainMenus m;
    QMenu* game = bar.addMenu(QStringLiteral("游戏(&F)"));
    m.newGame = item(game, "新局...(&N)", "Ctrl+N");
    m.open = item(game, "打开...(&O)");
    m.save = item(game, "保存...(&S)");
    game->addSeparator();
    m.openRecord = item(game, "打开棋谱...(&R)", "Ctrl+O");
    m.saveRecord = item(game, "保存棋谱...(&W)", "Ctrl+S");
    m.gameInfo = item(game, "棋局信息...(&I)");
    m.askToSave = toggle(game, "未保存时提示保存(&A)", nullptr, true);
    game->addSeparator();
    m.exit = item(game, "退出(&X)");

    QMenu* position = bar.addMenu(QStringLiteral("局面(&E)"));
    m.takeBack = item(position, "悔棋(&U)", "Ctrl+Z");
    m.takeBack->setEnabled(false);
    m.banMove = item(position, "设为禁着(&N)");
    m.banMove->setEnabled(false);
    m.flipBoard = toggle(position, "翻转棋盘(&F)", "Ctrl+F", false);
    position->addSeparator();
    m.copyRecord = item(position, "复制棋谱(&C)", "Ctrl+C");
    m.copyPosition = item(position, "复制局面(&P)", "Ctrl+Shift+C");
    m.paste = item(position, "粘贴(&V)", "Ctrl+V");
    QMenu* browse = position->addMenu(QStringLiteral("浏览棋谱(&B)"));
    m.browseStart = item(browse, "开局(&H)", "Home");
    m.browseBack = item(browse, "上一步(&L)", "Left");
    m.browseForward = item(browse, "下一步(&R)", "Right");
    m.browseEnd = item(browse, "终局(&E)", "End");
    m.browseNextVariation = item(browse, "下一个变着(&D)", "Down");
    m.browsePreviousVariation = item(browse, "上一个变着(&U)", "Up");

    QMenu* options = bar.addMenu(QStringLiteral("选项(&T)"));
    m.sound = toggle(options, "开启音效(&M)", "Ctrl+M", true);
    m.displaySettings = item(options, "显示设置...(&V)");
    m.showThinking = toggle(options, "显示思考信息(&D)", "Ctrl+D", false);
    m.bestMoveArrow = toggle(options, "显示最佳着法箭头(&A)", nullptr, true);

    QMenu* computer = bar.addMenu(QStringLiteral("电脑(&O)"));
    m.computerRed = toggle(computer, "电脑执红(&R)", "Ctrl+R", false);
    m.computerBlack = toggle(computer, "电脑执黑(&B)", "Ctrl+B", false);
    m.level = item(computer, "级别设置...(&L)");
    m.stopThinking = item(computer, "停止思考/立即走棋(&P)", "F4");
    m.stopThinking->setEnabled(false);
    computer->addSeparator();
    m.loadMainEngine = item(computer, "加载主引擎...(&1)");
    m.loadSecondaryEngine = item(computer, "加载副引擎...(&2)");
    computer->addSeparator();
    m.mainEngineOptions = item(computer, "主引擎设置...(&3)");
    m.secondaryEngineOptions = item(computer, "副引擎设置...(&4)");
    computer->addSeparator();
    m.secondaryPlaysRed = toggle(computer, "副引擎执红(&C)", nullptr, false);
    computer->addSeparator();
    m.analysisMode = toggle(computer, "分析模式(&A)", "Ctrl+Shift+A", false);
    QMenu* lines = computer->addMenu(QStringLiteral("分析线数(&N)"));
    auto* lineGroup = new QActionGroup(lines);
    for (int n = 1; n <= static_cast<int>(m.analysisLines.size()); ++n) {
        const std::string caption = std::to_string(n) + " 条线(&" + std::to_string(n) + ")";
        QAction* choice = toggle(lines, caption.c_str(), nullptr, n == 1);
        choice->setData(n);
        lineGroup->addAction(choice);
        m.analysisLines[static_cast<std::size_t>(n - 1)] = choice;
    }
    m.hint = item(computer, "提示(&H)", "Ctrl+H");
    m.reviewGame = item(computer, "全局分析...(&W)");
    m.evaluationChart = toggle(computer, "局势图(&G)", "Ctrl+G", false);

    QMenu* help = bar.addMenu(QStringLiteral("帮助(&H)"));
    m.helpTopics = item(help, "帮助主题(&C)", "F1");
    m.about = item(help, "关于(&A)");
    return m;
}

} // namespace qinglan
