// The new-game and level dialogs driven through their controls, as a person would:
// the game each choice starts, the level records they leave, and their placement.
#include "WindowFixture.h"
#include "app/dialogs/LevelDialog.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QToolTip>
#include <climits>

namespace qinglan::testing {
namespace {

// The start position with red's pieces on these squares ("b0") taken off.
std::string startWithout(std::initializer_list<const char*> squares) {
    Board board;
    board.setStartPosition();
    Grid grid;
    board.getGrid(&grid);
    for (const char* square : squares) grid[square[0] - 'a'][9 - (square[1] - '0')] = 0;
    board.setFromGrid(grid, false);
    return board.toFen();
}

constexpr const char* START_FEN
    = "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w - - 0 1";

class NewGameDialogTest : public WindowFixture {
protected:
    // Answers the new-game dialog with the radios named, then "确定"; the level
    // dialog, opened from "更多", is driven by level.
    void chooseNewGame(std::vector<const char*> radios, std::function<void(QDialog&)> level = {},
        std::function<void(QDialog&)> editor = {}) {
        onDialog = [radios, level, editor](QDialog& dialog) {
            if (dialog.windowTitle() == "级别设置") {
                if (level) level(dialog);
                return dialog.result();
            }
            if (dialog.windowTitle() == "编辑局面") {
                if (editor) editor(dialog);
                return dialog.result();
            }
            for (const char* radio : radios) clickOn(dialog, radio);
            clickOn(dialog, "确定按钮");
            return dialog.result();
        };
        menus().newGame->trigger();
    }

    // "级别设置...(&L)": the radio, the edit texts, then "确定" (or "取消").
    void chooseLevel(const char* radio, std::vector<std::pair<const char*, QString>> edits = {},
        const char* button = "确定按钮") {
        onDialog = levelDriver(radio, edits, button);
        menus().level->trigger();
    }

