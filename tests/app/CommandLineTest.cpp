// The window program's command line, read before any window exists.
#include "app/CommandLine.h"

#include <gtest/gtest.h>

namespace qinglan {
namespace {

using Action = CommandLine::Action;

TEST(CommandLine, ReadsOptionsAndOneFile) {
    const struct {
        std::vector<std::string> args;
        Action action;
        std::string file;
        std::string error;
    } rows[] = {
        { {}, Action::Run, "", "" },
        { { "局面.fen" }, Action::Run, "局面.fen", "" },
        { { "--version" }, Action::ShowVersion, "", "" },
        { { "-v" }, Action::ShowVersion, "", "" },
        { { "a.fen", "--help" }, Action::ShowHelp, "", "" },
        { { "-h", "--bogus" }, Action::ShowHelp, "", "" },
        { { "--bogus" }, Action::Refuse, "", "unknown option: --bogus" },
        { { "a.fen", "b.fen" }, Action::Refuse, "", "only one file can be opened: b.fen" },
        { { "--", "-odd.fen" }, Action::Run, "-odd.fen", "" },
        { { "--", "--version" }, Action::Run, "--version", "" },
        { { "-" }, Action::Run, "-", "" },
    };
    for (const auto& row : rows) {
        const CommandLine line = parseCommandLine(row.args);
        const std::string shown = ::testing::PrintToString(row.args);
        EXPECT_EQ(line.action, row.action) << shown;
        EXPECT_EQ(line.file, row.file) << shown;
        EXPECT_EQ(line.error, row.error) << shown;
    }
}

TEST(CommandLine, QtArgumentsLoseTheProgramName) {
    const CommandLine line = parseCommandLine(QStringList { "/usr/bin/qinglan", "对局.fen" });
    EXPECT_EQ(line.file, "对局.fen");
}

TEST(CommandLine, VersionAndHelpNameTheProgram) {
    EXPECT_EQ(versionMessage().rfind("qinglan 5.0", 0), 0u) << versionMessage();
    EXPECT_NE(helpMessage().find("--version"), std::string::npos);
    EXPECT_NE(helpMessage().find(".fen"), std::string::npos);
}

} // namespace
} // namespace qinglan
