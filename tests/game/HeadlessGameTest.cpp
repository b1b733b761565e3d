// The game without any window, as the command line drives it: a whole game between
// two engine processes, and an engine that will not stop.
#include "../support/SearchText.h"
#include "game/Game.h"
#include "game/HeadlessHost.h"
#include "platform/Ticks.h"
#include "settings/ProfileFile.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <thread>

namespace qinglan {
namespace {

class HeadlessGameTest : public ::testing::Test {
protected:
    void SetUp() override { host.attach(game); }
    void TearDown() override { unsetenv("QINGLAN_FAKE_MODE"); }

    bool load(bool main, const char* mode) {
        setenv("QINGLAN_FAKE_MODE", mode, 1);
        return game.engineSlot(main).loadProgram(QINGLAN_FAKE_ENGINE);
    }
    // The driver's loop: engine lines, then the turn of a move that was played.
    bool runUntil(const std::function<bool()>& done, int timeoutMs = 20000) {
        const std::int64_t deadline = tickMs() + timeoutMs;
        while (!done()) {
            if (tickMs() > deadline) return false;
            game.engines().pollEngines();
            host.finishMoveInFlight();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }

    HeadlessHost host;
    Game game { host };
};

TEST_F(HeadlessGameTest, TwoEnginesPlayToOneResultWithoutAWindow) {
    ASSERT_TRUE(load(true, ""));
    ASSERT_TRUE(load(false, "lf"));
    LevelSettings depth;
    depth.mode = LEVEL_DEPTH;
    depth.depthLimit = 1;
    game.flow().newGame(std::nullopt, depth);
    game.flow().setComputerRed(true);
    game.flow().setComputerBlack(true);
    ASSERT_TRUE(runUntil([&] { return game.state().gameOver != 0; }));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].text.find("重新开始吗？"), std::string::npos);
    EXPECT_EQ(static_cast<int>(host.movesPlayed.size()), game.state().board.plyCount());
    EXPECT_FALSE(game.engineSlot(true).isBusy());
    EXPECT_FALSE(game.engineSlot(false).isBusy());
}

TEST_F(HeadlessGameTest, AnEngineThatIgnoresStopIsReportedAndNothingIsSent) {
    ASSERT_TRUE(load(true, "ignore-stop"));
    game.flow().newGame();
    game.flow().setComputerRed(true); // searching the start position, for ever
    ASSERT_TRUE(game.engineSlot(true).isBusy());
    game.flow().setComputerRed(false); // nobody's engine: a short stop, which fails
    ASSERT_TRUE(game.flow().playMove("h2e2"));
    host.finishMoveInFlight();
    const std::int64_t start = tickMs();
    game.flow().setComputerBlack(true); // another position while still busy
    EXPECT_GE(tickMs() - start, EngineGlue::STOP_FOR_SEARCH_MS - 50);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "FakeEngine 暂时无法响应！");
    ASSERT_TRUE(game.engineSlot(true).searched());
    EXPECT_TRUE(game.engineSlot(true).searched()->moves.empty()) << "the new position was never sent";
}

TEST_F(HeadlessGameTest, AReplyForAnotherPositionIsNotPlayed) {
    ASSERT_TRUE(load(true, "delay=60000"));
    game.flow().newGame();
    game.flow().setComputerRed(true); // the engine searches the start position
    game.flow().setComputerRed(false);
    for (const char* move : { "h2e2", "h9g7" }) {
        ASSERT_TRUE(game.flow().playMove(move));
        host.finishMoveInFlight();
    }
    // A late reply about the start position: legal here too, but not an answer to it.
    game.engines().handleEngineLine(game.engineSlot(true), "bestmove b0c2", LINE_FROM_MAIN);
    host.finishMoveInFlight();
    EXPECT_EQ(game.state().board.plyCount(), 2);
}

TEST_F(HeadlessGameTest, OneEnginePlayingBothSidesNeverPonders) {
    const std::string transcript = ::testing::TempDir() + "qinglan-ponder-transcript";
    setenv("QINGLAN_FAKE_TRANSCRIPT", transcript.c_str(), 1);
    const auto ponderLines = [&] {
        std::ifstream in(transcript);
        int count = 0;
        for (std::string line; std::getline(in, line);) count += line.starts_with("go ponder");
        return count;
    };
    LevelSettings depth;
    depth.mode = LEVEL_DEPTH;
    depth.depthLimit = 1;
    for (const bool twoEngines : { false, true }) {
        SCOPED_TRACE(twoEngines ? "two engines" : "one engine");
        std::remove(transcript.c_str());
        ASSERT_TRUE(load(true, "ponder"));
        if (twoEngines) ASSERT_TRUE(load(false, "ponder"));
        EngineOptions options = game.engineSlot(true).getOptions();
        options.compatFlags |= COMPAT_PONDER;
        game.engineSlot(true).setOptions(options);
        game.flow().newGame(std::nullopt, depth);
        game.flow().setComputerSides(true, true);
        game.flow().setComputerRed(true);
        ASSERT_TRUE(runUntil([&] { return game.state().board.plyCount() >= 6; }));
        game.flow().setComputerSides(false, false);
        EXPECT_EQ(ponderLines() > 0, twoEngines);
    }
    unsetenv("QINGLAN_FAKE_TRANSCRIPT");
}