    static std::function<int(QDialog&)> levelDriver(const char* radio,
        std::vector<std::pair<const char*, QString>> edits, const char* button = "确定按钮") {
        return [=](QDialog& dialog) {
            clickOn(dialog, radio);
            for (const auto& [name, text] : edits) type(dialog, name, text);
            clickOn(dialog, button);
            return dialog.result();
        };
    }
};

TEST_F(NewGameDialogTest, OpensAtFirstActivationFromTheMenuAndAfterYesCancelKeepsTheGame) {
    EXPECT_EQ(dialogs, std::vector<std::string> { "开始对局" }) << "greeted once at start";
    window->activateWindow();
    settle();
    EXPECT_EQ(dialogs.size(), 1u) << "not at later activations";

    playByClicks("h2e2");
    menus().newGame->trigger(); // cancelled by the fixture
    EXPECT_EQ(dialogs.size(), 2u);
    EXPECT_EQ(game().board.plyCount(), 1);
    EXPECT_FALSE(menus().computerBlack->isChecked());
    EXPECT_FALSE(game().sides.computerBlack);
    EXPECT_EQ(game().currentLevel.moveTimeTenths, 30);

    answer = MESSAGE_YES;
    window->flow().announceResult({ Winner::Red, ResultReason::Checkmate });
    EXPECT_EQ(dialogs.size(), 3u) << "Yes opens the dialog instead of starting at once";
    EXPECT_EQ(game().gameOver, 1) << "cancelled: the finished game stays";
}

TEST_F(NewGameDialogTest, ChoicesStartTheirPositionLevelSidesAndOrientation) {
    const auto timeLimit = [](QDialog& level) {
        levelDriver("限时", { { "局时分", "1.5" }, { "局时秒", "" } })(level);
    };
    const struct {
        std::vector<const char*> radios;
        std::function<void(QDialog&)> level;
        std::string fen;
        bool computerRed, computerBlack, flipped;
        LevelSettings expected;
    } rows[] = {
        { {}, {}, std::string(START_FEN), false, true, false, { .moveTimeTenths = 30 } },
        { { "电脑执红", "让双马", "初级" }, {}, startWithout({ "b0", "h0" }), true, false, true,
            { .moveTimeTenths = 5 } },
        { { "不用电脑", "让单马", "高级" }, {}, startWithout({ "b0" }), false, false, false,
            { .moveTimeTenths = 150 } },
        { { "电脑对局", "更多级别" }, timeLimit, std::string(START_FEN), true, true, false,
            { .moveTimeTenths = 30, .gameTimeMs = 90000, .incrementMs = 2000, .mode = 4 } },
        // A cancelled level dialog leaves "更多" what it was.
        { { "我执红", "更多级别" }, [](QDialog& d) { clickOn(d, "取消按钮"); },
            std::string(START_FEN), false, true, false,
            { .moveTimeTenths = 30, .gameTimeMs = 90000, .incrementMs = 2000, .mode = 4 } },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.radios.empty() ? "initial choices" : row.radios[0]);
        chooseNewGame(row.radios, row.level);
        EXPECT_EQ(game().board.toFen(), row.fen);
        EXPECT_EQ(game().currentLevel, row.expected);
        EXPECT_EQ(menus().computerRed->isChecked(), row.computerRed);
        EXPECT_EQ(game().sides.computerRed, row.computerRed);
        EXPECT_EQ(menus().computerBlack->isChecked(), row.computerBlack);
        EXPECT_EQ(game().sides.computerBlack, row.computerBlack);
        EXPECT_EQ(menus().flipBoard->isChecked(), row.flipped);
        EXPECT_EQ(state->checks.flipped, row.flipped);
        EXPECT_EQ(listText(), "  ==开始==");
    }
    // The flipped view shows red's rook of file "a" in the top right corner.
    chooseNewGame({ "电脑执红" });
    const auto rook = static_cast<std::size_t>(state->squareSprite[1][10]);
    EXPECT_EQ(surface().position(state->sprites[rook].objectId),
        QPoint(FLIP_X - squareX(1), FLIP_Y - squareY(10)));
}

TEST_F(NewGameDialogTest, CustomPositionIsTheEditorBoardAtConfirmation) {
    // "自定义" opens the position editor; the FEN typed there is the game's start.
    chooseNewGame({ "不用电脑", "自定义" }, {}, [](QDialog& editor) {
        if (auto* fen = control<QLineEdit>(editor, "FEN编辑框"))
            fen->setText(QStringLiteral("4k4/9/9/9/9/9/9/9/4A4/3K5 b"));
        clickOn(editor, "确定按钮");
    });
    EXPECT_EQ(game().board.toFen(), "4k4/9/9/9/9/9/9/9/4A4/3K5 b - - 0 1");
    EXPECT_FALSE(game().board.isRedToMove());
}

TEST_F(NewGameDialogTest, TabStopsOnlyOnCheckedChoicesArrowsMoveWithinAndReturnConfirms) {
    using Stops = std::vector<std::string>;
    Stops newGame, afterArrow, level, editor;
    bool editorAccepted = false;
    onDialog = [&](QDialog& dialog) {
        if (dialog.windowTitle() == "编辑局面") {
            editor = tabStops(dialog);
            // Return in the FEN box is 确定.
            QTest::keyClick(control<QLineEdit>(dialog, "FEN编辑框"), Qt::Key_Return);
            editorAccepted = dialog.result() == QDialog::Accepted;
            return dialog.result();
        }
        newGame = tabStops(dialog);
        QRadioButton* intermediate = control<QRadioButton>(dialog, "中级");
        intermediate->setFocus(Qt::TabFocusReason);
        QTest::keyClick(intermediate, Qt::Key_Up);
        afterArrow = tabStops(dialog);
        clickOn(dialog, "自定义");
        return int(QDialog::Rejected);
    };
    menus().newGame->trigger();
    EXPECT_EQ(newGame, (Stops { "我执红", "不让子", "中级", "确定按钮", "取消按钮" }));
    EXPECT_EQ(afterArrow, (Stops { "我执红", "不让子", "初级", "确定按钮", "取消按钮" }));
    EXPECT_EQ(
        editor, (Stops { "FEN编辑框", "清空按钮", "默认按钮", "确定按钮", "取消按钮", "红先" }));
    EXPECT_TRUE(editorAccepted);

    onDialog = [&](QDialog& dialog) {
        level = tabStops(dialog);
        return int(QDialog::Rejected);
    };
    menus().level->trigger();
    EXPECT_EQ(level,
        (Stops { "中级", "局时分", "局时秒", "加时", "深度", "节点数", "确定按钮", "取消按钮" }));
}

TEST_F(NewGameDialogTest, PlacedAtItsSizeOverTheMainWindowWithBalloonTips) {
    window->move(100, 80);
    settle();
    std::vector<std::pair<QRect, std::string>> seen;
    onDialog = [&](QDialog& dialog) {
        seen.push_back({ dialog.geometry(), dialog.windowTitle().toStdString() });
        if (dialog.windowTitle() == "开始对局") {
            clickOn(dialog, "高级");
            seen.back().second += "|" + QToolTip::text().toStdString();
            clickOn(dialog, "电脑对局");
            seen.back().second += "|" + QToolTip::text().toStdString();
            clickOn(dialog, "更多级别");
        } else {
            // The edits of the time-limit line sit apart over the caption's wide blanks.
            int right = 0;
            for (const char* name : { "局时分", "局时秒", "加时" })
                if (auto* edit = control<QLineEdit>(dialog, name)) {
                    EXPECT_GE(edit->width(), 24) << name;
                    EXPECT_GT(edit->x(), right) << name;
                    right = edit->geometry().right();
                }
            EXPECT_LT(right, 260);
            clickOn(dialog, "无敌");
            seen.back().second += "|" + QToolTip::text().toStdString();
        }
        return int(QDialog::Rejected);
    };
    menus().newGame->trigger();
    ASSERT_EQ(seen.size(), 2u);
    const QRect main = window->frameGeometry();
    const auto centred = [&](QSize size) {
        return QRect(QPoint(main.left() + (main.width() - size.width()) / 2,
                         main.top() + (main.height() - size.height()) / 2),
            size);
    };
    EXPECT_EQ(seen[0].first, centred({ 325, 185 }));
    EXPECT_EQ(seen[0].second,
        "开始对局|高级级别会很慢，如果没有耐心，可以在 电脑=>级别设置 菜单中改变"
        "|如果您想参与，可以在 电脑 菜单中停止电脑执红或执黑");
    EXPECT_EQ(seen[1].first, centred({ 260, 190 })) << "over the main window, not its owner";
    EXPECT_EQ(seen[1].second,
        "级别设置|引擎直到算出杀棋才会走棋，也可以用 电脑=>停止思考 菜单来让引擎立即走棋。");
}

TEST_F(NewGameDialogTest, NewGameDuringASlideDropsTheSlideAndItsTurn) {
    chooseNewGame({ "电脑执红" }); // red with no engine: one "没有加载引擎！" per red turn
    ASSERT_EQ(messageCount("没有加载引擎！"), 1);
    menus().computerRed->trigger(); // red is played by hand for one move
    click({ 8, 8 });
    click({ 5, 8 });
    ASSERT_TRUE(view().isAnimating());
    chooseNewGame({ "电脑执红" });
    EXPECT_FALSE(view().isAnimating()) << "the old game's slide is dropped";
    EXPECT_EQ(game().board.plyCount(), 0);
    finishAnimation();
    EXPECT_EQ(messageCount("没有加载引擎！"), 2) << "one turn for the new game, none for the slide";
    const auto cannon = static_cast<std::size_t>(state->squareSprite[8][8]);
    ASSERT_NE(cannon, 0u);
    EXPECT_EQ(surface().position(state->sprites[cannon].objectId),
        QPoint(FLIP_X - squareX(8), FLIP_Y - squareY(8)));
    EXPECT_EQ(listText(), "  ==开始==");
}

TEST_F(NewGameDialogTest, LevelDialogRecordsEachChoiceAndKeepsOtherFields) {
    using Edits = std::vector<std::pair<const char*, QString>>;
    const struct {
        const char* radio;
        Edits edits;
        LevelSettings expected; // after every row before it
    } rows[] = {
        { "限时", {},
            { .moveTimeTenths = 30, .gameTimeMs = 600000, .incrementMs = 2000, .mode = 4 } },
        { "限时", { { "局时分", "1.5" }, { "局时秒", "" }, { "加时", " 0.25s" } },
            { .moveTimeTenths = 30, .gameTimeMs = 90000, .incrementMs = 250, .mode = 4 } },
        { "限制深度", {},
            { .moveTimeTenths = 30,
                .depthLimit = 9,
                .gameTimeMs = 90000,
                .incrementMs = 250,
                .mode = 2 } },
        { "限制节点数", {},
            { .moveTimeTenths = 30,
                .nodeLimit = 500000,
                .depthLimit = 9,
                .gameTimeMs = 90000,
                .incrementMs = 250,
                .mode = 1 } },
        { "高级", {},
            { .moveTimeTenths = 150,
                .nodeLimit = 500000,
                .depthLimit = 9,
                .gameTimeMs = 90000,
                .incrementMs = 250 } },
        { "无敌", {},
            { .moveTimeTenths = 30,
                .nodeLimit = 500000,
                .depthLimit = 9,
                .gameTimeMs = 90000,
                .incrementMs = 250,
                .mode = 5 } },
        { "初级", {},
            { .moveTimeTenths = 5,
                .nodeLimit = 500000,
                .depthLimit = 9,
                .gameTimeMs = 90000,
                .incrementMs = 250 } },
        // Edits that are not numbers read as 0, signs and leading blanks pass, and
        // nothing past the int range wraps.
        { "限制深度", { { "深度", "  -7层" } },
            { .moveTimeTenths = 30,
                .nodeLimit = 500000,
                .depthLimit = -7,
                .gameTimeMs = 90000,
                .incrementMs = 250,
                .mode = 2 } },
        { "限制节点数", { { "节点数", "abc" } },
            { .moveTimeTenths = 30,
                .depthLimit = -7,
                .gameTimeMs = 90000,
                .incrementMs = 250,
                .mode = 1 } },
        { "限时", { { "局时分", "分" }, { "局时秒", "-.5" }, { "加时", "99999999999999999999" } },
            { .moveTimeTenths = 30,
                .depthLimit = -7,
                .gameTimeMs = -500,
                .incrementMs = INT_MAX,
                .mode = 4 } },
        { "限时", { { "局时分", "-1e400" }, { "局时秒", "." }, { "加时", "1e9" } },
            { .moveTimeTenths = 30,
                .depthLimit = -7,
                .gameTimeMs = -60000,
                .incrementMs = 1000,
                .mode = 4 } },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.radio);
        chooseLevel(row.radio, row.edits);
        EXPECT_EQ(game().currentLevel, row.expected) << "the menu path replaces the level";
    }
}

