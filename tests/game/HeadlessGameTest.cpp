// The game without any window, as the command line drives it: a whole game between
// two engine processes, and an engine that will not stop.
#include "game/Game.h"
#include "game/HeadlessHost.h"
#include "platform/Ticks.h"
#include "settings/ProfileFile.h"

#include <algorithm>
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
        return game.engine(main).loadProgram(QINGLAN_FAKE_ENGINE);
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
    EXPECT_FALSE(game.engine(true).isBusy());
    EXPECT_FALSE(game.engine(false).isBusy());
}

TEST_F(HeadlessGameTest, AnEngineThatIgnoresStopIsReportedAndNothingIsSent) {
    ASSERT_TRUE(load(true, "ignore-stop"));
    game.flow().newGame();
    game.flow().setComputerRed(true); // searching the start position, for ever
    ASSERT_TRUE(game.engine(true).isBusy());
    game.flow().setComputerRed(false); // nobody's engine: a short stop, which fails
    ASSERT_TRUE(game.flow().playMove("h2e2"));
    host.finishMoveInFlight();
    const std::int64_t start = tickMs();
    game.flow().setComputerBlack(true); // another position while still busy
    EXPECT_GE(tickMs() - start, EngineGlue::STOP_FOR_SEARCH_MS - 50);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "FakeEngine 暂时无法响应！");
    EXPECT_EQ(game.engine(true).lastPositionCommand().find("moves"), std::string::npos)
        << "the new position was never sent";
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
        ASSERT_TRUE(game.engine(true).isRunning());
        ASSERT_TRUE(game.engine(false).isRunning());
        const std::vector<std::string> start = lines();
        ASSERT_GE(start.size(), 2u);
        EXPECT_EQ(start[1], "ucci") << "the second engine is greeted before the first answers";
        for (bool main : { true, false }) {
            game.engine(main).sendLine("position startpos");
            game.engine(main).sendLine("go infinite");
        }
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
