// A game played through the real window: move list, take-back, results, the board
// frozen after a result, engines missing, bans, clocks and the heartbeat.
#include "WindowFixture.h"

namespace qinglan::testing {
namespace {

class GameFlowWindowTest : public WindowFixture {
protected:
    void play(std::initializer_list<const char*> moves) {
        for (const char* m : moves) playByClicks(m);
    }
};

TEST_F(GameFlowWindowTest, MoveListFillsInChineseAndTakeBackRemovesWholeMoves) {
    play({ "h2e2" });
    EXPECT_EQ(listText(), "  ==开始==\n  1.砲二平五");
    EXPECT_TRUE(menus().takeBack->isEnabled());
    EXPECT_FALSE(menus().banMove->isEnabled()) << "a human move cannot be banned";
    play({ "h9g7" });
    EXPECT_EQ(listText(), "  ==开始==\n  1.砲二平五\n    马８进７");
    play({ "e3e4" });
    EXPECT_EQ(listText(), "  ==开始==\n  1.砲二平五\n    马８进７\n  2.兵五进一");

    menus().takeBack->trigger();
    EXPECT_EQ(game().board.plyCount(), 1);
    EXPECT_EQ(listText(), "  ==开始==\n  1.砲二平五");
    EXPECT_EQ(state->squareSprite[5][6], 0) << "the pawn is drawn back from e4 to e3";
    EXPECT_NE(state->squareSprite[5][7], 0);

    menus().takeBack->trigger(); // only one ply left: only that one goes
    EXPECT_EQ(game().board.plyCount(), 0);
    EXPECT_EQ(listText(), "  ==开始==");
    EXPECT_FALSE(menus().takeBack->isEnabled());
    EXPECT_TRUE(messages.empty());
}

TEST_F(GameFlowWindowTest, TakeBackOrAnotherMoveDuringASlide) {
    menus().computerRed->trigger(); // red, to move: "没有加载引擎！" at each of red's turns
    ASSERT_EQ(messageCount("没有加载引擎！"), 1);
    click({ 8, 8 });
    click({ 5, 8 });
    ASSERT_TRUE(view().isAnimating());
    window->refreshStatus(true);
    menus().takeBack->trigger(); // taken back while still sliding
    EXPECT_FALSE(view().isAnimating()) << "the undone move's slide is dropped";
    EXPECT_EQ(game().board.plyCount(), 0);
    EXPECT_EQ(surface().position(
                  state->sprites[static_cast<std::size_t>(state->squareSprite[8][8])].objectId),
        QPoint(squareX(8), squareY(8)));
    EXPECT_EQ(messageCount("没有加载引擎！"), 2)
        << "one turn for red, not one more for the dropped slide";
    menus().computerRed->trigger();

    // Black answers before red's piece has arrived: red's slide ends first, with its sound.
    click({ 8, 8 });
    click({ 5, 8 });
    sounds.clear();
    click({ 8, 1 });
    click({ 7, 3 });
    EXPECT_EQ(sounds, std::vector<SoundClip> { SoundClip::Move });
    finishAnimation();
    EXPECT_EQ(game().board.plyCount(), 2);
    EXPECT_EQ(sounds.size(), 2u);
}

TEST_F(GameFlowWindowTest, ToggleDuringASlideStartsOneTurnAndTakeBackDropsTheSelection) {
    click({ 8, 8 });
    click({ 5, 8 });
    ASSERT_TRUE(view().isAnimating());
    menus().computerBlack->trigger(); // black's turn begins only when the slide ends
    EXPECT_EQ(messageCount("没有加载引擎！"), 0);
    finishAnimation();
    EXPECT_EQ(messageCount("没有加载引擎！"), 1);
    menus().computerBlack->trigger();

    click({ 2, 1 }); // black's horse picked up, then the move taken back
    ASSERT_FALSE(state->selection.isNone());
    menus().takeBack->trigger();
    EXPECT_TRUE(state->selection.isNone()) << "its square may be empty now";
}

TEST_F(GameFlowWindowTest, BlackStartingGameNumbersRedMovesByHalves) {
    window->flow().newGame(std::string(START_FEN.substr(0, START_FEN.find(' '))) + " b - - 0 1");
    play({ "h9g7", "h2e2" });
    EXPECT_EQ(listText(), "  ==开始==\n    马８进７\n1.5.砲二平五");
}

TEST_F(GameFlowWindowTest, MateIsAnnouncedAndFreezesTheBoard) {
    window->flow().newGame("4k4/R8/9/9/9/9/9/9/1R7/3K5 w - - 0 1");
    play({ "b1b9" });
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "红胜，重新开始吗？");
    EXPECT_EQ(messages[0].title, "青岚象棋");
    EXPECT_EQ(messages[0].flags, 4);
    EXPECT_EQ(game().gameOver, 1);
    EXPECT_EQ(game().redClock.state(), SideClock::Paused);
    EXPECT_EQ(game().blackClock.state(), SideClock::Paused);

