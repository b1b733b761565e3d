// The process layer on its own, with programs that misbehave in ways an engine cannot.
#include "platform/ChildProcess.h"

#include "platform/Ticks.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <thread>

using namespace qinglan;

namespace {

bool waitForExit(ChildProcess& child) {
    std::int64_t deadline = tickMs() + 3000;
    while (!child.hasExited() && tickMs() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return child.hasExited();
}

} // namespace

TEST(ChildProcess, WritingToAnEndedChildIsHarmless) {
    ignoreSigpipe();
    ChildProcess child;
    ASSERT_TRUE(child.start("/bin/true"));
    pid_t pid = child.pid();
    ASSERT_TRUE(waitForExit(child));
    child.write("ucci\r\n");
    EXPECT_EQ(child.bytesAvailable(), 0u);
    EXPECT_EQ(child.read(10), "");
    EXPECT_EQ(child.pid(), pid);
    errno = 0;
    EXPECT_EQ(waitpid(pid, nullptr, WNOHANG), -1) << "reaped once it was seen to end";
    EXPECT_EQ(errno, ECHILD);
}

TEST(ChildProcess, WritingToAChildThatNeverReadsGivesUp) {
    ChildProcess child;
    ASSERT_TRUE(child.start("/usr/bin/yes")); // writes forever, never reads
    std::int64_t start = tickMs();
    child.write(std::string(4 << 20, 'x'));
    EXPECT_LT(tickMs() - start, ChildProcess::WRITE_WAIT_MS + 500);
    EXPECT_GT(child.bytesAvailable(), 0u);
    EXPECT_EQ(child.read(4).substr(0, 2), "y\n") << "standard output is ours";
    pid_t pid = child.pid();
    child.terminate();
    EXPECT_TRUE(child.hasExited());
    errno = 0;
    EXPECT_EQ(waitpid(pid, nullptr, WNOHANG), -1);
}

TEST(ChildProcess, ChildSharesOurFolderAndEnvironmentAndErrorsJoinItsOutput) {
    char folder[] = "/tmp/qinglan-child-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    std::string script = std::string(folder) + "/probe";
    std::ofstream(script) << "#!/bin/sh\necho out $QINGLAN_PROBE\necho err >&2\npwd\n";
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    setenv("QINGLAN_PROBE", "inherited", 1);
    ChildProcess child;
    ASSERT_TRUE(child.start(script));
    ASSERT_TRUE(waitForExit(child));
    std::string output = child.read(child.bytesAvailable());
    EXPECT_EQ(output, "out inherited\nerr\n" + std::filesystem::current_path().string() + "\n");
    std::filesystem::remove_all(folder);
}

TEST(ChildProcess, StartFailsForWhatCannotRun) {
    ChildProcess child;
    EXPECT_FALSE(child.start("/no/such/program"));
    EXPECT_FALSE(child.start("/tmp"));
    EXPECT_EQ(child.pid(), 0);
}
