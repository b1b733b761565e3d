// The main window as a person meets it: captions, menus, layout, scaling, clicks,
// the move slide and its sounds.
#include "WindowFixture.h"

namespace qinglan::testing {
namespace {

using MainWindowTest = WindowFixture;

TEST_F(MainWindowTest, StartsWithTitlePanelsListAndMenuStates) {
    EXPECT_EQ(window->windowTitle().toStdString(), "青岚象棋5.0测试版");
    EXPECT_EQ(surface().size(), QSize(756, 618));
    EXPECT_DOUBLE_EQ(state->scaleX, 1.0);
    EXPECT_DOUBLE_EQ(state->scaleY, 1.0);
    EXPECT_EQ(text(window->redPanel()), "红方:象棋爱好者\n已用时：00:00");
    EXPECT_EQ(text(window->blackPanel()), "黑方:象棋爱好者\n已用时：00:00");
    EXPECT_EQ(listText(), "  ==开始==");
    EXPECT_FALSE(menus().takeBack->isEnabled());
    EXPECT_FALSE(menus().banMove->isEnabled());
    EXPECT_FALSE(menus().stopThinking->isEnabled());
    EXPECT_FALSE(menus().secondaryPlaysRed->isEnabled());
    EXPECT_EQ(menus().loadMainEngine->text().toStdString(), "加载主引擎...(&1)");
    EXPECT_EQ(menus().loadSecondaryEngine->text().toStdString(), "加载副引擎...(&2)");
    EXPECT_TRUE(menus().sound->isChecked());
    for (QAction* a : { menus().flipBoard, menus().showThinking, menus().computerRed,
             menus().computerBlack, menus().secondaryPlaysRed })
        EXPECT_FALSE(a->isChecked()) << a->text().toStdString();
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(game().gameOver, 0);
    EXPECT_EQ(game().currentLevel.moveTimeTenths, 30);
    EXPECT_EQ(state->displaySettings, defaultDisplaySettings());
}

TEST_F(MainWindowTest, MenuBarHasEveryItemWithCaptionAndShortcut) {
    const struct {
        QAction* action;
        const char* caption;
        const char* shortcut;
    } items[] = {
        { menus().newGame, "新局...(&N)", "Ctrl+N" },
        { menus().open, "打开...(&O)", "" },
        { menus().save, "保存...(&S)", "" },
        { menus().exit, "退出(&X)", "" },
        { menus().takeBack, "悔棋(&U)", "Ctrl+Z" },
        { menus().banMove, "设为禁着(&N)", "" },
        { menus().flipBoard, "翻转棋盘(&F)", "Ctrl+F" },
        { menus().sound, "开启音效(&M)", "Ctrl+M" },
        { menus().displaySettings, "显示设置...(&V)", "" },
        { menus().showThinking, "显示思考信息(&D)", "Ctrl+D" },
        { menus().computerRed, "电脑执红(&R)", "Ctrl+R" },
        { menus().computerBlack, "电脑执黑(&B)", "Ctrl+B" },
        { menus().level, "级别设置...(&L)", "" },
        { menus().stopThinking, "停止思考/立即走棋(&P)", "F4" },
        { menus().mainEngineOptions, "主引擎设置...(&3)", "" },
        { menus().secondaryEngineOptions, "副引擎设置...(&4)", "" },
        { menus().secondaryPlaysRed, "副引擎执红(&C)", "" },
        { menus().helpTopics, "帮助主题(&C)", "F1" },
        { menus().about, "关于(&A)", "" },
    };
    for (const auto& item : items) {
        ASSERT_NE(item.action, nullptr) << item.caption;
        EXPECT_EQ(item.action->text().toStdString(), item.caption);
        EXPECT_EQ(item.action->shortcut().toString().toStdString(), item.shortcut) << item.caption;
    }
    QStringList menuTitles;
    for (QAction* a : window->menuBar()->actions()) menuTitles << a->text();
    EXPECT_EQ(menuTitles.join('|').toStdString(), "游戏(&F)|局面(&E)|选项(&T)|电脑(&O)|帮助(&H)");
}

TEST_F(MainWindowTest, MoveListWindowIsTranslucentAndFollowsTheBoard) {
    MoveListWindow& list = window->moveListWindow();
    EXPECT_TRUE(list.isVisible());
    EXPECT_TRUE(list.windowFlags() & Qt::Tool);
    EXPECT_TRUE(list.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(list.parentWidget(), window.get());
    EXPECT_EQ(list.alpha(), 178);
    EXPECT_NEAR(list.windowOpacity(), 178 / 255.0, 0.01);
    const QPoint origin = surface().mapToGlobal(QPoint(0, 0));
    EXPECT_EQ(list.geometry(), QRect(origin + QPoint(571, 209), QSize(170, 200)));
    EXPECT_EQ(list.moveListBox()->font().pixelSize(), 170 / 12);

    window->move(window->pos() + QPoint(40, 30));
    settle();
    const QPoint moved = surface().mapToGlobal(QPoint(0, 0));
    EXPECT_EQ(list.geometry().topLeft(), moved + QPoint(571, 209));

    window->placeMoveListWindow(571, 209, 0, 200);
    EXPECT_FALSE(list.isVisible()) << "a width below one pixel hides the list";
}

TEST_F(MainWindowTest, TwiceTheSizeDoublesSpritesLabelsAndPanelsAndClicksStillHit) {
    resizeClient(1512, 1236);
    ASSERT_EQ(surface().size(), QSize(1512, 1236));
    EXPECT_DOUBLE_EQ(state->scaleX, 2.0);
    EXPECT_DOUBLE_EQ(state->scaleY, 2.0);
    EXPECT_EQ(window->redPanel().geometry(), QRect(1112, 1014, 400, 200));
    EXPECT_EQ(window->blackPanel().geometry(), QRect(1112, 194, 400, 200));
    // Red numbers run from red's right along the bottom, black ones from the left on top.
    EXPECT_EQ(view().redFileLabel(1)->geometry(), QRect(2 * (8 * 57 + 22), 1184, 114, 44));
    EXPECT_EQ(view().blackFileLabel(1)->geometry(), QRect(44, 6, 114, 44));
    EXPECT_EQ(view().redFileLabel(1)->text().toStdString(), "一");
    EXPECT_EQ(view().blackFileLabel(9)->text().toStdString(), "9");
    const int redCannon = state->squareSprite[8][8];
    EXPECT_EQ(surface().position(redCannon), QPoint(2 * squareX(8), 2 * squareY(8)));
    EXPECT_EQ(surface().zoomedSize(state->sprites[BOARD_SPRITE].objectId), QSize(1112, 1236));
    EXPECT_EQ(surface().zoomedSize(state->sprites[BACKGROUND_SPRITE].objectId), QSize(1512, 1236))
        << "the background covers the client area";

    playByClicks("h2e2");
    EXPECT_EQ(game().board.lastMoveText(), "h2e2");
    resizeClient(1000, 500); // another aspect ratio
    const QSize cover = surface().zoomedSize(state->sprites[BACKGROUND_SPRITE].objectId);
    EXPECT_GE(cover.width(), 1000);
    EXPECT_LE(cover.width(), 1002);
    EXPECT_GE(cover.height(), 500);
    EXPECT_LE(cover.height(), 502);
    playByClicks("h9g7");
    EXPECT_EQ(game().board.plyCount(), 2);
}

TEST_F(MainWindowTest, FlippedViewSwapsSquaresLabelsAndPanels) {
    menus().flipBoard->trigger();
    settle();
    EXPECT_TRUE(state->checks.flipped);
    // The top-left square now holds red's right chariot (file 9, row 10).
    QTest::mouseClick(&surface(), Qt::LeftButton, {}, QPoint(30, 30));
    EXPECT_EQ(state->selection, (SquareRef { 9, 10 }));
    const int chariot = state->squareSprite[9][10];
    EXPECT_EQ(surface().position(chariot), QPoint(FLIP_X - squareX(9), FLIP_Y - squareY(10)));
    EXPECT_EQ(window->redPanel().geometry().top(), 97);
    EXPECT_EQ(window->blackPanel().geometry().top(), 507);
    EXPECT_EQ(view().redFileLabel(1)->geometry().topLeft(), QPoint(22, 3));

    click({ 9, 9 }); // i1: the chariot steps forward
    finishAnimation();
    EXPECT_EQ(game().board.lastMoveText(), "i0i1");
    EXPECT_EQ(listText(), "  ==开始==\n  1.车一进一");
}

TEST_F(MainWindowTest, ClicksSelectRefuseAndMove) {
    click({ 8, 10 }); // red horse h0
    EXPECT_EQ(state->selection, (SquareRef { 8, 10 }));
    const int from = state->sprites[FROM_MARKER].objectId;
    EXPECT_TRUE(surface().isSpriteVisible(from));
    EXPECT_EQ(surface().layer(from), 3);
    click({ 8, 5 }); // h5: no horse move
    EXPECT_EQ(game().board.plyCount(), 0);
    EXPECT_EQ(state->selection, (SquareRef { 8, 10 }))
        << "a refused move keeps the piece picked up";
    ASSERT_EQ(sounds.size(), 1u);
    EXPECT_EQ(sounds[0], SoundClip::Illegal);

    click({ 8, 8 }); // another own piece: the cannon
    EXPECT_EQ(state->selection, (SquareRef { 8, 8 }));
    click({ 1, 1 }); // an enemy chariot, not reachable: refused
    EXPECT_EQ(game().board.plyCount(), 0);

    menus().sound->trigger(); // sound off: refusals are silent
    click({ 4, 5 });
    EXPECT_EQ(sounds.size(), 2u);
    menus().sound->trigger();

    QTest::mouseClick(&surface(), Qt::LeftButton, {}, QPoint(10, 10)); // off the grid
    EXPECT_EQ(state->selection, (SquareRef { 8, 8 }));
    click({ 5, 8 });
    EXPECT_TRUE(state->selection.isNone());
    EXPECT_EQ(game().board.lastMoveText(), "h2e2");
}

TEST_F(MainWindowTest, SlideRaisesThePieceEndsAndPlaysTheRightSound) {
    // Red's chariot on e0 can take the pawn on e5 (check) or the one on a1 (no check).
    window->flow().newGame("4k4/9/9/9/4p4/9/9/9/p8/3KR4 w - - 0 1");
    sounds.clear();
    click({ 5, 10 });
    click({ 5, 5 });
    ASSERT_TRUE(view().isAnimating());
    const auto sliding = static_cast<std::size_t>(state->moveAnimation.sprite);
    view().onAnimationTick();
    EXPECT_EQ(surface().layer(state->sprites[sliding].objectId), 5)
        << "the slider passes over everything";
    EXPECT_EQ(state->sprites[sliding].y, static_cast<int>(squareY(10) + (5 - 10) * 57 / 30.0));
    EXPECT_TRUE(surface().isSpriteVisible(
        state->sprites[static_cast<std::size_t>(state->squareSprite[5][5])].objectId))
        << "the captured piece stays until the slide ends";
    finishAnimation();
    EXPECT_FALSE(view().isAnimating());
    ASSERT_EQ(sounds.size(), 1u);
    EXPECT_EQ(sounds[0], SoundClip::Check) << "a capture that checks plays only the check sound";
    const auto chariot = static_cast<std::size_t>(state->squareSprite[5][5]);
    EXPECT_EQ(surface().layer(state->sprites[chariot].objectId), 2);
    EXPECT_EQ(state->sprites[chariot].y, squareY(5));

    window->flow().newGame("4k4/9/9/9/4p4/9/9/9/p8/3KR4 w - - 0 1");
    sounds.clear();
    playByClicks("e0e1");
    EXPECT_EQ(sounds, std::vector<SoundClip> { SoundClip::Move });
    playByClicks("e9f9");
    playByClicks("e1a1");
    EXPECT_EQ(sounds.back(), SoundClip::Capture);
}

TEST_F(MainWindowTest, AnimationTakesStepsPlusOneTicksOnTheRealTimer) {
    DisplaySettings quick = defaultDisplaySettings();
    quick.animationSteps = 3;
    window->applyDisplaySettings(quick);
    click({ 8, 8 });
    click({ 5, 8 });
    ASSERT_TRUE(view().isAnimating());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !view().isAnimating(); }, 2000));
    EXPECT_EQ(sounds.back(), SoundClip::Move);
    EXPECT_EQ(surface().position(
                  state->sprites[static_cast<std::size_t>(state->squareSprite[5][8])].objectId),
        QPoint(squareX(5), squareY(8)));