TEST_F(HeadlessGameTest, APonderSearchThatEndedByItselfIsPlayedWhenItsGuessComes) {
    const std::string transcript = ::testing::TempDir() + "qinglan-ponder-ends";
    std::remove(transcript.c_str());
    setenv("QINGLAN_FAKE_TRANSCRIPT", transcript.c_str(), 1);
    ASSERT_TRUE(load(true, "ponder,ponder-ends"));
    unsetenv("QINGLAN_FAKE_TRANSCRIPT");
    EngineOptions options = game.engineSlot(true).getOptions();
    options.compatFlags |= COMPAT_PONDER;
    game.engineSlot(true).setOptions(options);
    LevelSettings depth;
    depth.mode = LEVEL_DEPTH;
    depth.depthLimit = 1;
    game.flow().newGame(std::nullopt, depth);
    game.flow().setComputerRed(true);
    EngineProcess& engine = game.engineSlot(true);
    // Red's move is played and the engine ponders on its guess, whose search ends at
    // once: the reply waits, since the person has not moved yet.
    ASSERT_TRUE(runUntil([&] {
        return game.state().board.plyCount() == 1 && engine.state() == EngineState::Idle
            && engine.lastReply();
    }));
    ASSERT_TRUE(engine.searched());
    ASSERT_EQ(engine.searched()->moves.size(), 2u);
    const std::string guess = engine.searched()->moves.back();
    ASSERT_TRUE(game.flow().playMove(guess));
    ASSERT_TRUE(runUntil([&] { return game.state().board.plyCount() == 3; }));
    // The stored reply was played: no second real search, no ponderhit to an idle engine.
    std::ifstream in(transcript);
    int searches = 0, ponderhits = 0;
    for (std::string line; std::getline(in, line);) {
        searches += line.starts_with("go depth");
        ponderhits += line.starts_with("ponderhit");
    }
    EXPECT_EQ(searches, 1);
    EXPECT_EQ(ponderhits, 0);
}

TEST_F(HeadlessGameTest, AWrongLineOfPlayIsToldOncePerLoadedEngine) {
    host.showThinking = true;
    ASSERT_TRUE(load(true, "delay=60000"));
    game.flow().newGame();
    game.flow().setComputerRed(true);
    const std::string wrong = "info depth 1 score 5 pv h2e2 a0a0 a0a0 a0a0";
    for (int i = 0; i < 3; ++i)
        game.engines().handleEngineLine(game.engineSlot(true), wrong, LINE_FROM_MAIN);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "FakeEngine 思考路线有错误！a0a0");
    EXPECT_NE(host.thinking[1].find("砲二平五\r\n"), std::string::npos)
        << "shown up to the wrong move";
    // Another engine program (here the same one loaded again) is told anew.
    ASSERT_TRUE(load(true, "delay=60000"));
    game.flow().setComputerRed(false);
    game.flow().setComputerRed(true);
    game.engines().handleEngineLine(game.engineSlot(true), wrong, LINE_FROM_MAIN);
    EXPECT_EQ(host.messages.size(), 2u);
}

TEST(HeadlessGameEngines, BothStartSideBySideAndLeaveTogether) {
    char pattern[] = "/tmp/qinglan-engines-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string dir = pattern;
    const std::string heard = dir + "/heard"; // both engines write what they receive here
    setenv("QINGLAN_FAKE_TRANSCRIPT", heard.c_str(), 1);
    // Each answers "ucci" only after 2.5 s, and neither stops nor quits when told.
    setenv("QINGLAN_FAKE_MODE", "slow-ucci,ignore-stop,ignore-quit", 1);
    // UCCI chosen: slower than the automatic choice waits for.
    const std::string slot = "\n文件名=" QINGLAN_FAKE_ENGINE "\n协议=UCCI\n";
    std::ofstream(dir + "/settings.ini") << "[主引擎]" << slot << "[副引擎]" << slot;
    const auto lines = [&] {
        std::ifstream in(heard);
        std::vector<std::string> all;
        for (std::string line; std::getline(in, line);) all.push_back(line);
        return all;
    };
    {
        HeadlessHost host;
        Game game(host);
        host.attach(game);
        game.loadEngineSettings(ProfileFile(dir + "/settings.ini"), dir);
        ASSERT_TRUE(game.engineSlot(true).isRunning());
        ASSERT_TRUE(game.engineSlot(false).isRunning());
        const std::vector<std::string> start = lines();
        ASSERT_GE(start.size(), 2u);
        EXPECT_EQ(start[1], "ucci") << "the second engine is greeted before the first answers";
        for (bool main : { true, false })
            ASSERT_TRUE(game.engineSlot(main).startSearch(test::searchFor("position startpos", "go")));
    }
    // Both were told to stop, and to quit, before either was waited for.
    const std::vector<std::string> end = lines();
    const auto lastStop = std::ranges::find(end.rbegin(), end.rend(), "stop").base();
    EXPECT_EQ(std::ranges::count(end, "stop"), 2);
    EXPECT_EQ(std::ranges::count(lastStop, end.end(), "quit"), 2);
    unsetenv("QINGLAN_FAKE_MODE");
    unsetenv("QINGLAN_FAKE_TRANSCRIPT");
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace qinglan
