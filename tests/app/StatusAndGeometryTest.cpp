// Player queries, status texts, menu states, hit tests and results: pure logic.
#include "app/BoardGeometry.h"
#include "app/DisplayCheck.h"
#include "app/StatusModel.h"
#include "game/GameFlow.h"

#include <gtest/gtest.h>

namespace qinglan {
namespace {

TEST(Players, ComputerSidesFollowTheLoadedEngines) {
    const struct {
        bool computerRed, computerBlack, swap, mainLoaded, secondaryLoaded;
        int red, black;
    } cases[] = {
        { false, false, false, true, true, PLAYER_HUMAN, PLAYER_HUMAN },
        { true, true, false, true, true, PLAYER_MAIN_ENGINE, PLAYER_SECONDARY_ENGINE },
        { true, true, true, true, true, PLAYER_SECONDARY_ENGINE, PLAYER_MAIN_ENGINE },
        { false, true, false, true, true, PLAYER_HUMAN, PLAYER_SECONDARY_ENGINE },
        { false, true, true, true, true, PLAYER_HUMAN, PLAYER_MAIN_ENGINE },
        // One engine plays every computer side, swapped or not.
        { true, true, true, true, false, PLAYER_MAIN_ENGINE, PLAYER_MAIN_ENGINE },
        { true, true, false, false, true, PLAYER_SECONDARY_ENGINE, PLAYER_SECONDARY_ENGINE },
        { true, true, true, false, true, PLAYER_SECONDARY_ENGINE, PLAYER_SECONDARY_ENGINE },
        // No engine: a computer side counts as human.
        { true, true, false, false, false, PLAYER_HUMAN, PLAYER_HUMAN },
    };
    for (const auto& c : cases) {
        const SideChecks checks { c.computerRed, c.computerBlack, c.swap };
        EXPECT_EQ(redPlayer(checks, c.mainLoaded, c.secondaryLoaded), c.red)
            << c.computerRed << c.computerBlack << c.swap << c.mainLoaded << c.secondaryLoaded;
        EXPECT_EQ(blackPlayer(checks, c.mainLoaded, c.secondaryLoaded), c.black)
            << c.computerRed << c.computerBlack << c.swap << c.mainLoaded << c.secondaryLoaded;
    }
}

TEST(StatusTexts, TitleNamesEnginesBySlotAndPanelsShowTimes) {
    const EngineSlotView none;
    const EngineSlotView mainEngine { true, "甲引擎", false };
    const EngineSlotView secondary { true, "乙引擎", false };
    EXPECT_EQ(windowTitle(none, none), "青岚象棋5.0测试版");
    EXPECT_EQ(windowTitle(mainEngine, none), "甲引擎 - 青岚象棋5.0测试版");
    EXPECT_EQ(windowTitle(none, secondary), "乙引擎 - 青岚象棋5.0测试版");
    EXPECT_EQ(windowTitle(mainEngine, secondary), "甲引擎 VS 乙引擎 - 青岚象棋5.0测试版");

    EXPECT_EQ(panelText(true, "象棋爱好者", 0, std::nullopt), "红方:象棋爱好者\r\n已用时：00:00");
    EXPECT_EQ(panelText(false, "甲引擎", 65999, std::nullopt), "黑方:甲引擎\r\n已用时：01:05");
    EXPECT_EQ(panelText(true, "象棋爱好者", 3000, 307000),
        "红方:象棋爱好者\r\n已用时：00:03\r\n倒计时：05:07");
    EXPECT_EQ(panelText(false, "象棋爱好者", 3000, -2000),
        "黑方:象棋爱好者\r\n已用时：00:03\r\n倒计时：-00:02");
}

TEST(MenuStates, FollowMovesChecksAndEngines) {
    const EngineSlotView none;
    const EngineSlotView idle { true, "甲", false };
    const EngineSlotView thinking { true, "乙", true };
    MenuInputs in;
    MenuState s = menuState(in);
    EXPECT_FALSE(s.takeBack);
    EXPECT_FALSE(s.banMove);
    EXPECT_FALSE(s.stopThinking);
    EXPECT_FALSE(s.swapEngines);
    EXPECT_EQ(s.loadMainCaption, "加载主引擎...(&1)");
    EXPECT_EQ(s.loadSecondaryCaption, "加载副引擎...(&2)");

    // After red's move (black to move): banning needs red checked as computer.
    in.plyCount = 1;
    in.redToMove = false;
    EXPECT_TRUE(menuState(in).takeBack);
    EXPECT_FALSE(menuState(in).banMove);
    in.checks.computerBlack = true;
    EXPECT_FALSE(menuState(in).banMove) << "the side to move does not count";
    in.checks.computerRed = true;
    EXPECT_TRUE(menuState(in).banMove) << "the checks decide, even with no engine loaded";

    // Stop is for the engine thinking for the side to move; swap only without it.
    in.checks = { true, true, false };
    in.mainEngine = idle;
    in.secondaryEngine = thinking; // black's engine
    s = menuState(in);
    EXPECT_TRUE(s.stopThinking);
    EXPECT_FALSE(s.swapEngines);
    EXPECT_EQ(s.loadMainCaption, "卸载主引擎(&1)");
    EXPECT_EQ(s.loadSecondaryCaption, "卸载副引擎(&2)");
    in.checks.secondaryRed = true; // now the main engine plays black and is idle
    s = menuState(in);
    EXPECT_FALSE(s.stopThinking);
    EXPECT_TRUE(s.swapEngines);
    in.secondaryEngine = none;
    EXPECT_FALSE(menuState(in).swapEngines) << "swapping needs both engines";
}

TEST(HitTest, TruncatesToSquaresAndFlips) {
    const struct {
        int x, y;
        double sx, sy;
        bool flipped;
        SquareRef square;
    } cases[] = {
        { 22, 22, 1, 1, false, { 1, 1 } },
        { 78, 22, 1, 1, false, { 1, 1 } }, // the gap after the first square
        { 79, 22, 1, 1, false, { 2, 1 } },
        { 21, 50, 1, 1, false, {} }, // left of the board
        { 50, 21, 1, 1, false, {} },
        { 534, 591, 1, 1, false, { 9, 10 } },
        { 535, 300, 1, 1, false, {} }, // right of the last file
        { 300, 592, 1, 1, false, {} }, // below the last row
        { 700, 300, 1, 1, false, {} }, // the player column
        { 22, 22, 1, 1, true, { 9, 10 } }, // flipped: top-left is red's right chariot
        { 534, 591, 1, 1, true, { 1, 1 } },
        { 44, 44, 2, 2, false, { 1, 1 } }, // logical 22 at twice the size
        { 43, 44, 2, 2, false, {} }, // logical 21.5 truncates to 21
        { 1068, 1182, 2, 2, false, { 9, 10 } },
        { 300, 200, 1.5, 0.5, false, { 4, 7 } },
    };
    for (const auto& c : cases)
        EXPECT_EQ(squareAt(c.x, c.y, c.sx, c.sy, c.flipped), c.square)
            << c.x << "," << c.y << " x" << c.sx;
}

TEST(MoveText, RoundTripsBetweenSquaresAndText) {
    EXPECT_EQ(moveTextFor({ 8, 8 }, { 5, 8 }), "h2e2");
    EXPECT_EQ(moveTextFor({ 1, 10 }, { 1, 1 }), "a0a9");
    const MoveSquares m = squaresOfMove("h9g7");
    EXPECT_EQ(m.from, (SquareRef { 8, 1 }));
    EXPECT_EQ(m.to, (SquareRef { 7, 3 }));
    EXPECT_TRUE(squaresOfMove("h9").from.isNone());
    EXPECT_TRUE(squaresOfMove("z9a0").from.isNone());
    EXPECT_TRUE(squaresOfMove("H2E2").to.isNone());
}

TEST(ListAlpha, TruncatesTheTransparency) {
    EXPECT_EQ(listAlpha(0), 255);
    EXPECT_EQ(listAlpha(30), 178);
    EXPECT_EQ(listAlpha(50), 127);
    EXPECT_EQ(listAlpha(100), 0);
}

TEST(DisplayCheck, NeedsAPlatformOrAReachableDisplay) {
    EXPECT_FALSE(hasDisplay({}));
    EXPECT_TRUE(hasDisplay({ .qpaPlatform = "offscreen" }));
    EXPECT_TRUE(hasDisplay({ .display = "remotehost:0" }));
    EXPECT_FALSE(hasDisplay({ .waylandDisplay = "/nonexistent/wayland-77" }));
    const std::string message = noDisplayMessage("build/bin/qinglan");
    EXPECT_NE(message.find("xvfb-run build/bin/qinglan"), std::string::npos);
    EXPECT_EQ(message.find('\n'), std::string::npos) << "one line";
}

} // namespace
} // namespace qinglan