    quick.animationSteps = 0; // no slide: the first tick ends it
    window->applyDisplaySettings(quick);
    click({ 8, 1 });
    click({ 7, 3 });
    ASSERT_TRUE(view().isAnimating());
    view().onAnimationTick();
    EXPECT_FALSE(view().isAnimating());
}

TEST_F(MainWindowTest, AboutBoxHelpAndExit) {
    dialogs.clear();
    menus().about->trigger();
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0], "青岚象棋");
    menus().helpTopics->trigger();
    EXPECT_TRUE(messages.empty());
    menus().exit->trigger();
    settle();
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->moveListWindow().isVisible()) << "the list window goes with its owner";
}

TEST_F(MainWindowTest, DisplaySettingsSetTransparenciesAndBackground) {
    const int piece = state->sprites[1].objectId;
    const int board = state->sprites[BOARD_SPRITE].objectId;
    const int icon = state->sprites[RED_ICON].objectId;
    const int background = state->sprites[BACKGROUND_SPRITE].objectId;
    EXPECT_EQ(surface().transparency(piece), 10);
    EXPECT_EQ(surface().transparency(board), 40);
    EXPECT_EQ(surface().transparency(icon), 10);
    EXPECT_EQ(surface().naturalSize(background), QSize(1321, 1080));

    window->applyDisplaySettings({ "/nonexistent/picture.png", 0, 50, 100, 30 });
    EXPECT_EQ(surface().naturalSize(background), QSize(1321, 1080))
        << "a missing file keeps the picture";
    EXPECT_EQ(state->displaySettings.backgroundImage, "/nonexistent/picture.png");
    EXPECT_EQ(surface().transparency(piece), 50);
    EXPECT_EQ(surface().transparency(board), 0);
    EXPECT_EQ(window->moveListWindow().alpha(), 0);

    window->applyDisplaySettings({ "", 40, 10, 30, 30 });
    EXPECT_TRUE(surface().naturalSize(background).isEmpty());
}

} // namespace
} // namespace qinglan::testing
