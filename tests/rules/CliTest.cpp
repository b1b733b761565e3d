// qinglan-cli as users and scripts see it: output lines and exit codes.
#include "../support/ShellRun.h"

#include <gtest/gtest.h>
#include <string>

namespace {

CliRun runCli(const std::string& arguments) {
    return runShell(std::string(QINGLAN_CLI) + " " + arguments + " 2>/dev/null");
}

std::string lastLine(const std::string& text) {
    size_t end = text.find_last_not_of('\n');
    size_t start = text.rfind('\n', end);
    return text.substr(start == std::string::npos ? 0 : start + 1,
        end - (start == std::string::npos ? 0 : start + 1) + 1);
}

} // namespace

TEST(Cli, PerftEndsWithTheBareCount) {
    CliRun run = runCli("perft 3");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(lastLine(run.out), "79666");
    EXPECT_NE(run.out.find("h2e2: "), std::string::npos) << "the per-move split comes first";
    EXPECT_EQ(lastLine(runCli("perft 2 '3k5/9/9/9/9/9/9/9/9/4K4 w - - 0 1'").out), "3");
    EXPECT_EQ(lastLine(runCli("perft 0").out), "1");
}

TEST(Cli, MovesAreSortedOnOneLine) {
    CliRun run = runCli("moves '3k5/9/9/9/9/9/9/9/9/4K4 w - - 0 1'");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "e0e1 e0f0\n");
    EXPECT_EQ(runCli("moves 'R3k4/1R7/9/9/9/9/9/9/9/3K5 b'").out, "\n");
}

TEST(Cli, NotationPlaysTheMovesAndSkipsIllegalOnes) {
    CliRun run = runCli("notation 'position startpos' h2e2 h2e2 h9g7 e3e4");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "砲二平五\n\n马８进７\n兵五进一\n");
}

TEST(Cli, StatusPrintsBothVerdicts) {
    EXPECT_EQ(runCli("status 'R3k4/1R7/9/9/9/9/9/9/9/3K5 b'").out, "8 0\n");
    EXPECT_EQ(runCli("status 'position startpos'").out, "0 0\n");
}

TEST(Cli, BadArgumentsExitWithTwo) {
    for (const char* arguments : { "", "perft", "perft x", "perft -1", "perft 3 a b", "moves",
             "notation 'position startpos'", "status", "bench extra", "frobnicate" })
        EXPECT_EQ(runCli(arguments).exitCode, 2) << arguments;
}
