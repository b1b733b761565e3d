// qinglan-cli replay and convert as scripts see them: lines, files and exit codes.
#include "../support/ShellRun.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>

namespace {

CliRun runCli(const std::string& arguments) {
    return runShell(std::string(QINGLAN_CLI) + " " + arguments + " 2>/dev/null");
}

std::string sample(const std::string& name) {
    return std::string(QINGLAN_RECORD_SAMPLES) + "/" + name;
}

class RecordCli : public ::testing::Test {
protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path()
            / ("qinglan-record-cli-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string file(const std::string& name) const { return (dir / name).string(); }
    std::filesystem::path dir;
};

TEST_F(RecordCli, ReplayPrintsOneLinePerGameAndGoesOnAfterABadOne) {
    std::ofstream(file("three.pgn")) << "[Result \"1-0\"]\n1. h2e2 h9g7 1-0\n"
                                     << "[Result \"0-1\"]\n1. h2e2 h2e2 0-1\n"
                                     << "notes after the result\n"
                                     << "1. 炮二平五 马８进７ 2. 马二进三\n";
    const CliRun run = runCli("replay " + file("three.pgn"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out,
        "1\t2\trnbakab1r/9/1c4nc1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RNBAKABNR w\t1-0\n"
        "2\terror: move 1... (h2e2): not a legal move\n"
        "3\t3\trnbakab1r/9/1c4nc1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C1N2/9/RNBAKAB1R b\t*\n");

    const CliRun xqf = runCli("replay " + sample("v10_05WY0001.xqf"));
    EXPECT_EQ(xqf.exitCode, 0);
    EXPECT_EQ(xqf.out, "1\t53\t3k1a3/1R2a4/6C2/p3R3p/2r6/9/P5p1P/2N4r1/1c1c5/2B1KA3 b\t1-0\n");

    EXPECT_EQ(runCli("replay " + file("missing.pgn")).exitCode, 1);
    EXPECT_EQ(runCli("replay").exitCode, 2);
    EXPECT_EQ(runCli("replay a b").exitCode, 2);
}

TEST_F(RecordCli, ConvertWritesPgnThatReplaysAlike) {
    const std::string in = sample("v15_2001_xianglong.xqf");
    const std::string expected = runCli("replay " + in).out;
    for (const char* options : { "", "--notation wxf", "--notation iccs --encoding gbk",
             "--encoding utf8 --notation chinese" }) {
        SCOPED_TRACE(options);
        const CliRun run = runCli("convert " + in + " " + file("out.pgn") + " " + options);
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(runCli("replay " + file("out.pgn")).out, expected);
    }
    std::ifstream written(file("out.pgn"));
    std::string first;
    std::getline(written, first);
    EXPECT_EQ(first, "[Title \"2001翔龙杯\"]") << "GBK texts of XQF come out as UTF-8";

    for (const char* bad : { "--notation xyz", "--encoding big5", "--notation", "--x 1" })
        EXPECT_EQ(runCli("convert " + in + " " + file("o.pgn") + " " + bad).exitCode, 2) << bad;
    EXPECT_EQ(runCli("convert " + in).exitCode, 2);
    EXPECT_EQ(runCli("convert " + file("missing") + " " + file("o.pgn")).exitCode, 1);
    EXPECT_EQ(runCli("convert " + in + " " + file("no/such/dir.pgn")).exitCode, 1);
}

} // namespace