    click({ 5, 1 }); // black's king: clicks are ignored now
    EXPECT_TRUE(state->selection.isNone());
    menus().computerBlack->trigger(); // toggles do not bring the result back
    menus().computerBlack->trigger();
    EXPECT_EQ(messages.size(), 1u);

    answer = MESSAGE_YES; // Yes opens the new-game dialog: confirmed, the standard position
    onDialog = [](QDialog& dialog) {
        clickOn(dialog, "确定按钮");
        return dialog.result();
    };
    window->flow().announceResult({ Winner::Red, ResultReason::Checkmate });
    EXPECT_EQ(game().gameOver, 0);
    EXPECT_EQ(game().board.toFen(), std::string(START_FEN));
    EXPECT_EQ(listText(), "  ==开始==");
}

TEST_F(GameFlowWindowTest, PerpetualCheckLosesForTheCheckingSide) {
    window->flow().newGame("4k4/7R1/9/9/9/9/9/9/9/3K5 w - - 0 1");
    for (int round = 0; round < 3; ++round) {
        EXPECT_TRUE(messages.empty()) << "round " << round;
        play({ "h8h9", "e9e8", "h9h8", "e8e9" });
    }
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "红方犯规，黑胜，重新开始吗？");
    EXPECT_EQ(game().gameOver, 1);
}

TEST_F(GameFlowWindowTest, RepetitionWithoutChecksIsADraw) {
    window->flow().newGame("4k4/9/9/9/9/9/P8/9/9/3K5 w - - 0 1");
    for (int round = 0; round < 3; ++round) play({ "d0d1", "e9e8", "d1d0", "e8e9" });
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "双方不变着作和，重新开始吗？");
}

TEST_F(GameFlowWindowTest, ComputerSideWithoutEngineSaysSoAtEveryTurn) {
    menus().computerBlack->trigger(); // red to move: nothing to say yet
    EXPECT_TRUE(messages.empty());
    play({ "h2e2" });
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "没有加载引擎！");
    EXPECT_EQ(messages[0].title, "青岚象棋");
    EXPECT_EQ(messages[0].flags, 64);
    EXPECT_FALSE(menus().banMove->isEnabled()) << "red, who moved, is not the computer";

    // The game waits for a person: black can still be moved by hand.
    play({ "h9g7" });
    EXPECT_EQ(game().board.plyCount(), 2);
    EXPECT_TRUE(menus().banMove->isEnabled()) << "black, checked as computer, made the last move";

    menus().takeBack->trigger(); // back to red to move: no message
    EXPECT_EQ(messageCount("没有加载引擎！"), 1);
    menus().computerRed->trigger(); // red to move and now computer-played
    EXPECT_EQ(messageCount("没有加载引擎！"), 2);
    menus().computerRed->trigger();
    window->flow().newGame(std::string(START_FEN.substr(0, START_FEN.find(' '))) + " b - - 0 1");
    EXPECT_EQ(messageCount("没有加载引擎！"), 3);
}

TEST_F(GameFlowWindowTest, BanTakesBackTheComputersMoveAndRedraws) {
    menus().computerRed->trigger();
    play({ "h2e2" });
    ASSERT_TRUE(menus().banMove->isEnabled());
    EXPECT_EQ(state->squareSprite[8][8], 0);
    const std::size_t shown = messages.size();
    menus().banMove->trigger();
    EXPECT_EQ(game().board.plyCount(), 0);
    EXPECT_EQ(listText(), "  ==开始==");
    EXPECT_NE(state->squareSprite[8][8], 0) << "the cannon is drawn back on h2";
    EXPECT_FALSE(menus().banMove->isEnabled());
    EXPECT_EQ(messages.size(), shown + 1) << "red to move again, still with no engine";

    menus().computerRed->trigger();
    play({ "h2e2" });
    menus().banMove->trigger(); // a human's move cannot be banned
    EXPECT_EQ(game().board.plyCount(), 1);
}

