// The communication log: clean HTML, red out, blue in, emptied at start and on a new path.
#include "FakeEngineFixture.h"

using namespace qinglan;
using qinglan::test::FakeEngineTest;

namespace {

std::string sent(const std::string& text) {
    return "<font color=\"red\">" + text + "</font><br>\r\n";
}
std::string received(const std::string& text) {
    return "<font color=\"blue\">" + text + "</font><br>\r\n";
}

} // namespace

TEST_F(FakeEngineTest, LogHoldsEscapedLinesSinceTheStart) {
    setenv("QINGLAN_FAKE_NAME", "A&B <x>", 1);
    EngineOptions options;
    options.logFile = path("engine.htm");
    engine.setOptions(options);
    std::ofstream(options.logFile) << "an earlier run";
    ASSERT_TRUE(load());

    std::string log = readFile(options.logFile);
    EXPECT_TRUE(log.starts_with(sent("ucci") + received("id name A&amp;B &lt;x&gt;"))) << log;
    EXPECT_NE(log.find(received("ucciok") + sent("setoption usemillisec true")), std::string::npos);
    EXPECT_TRUE(log.ends_with(sent("setoption usebook false")));
    EXPECT_EQ(log.find('\0'), std::string::npos);

    engine.appendLog("plain", "");
    EXPECT_TRUE(readFile(options.logFile).ends_with("plain<br>\r\n"));
}

TEST_F(FakeEngineTest, NewLogPathStartsEmptyAndTheOldOneIsLeft) {
    EngineOptions options;
    options.logFile = path("first.htm");
    engine.setOptions(options);
    ASSERT_TRUE(load());
    std::string first = readFile(options.logFile);

    options.logFile = path("second.htm");
    std::ofstream(options.logFile) << "stale";
    ASSERT_TRUE(engine.setOptions(options));
    EXPECT_TRUE(readFile(options.logFile).starts_with(sent("setoption usemillisec true")));
    EXPECT_EQ(readFile(path("first.htm")), first);

    options.logFile = path("no-such-folder/third.htm"); // cannot be written: silently nothing
    EXPECT_TRUE(engine.setOptions(options));
    EXPECT_EQ(engine.state(), EngineState::Idle);
}

TEST_F(FakeEngineTest, LeftoverOutputOfAnEndedEngineIsOneBlueEntry) {
    mode("crash-on-go");
    EngineOptions options;
    options.logFile = path("engine.htm");
    engine.setOptions(options);
    ASSERT_TRUE(load());
    ASSERT_TRUE(test::search(engine, "position startpos", "go depth 1"));
    std::int64_t deadline = tickMs() + 3000;
    while (engine.state() != EngineState::Exited && tickMs() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_TRUE(
        readFile(options.logFile).ends_with(sent("go depth 1") + received("info depth 1 cut sh")));
}