TEST_F(NewGameDialogTest, LevelDialogCancelledLeavesTheGameLevelAndConfirmedActsAtOnce) {
    // Cancelled, the dialog gives nothing, and what it started from stays as it was.
    const LevelSettings before { .moveTimeTenths = 150, .depthLimit = 4, .mode = 2 };
    onDialog = levelDriver("限时", {}, "取消按钮");
    EXPECT_EQ(qinglan::chooseLevel(*window, *window, before), std::nullopt);
    chooseLevel("限时", {}, "取消按钮");
    EXPECT_EQ(game().currentLevel, (LevelSettings { .moveTimeTenths = 30 }));
    onDialog = levelDriver("限制节点数", {});
    EXPECT_EQ(qinglan::chooseLevel(*window, *window, before),
        (LevelSettings { .moveTimeTenths = 30, .nodeLimit = 500000, .depthLimit = 4, .mode = 1 }))
        << "the opening resets mode and time per move only";
    EXPECT_EQ(game().currentLevel, (LevelSettings { .moveTimeTenths = 30 })) << "asked, not done";

    playByClicks("h2e2");
    now += 5000;
    chooseLevel("限时");
    // Both sides get the ten minutes from now on: the allowance of 0 the game began
    // with is no loss on time.
    now += 1000;
    window->onHeartbeat();
    settle();
    EXPECT_EQ(game().gameOver, 0);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(game().redClock.remaining(now), 600000);
    EXPECT_EQ(game().blackClock.remaining(now), 599000);
    window->refreshStatus(true);
    for (TransparentLabel* panel : { &window->redPanel(), &window->blackPanel() })
        EXPECT_NE(text(*panel).find("倒计时："), std::string::npos) << text(*panel);
    EXPECT_NE(text(window->blackPanel()).find("已用时：00:06"), std::string::npos)
        << "time used stays on the panel";
    EXPECT_EQ(game().board.plyCount(), 1) << "the game goes on";

    chooseNewGame({ "初级" }); // a preset of the new-game dialog replaces it
    EXPECT_EQ(game().currentLevel, (LevelSettings { .moveTimeTenths = 5 }));
}

} // namespace
} // namespace qinglan::testing