TEST_F(GameFlowWindowTest, BanDuringASlideDropsItAndStartsOneTurn) {
    menus().computerRed->trigger();
    const int before = messageCount("没有加载引擎！");
    click({ 8, 8 });
    click({ 5, 8 });
    ASSERT_TRUE(view().isAnimating());
    window->refreshStatus(true);
    menus().banMove->trigger();
    EXPECT_FALSE(view().isAnimating()) << "the banned move's slide is dropped";
    EXPECT_EQ(game().board.plyCount(), 0);
    EXPECT_NE(state->squareSprite[8][8], 0) << "the cannon is back on h2";
    finishAnimation();
    EXPECT_EQ(messageCount("没有加载引擎！"), before + 1) << "one turn for red, from the ban";
}

TEST_F(GameFlowWindowTest, CountdownClocksRunAndCreditTheIncrement) {
    LevelSettings level;
    level.mode = LEVEL_TIME_INCREMENT;
    level.gameTimeMs = 5 * 60 * 1000;
    level.incrementMs = 10 * 1000;
    window->flow().newGame(std::nullopt, level);
    EXPECT_EQ(game().redClock.state(), SideClock::Running)
        << "red's clock runs before the first move";
    now += 3000;
    window->refreshStatus(true);
    EXPECT_EQ(text(window->redPanel()), "红方:象棋爱好者\n已用时：00:03\n倒计时：04:57");
    EXPECT_EQ(text(window->blackPanel()), "黑方:象棋爱好者\n已用时：00:00\n倒计时：05:00");

    click({ 8, 8 });
    click({ 5, 8 });
    now += 5000; // the slide counts for nobody
    finishAnimation();
    now += 2000;
    window->refreshStatus(true);
    EXPECT_EQ(text(window->redPanel()), "红方:象棋爱好者\n已用时：00:03\n倒计时：05:07");
    EXPECT_EQ(text(window->blackPanel()), "黑方:象棋爱好者\n已用时：00:02\n倒计时：04:58");

    // No time is given back, and only the side to move counts from then on.
    menus().takeBack->trigger();
    EXPECT_EQ(game().blackClock.state(), SideClock::Paused);
    now += 1000;
    window->refreshStatus(true);
    EXPECT_EQ(text(window->redPanel()), "红方:象棋爱好者\n已用时：00:04\n倒计时：05:06");
    EXPECT_EQ(text(window->blackPanel()), "黑方:象棋爱好者\n已用时：00:02\n倒计时：04:58");
    EXPECT_TRUE(messages.empty());
}

TEST_F(GameFlowWindowTest, TimeoutIsAnnouncedOnceEvenWhenBothSidesAreOut) {
    // Limits of 0 from the built-in level, then a countdown mode chosen mid-game.
    play({ "h2e2" });
    now += 4000;
    play({ "h9g7" });
    now += 1000;
    LevelSettings level = game().currentLevel;
    level.mode = LEVEL_TIME_INCREMENT;
    window->game().setLevel(level);
    ASSERT_LT(game().redClock.remaining(now), 0);
    ASSERT_LT(game().blackClock.remaining(now), 0);

    window->onHeartbeat();
    EXPECT_EQ(game().gameOver, 1) << "marked before the box opens";
    EXPECT_TRUE(messages.empty()) << "the box waits until the heartbeat has returned";
    settle();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "红方超时作负，重新开始吗？");
    for (int i = 0; i < 5; ++i) {
        now += 400;
        window->onHeartbeat();
        settle();
    }
    EXPECT_EQ(messages.size(), 1u) << "one result per game";

    // The loser's clock is not stopped by a loss on time: it keeps counting.
    const std::string before = text(window->redPanel());
    now += 2000;
    window->onHeartbeat();
    EXPECT_NE(text(window->redPanel()), before);
}

TEST_F(GameFlowWindowTest, HeartbeatRefreshesOnlyAfterMoreThanThreeHundredMilliseconds) {
    window->onHeartbeat();
    const std::int64_t last = state->lastRefreshTick;
    EXPECT_EQ(last, now);
    now += 300;
    window->onHeartbeat();
    EXPECT_EQ(state->lastRefreshTick, last);
    now += 1;
    window->onHeartbeat();
    EXPECT_EQ(state->lastRefreshTick, now);
    EXPECT_TRUE(window->heartbeat().isActive());
    EXPECT_EQ(window->heartbeat().interval(), 50);
}

} // namespace
} // namespace qinglan::testing
