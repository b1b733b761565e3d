// The headless match runner: the score and its error margin, the record file, and
// engines that misbehave losing their game while the match goes on.
#include "../support/ShellRun.h"
#include "game/GameFlow.h"
#include "match/MatchStats.h"
#include "records/Evaluation.h"
#include "records/RecordFile.h"
#include "rules/Board.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <sys/wait.h>

namespace qinglan {
namespace {

TEST(MatchScore, EloAndMarginFromWinsDrawsLosses) {
    const struct {
        MatchScore s;
        double elo, margin;
    } rows[] = {
        { { 10, 0, 10 }, 0.0, 163.3 }, // even, no draws: the widest margin for 20 games
        { { 5, 10, 5 }, 0.0, 111.3 }, // even with draws: draws narrow it
        { { 30, 20, 10 }, 120.4, 75.3 },
        { { 10, 20, 30 }, -120.4, 75.3 },
    };
    for (const auto& r : rows) {
        EXPECT_NEAR(r.s.eloDifference(), r.elo, 0.1);
        EXPECT_NEAR(r.s.eloMargin(), r.margin, 0.1);
    }
    EXPECT_EQ(formatElo(MatchScore { 4, 0, 0 }.eloDifference()), "+inf");
}

TEST(MatchScore, ResultsCountFromEngineAsSide) {
    MatchScore score; // engine A's view: red in the first two games, black in the last two
    score.add(Winner::Red, true);
    score.add(Winner::Red, false);
    score.add(Winner::Black, false);
    score.add(Winner::Draw, true);
    EXPECT_EQ(score.wins, 2);
    EXPECT_EQ(score.losses, 1);
    EXPECT_EQ(score.draws, 1);
}

TEST(MatchScore, RecordNumbersMovesFromTheSideToMoveWithEvaluations) {
    MatchGame game { 3, "A", "B \"x\"", "0-1", "黑胜", "4k4/9/9/9/9/9/9/9/9/4K4 b - - 0 1",
        { "e9d9", "e0f0", "d9e9" }, { "+0.35/12 1.2s", "", "-M3/20 0.5s" } };
    const std::string text = pgnOf(game);
    EXPECT_NE(text.find("[Black \"B \\\"x\\\"\"]"), std::string::npos);
    EXPECT_NE(text.find("[Termination \"黑胜\"]"), std::string::npos);
    EXPECT_NE(text.find("\n1... 将５平４ {+0.35/12 1.2s} 2. 帅五平四 将４平５ {-M3/20 0.5s} 0-1\n"),
        std::string::npos)
        << text;
}

TEST(MatchScore, EvaluationsComeFromTheLastInfoLine) {
    const auto of = [](const char* line, int timeMs) {
        return evaluationOfInfo(parseThinkingLine(line), timeMs);
    };
    EXPECT_EQ(of("info depth 12 score 35 time 800 pv h2e2", 1234), "+0.35/12 1.2s");
    EXPECT_EQ(of("info depth 7 score cp -120 pv h2e2", 50), "-1.20/7 0.1s");
    EXPECT_EQ(of("info depth 20 score mate -3", 500), "-M3/20 0.5s");
    EXPECT_EQ(of("info depth 3 nodes 100", 500), "") << "no score, no comment";
    EXPECT_EQ(evaluationOfInfo(std::nullopt, 500), "");
}

CliRun runCli(const std::string& arguments) {
    return runShell(std::string(QINGLAN_CLI) + " " + arguments + " 2>&1");
}

class MatchRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path()
            / ("qinglan-match-" + std::to_string(::getpid()) + "-"
                + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    // An engine program: the fake engine started with a behaviour of its own.
    std::string engine(
        const std::string& name, const std::string& mode, const std::string& environment = "") {
        const std::filesystem::path path = dir / name;
        // Started through a link in the test's folder, so its processes can be found.
        const std::filesystem::path link = dir / (name + "-engine");
        std::filesystem::remove(link);
        std::filesystem::create_symlink(QINGLAN_FAKE_ENGINE, link);
        std::ofstream(path) << "#!/bin/sh\n"
                            << environment << " QINGLAN_FAKE_NAME=" << name
                            << " QINGLAN_FAKE_MODE=" << mode << " exec " << link.string() << "\n";
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
        return path.string();
    }

    std::string slurp(const std::string& name) const {
        std::ifstream in(dir / name);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }

    std::filesystem::path dir;
};

TEST_F(MatchRunTest, EitherEngineCanBeDrivenEitherWayWithItsOwnOptions) {
    std::ofstream(dir / "options") << "option name Skill type spin default 20 min 0 max 20\n";
    const std::string a = engine("A", "uci1",
        "QINGLAN_FAKE_OPTIONS=" + (dir / "options").string()
            + " QINGLAN_FAKE_TRANSCRIPT=" + (dir / "a.txt").string());
    const std::string b
        = engine("B", "both", "QINGLAN_FAKE_TRANSCRIPT=" + (dir / "b.txt").string());
    const CliRun run = runCli("match " + a + " " + b
        + " --games 2 --depth 1 --protocol-a uci --option-a Skill=3 --option-a Gone=1"
          " --protocol-b ucci");
    EXPECT_EQ(run.exitCode, 0) << run.out;
    EXPECT_NE(run.out.find("Game 2 (B vs A)"), std::string::npos) << run.out;
    const std::string toA = slurp("a.txt"), toB = slurp("b.txt");
    EXPECT_TRUE(toA.starts_with("uci\n")) << toA;
    EXPECT_NE(toA.find("\nsetoption name Skill value 3\n"), std::string::npos) << toA;
    EXPECT_EQ(toA.find("Gone"), std::string::npos) << "not announced, not sent";
    EXPECT_TRUE(toB.starts_with("ucci\n")) << toB;

    for (const char* bad :
        { "--protocol-a UCI", "--protocol-b x", "--option-a =1", "--option-b x" })
        EXPECT_EQ(runCli("match " + a + " " + b + " " + bad).exitCode, 2) << bad;
}

TEST_F(MatchRunTest, InterruptPrintsTheScoreSoFarAndLeavesNoEngineBehind) {
    const CliRun run = runCli("match " + engine("A", "") + " " + engine("B", "delay=20")
        + " --games 100000 --concurrency 2 --movetime 100 & pid=$!; sleep 1.5; kill -INT $pid; "
          "wait $pid; echo exit=$?");
    EXPECT_NE(run.out.find("Interrupted after "), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Elo difference: "), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("exit=130"), std::string::npos) << run.out;
    // "[/]" keeps the pattern from matching the shell that runs pgrep.
    const CliRun left = runShell("pgrep -f '[/]" + dir.string().substr(1) + "' || echo none 2>&1");
    EXPECT_EQ(left.out, "none\n");
}

TEST_F(MatchRunTest, MisbehavingEnginesLoseAndTheMatchGoesOn) {
    const struct {
        const char* mode;
        const char* reason;
    } rows[] = {
        { "illegal", "Bad 输出错误信息！" },
        { "nobestmove", "Bad 罢工了！" },
        { "crash-on-go", "Bad crashed" },
        { "ignore-stop", "Bad did not reply in time" },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.mode);
        const std::string pgn = (dir / "games.pgn").string();
        const CliRun run = runCli("match " + engine("Good", "") + " " + engine("Bad", row.mode)
            + " --games 2 --movetime 100 --pgn " + pgn);
        EXPECT_EQ(run.exitCode, 0) << run.out;
        // Good wins both games, as red and as black, each for the bad engine's fault.
        EXPECT_NE(run.out.find("Game 1 (Good vs Bad): 1-0 {" + std::string(row.reason) + "}"),
            std::string::npos)
            << run.out;
        EXPECT_NE(run.out.find("Game 2 (Bad vs Good): 0-1 {" + std::string(row.reason) + "}"),
            std::string::npos)
            << run.out;
        EXPECT_NE(run.out.find("2 wins, 0 draws, 0 losses, 2.0/2 (100.0%)"), std::string::npos)
            << run.out;
        std::ifstream in(pgn);
        const std::string text(
            (std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_NE(
            text.find("[Termination \"" + std::string(row.reason) + "\"]"), std::string::npos);
    }
}

TEST_F(MatchRunTest, GamesFromOpeningsWithBothColoursAtOnce) {
    const std::string openings = (dir / "openings.txt").string();
    std::ofstream(openings)
        << "# two openings\n"
        << "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w - - 0 1 moves h2e2\n\n"
        << "3k5/9/9/9/9/9/9/9/4R4/4K4 w - - 0 1\n";
    const std::string pgn = (dir / "games.pgn").string();
    const CliRun run = runCli("match " + engine("A", "info") + " " + engine("B", "lf,info")
        + " --games 4 --concurrency 2 --depth 1 --openings " + openings + " --pgn " + pgn);
    EXPECT_EQ(run.exitCode, 0) << run.out;
    for (int round = 1; round <= 4; ++round)
        EXPECT_NE(run.out.find("Game " + std::to_string(round) + " ("), std::string::npos)
            << run.out;
    EXPECT_NE(run.out.find("Elo difference: "), std::string::npos);
    std::ifstream in(pgn);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // The second opening's games start from its FEN; the first one's from the start
    // position, with the opening move in the record.
    EXPECT_NE(text.find("[FEN \"3k5/9/9/9/9/9/9/9/4R4/4K4 w - - 0 1\"]"), std::string::npos)
        << text;
    EXPECT_NE(text.find("1. 砲二平五 "), std::string::npos) << text;
    // The record file opens as game records, every engine move with its evaluation.
    const RecordFileContents games = readRecordFile(pgn);
    ASSERT_EQ(games.games.size(), 4u) << games.error;
    for (const ReadGame& game : games.games) {
        EXPECT_EQ(game.problem, "");
        const std::vector<int> line = game.game.mainLine();
        ASSERT_FALSE(line.empty());
        EXPECT_TRUE(parseEvaluation(game.game.comment(line.back()))) << text;
    }
    // Each opening is played once with each engine as red, whatever order games end in.
    std::map<std::string, std::set<std::string>> redsByStart;
    for (std::size_t at = text.find("[Red \""); at != std::string::npos;
         at = text.find("[Red \"", at + 1)) {
        const std::size_t fen = text.find("[FEN \"", at) + 6;
        redsByStart[text.substr(fen, text.find('"', fen) - fen)].insert(
            text.substr(at + 6, text.find('"', at + 6) - at - 6));
    }
    EXPECT_EQ(redsByStart.size(), 2u) << text;
    for (const auto& [start, reds] : redsByStart)
        EXPECT_EQ(reds, (std::set<std::string> { "A", "B" })) << start;

    EXPECT_EQ(runCli("match A").exitCode, 2);
    EXPECT_EQ(runCli("match A B --openings " + (dir / "none").string()).exitCode, 2);
}

TEST_F(MatchRunTest, BadCombinationsAreRefusedWithTheirReason) {
    const struct {
        const char* arguments;
        const char* says;
    } rows[] = {
        { "A B --tc 5", "GAME+INCREMENT" }, { "A B --tc 10x+1", "game time" },
        { "A B C", "" }, // three engines play a round robin: loading A fails
        { "A B C --schedule match", "two engines" },
        { "A B --schedule swiss", "bad option: --schedule swiss" },
        { "A B C --schedule gauntlet --sprt 0 5", "two engines" },
        { "A B --sprt 5 0", "ELO0 below ELO1" }, { "A B --sprt 0", "two values" },
        { "A B --alpha 0.1 --sprt 0 5", "bad option: --alpha" }, // before --sprt
        { "A B --sprt 0 5 --beta 0.7", "bad option: --beta" },
        { "A B --option-c X=1", "bad option: --option-c" }, // no third engine
    };
    for (const auto& r : rows) {
        const CliRun run = runCli("match " + std::string(r.arguments));
        EXPECT_EQ(run.exitCode, 2) << r.arguments;
        EXPECT_NE(run.out.find(r.says), std::string::npos) << r.arguments << ": " << run.out;
    }
}

TEST_F(MatchRunTest, SprtStopsWhenABoundIsCrossedAndSaysWhichHypothesisHolds) {
    // With elo0 0, elo1 400 and both error rates 0.2 the bounds are +-1.386: pairs won
    // 2-0 add 0.598 each (H1 after the third), a pair lost 0-2 gives -1.709 (H0 at once).
    const std::string good = engine("Good", ""), bad = engine("Bad", "illegal");
    const std::string test = " --sprt 0 400 --alpha 0.2 --beta 0.2 --games 40 --movetime 100";
    const CliRun won = runCli("match " + good + " " + bad + test);
    EXPECT_EQ(won.exitCode, 0) << won.out;
    EXPECT_NE(won.out.find("Pair 1: 2.0/2  pentanomial [0 0 0 0 1]  LLR 0.598 (-1.386, 1.386)"),
        std::string::npos)
        << won.out;
    EXPECT_NE(won.out.find("Pair 3: 2.0/2  pentanomial [0 0 0 0 3]  LLR 1.794"), std::string::npos)
        << won.out;
    EXPECT_NE(won.out.find("after 3 pairs: H1 accepted (elo >= 400)"), std::string::npos)
        << won.out;
    EXPECT_EQ(won.out.find("Game 7 "), std::string::npos) << "no game after the verdict";

    const CliRun lost = runCli("match " + bad + " " + good + test + " --concurrency 2");
    EXPECT_NE(lost.out.find(": 0.0/2  pentanomial [1 0 0 0 0]  LLR -1.709"), std::string::npos)
        << lost.out;
    EXPECT_NE(lost.out.find("after 1 pair: H0 accepted (elo <= 0)"), std::string::npos) << lost.out;
}

TEST_F(MatchRunTest, RoundRobinAndGauntletEndWithACrossTable) {
    const std::string a = engine("A", ""), b = engine("B", "illegal"),
                      c = engine("C", "nobestmove");
    const CliRun robin = runCli("match " + a + " " + b + " " + c
        + " --games 2 --concurrency 3 --movetime 100 --protocol-c ucci --option-c X=1");
    EXPECT_EQ(robin.exitCode, 0) << robin.out;
    for (int round = 1; round <= 6; ++round)
        EXPECT_NE(robin.out.find("Game " + std::to_string(round) + " ("), std::string::npos)
            << robin.out;
    EXPECT_EQ(robin.out.find("Game 7 ("), std::string::npos) << robin.out;
    // A wins all four; B and C each lose to A and beat each other by the other's fault.
    EXPECT_NE(robin.out.find("   1 A                           4.0     4"), std::string::npos)
        << robin.out;
    EXPECT_NE(robin.out.find(" B "), std::string::npos) << robin.out;

    const CliRun gauntlet
        = runCli("match " + a + " " + b + " " + c + " --schedule gauntlet --movetime 100");
    EXPECT_EQ(gauntlet.exitCode, 0) << gauntlet.out;
    EXPECT_EQ(gauntlet.out.find("Game 5 ("), std::string::npos) << "A-B and A-C only";
    EXPECT_NE(gauntlet.out.find("   1 A                           4.0     4"), std::string::npos)
        << gauntlet.out;
}

} // namespace
} // namespace qinglan
