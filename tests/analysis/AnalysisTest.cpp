// Engines studying positions: the fake engine in its "analyst" mode searches one ply by
// material, so what a review must mark, and what each ranked line holds, is known.
#include "../support/ShellRun.h"
#include "FakeEngineFixture.h"
#include "analysis/AnalysisScore.h"
#include "analysis/GameReview.h"
#include "analysis/LiveAnalysis.h"
#include "records/GameRecord.h"
#include "records/PgnWriter.h"
#include "records/RecordFile.h"

#include <algorithm>

namespace qinglan::test {
namespace {

// Red to move may take the black rook on a5 with the rook on a0; either rook takes the
// other when its side is to move.
constexpr const char* ROOKS = "3k5/9/9/9/r8/9/9/9/9/R3K4 w - - 0 1";
// Red may take a pawn with its rook (one pawn's worth), and nothing black has can reach
// red's pieces afterwards.
constexpr const char* PAWN = "3k5/9/9/9/9/9/p8/9/9/R3K4 w - - 0 1";

GameRecord gameOf(const char* fen, std::initializer_list<const char*> moves) {
    GameRecord game;
    EXPECT_TRUE(game.setStartFen(fen));
    int node = GameRecord::ROOT;
    for (const char* move : moves) {
        node = game.addMove(node, move);
        EXPECT_NE(node, GameRecord::NONE) << move;
    }
    return game;
}

std::vector<std::string> childMoves(const GameRecord& game, int node) {
    std::vector<std::string> moves;
    for (int child = game.firstChild(node); child != GameRecord::NONE;
         child = game.nextSibling(child))
        moves.push_back(game.moveText(child));
    return moves;
}

class AnalysisTest : public FakeEngineTest {
protected:
    // Steps the review with short waits until it ends.
    void runReview(GameReview& review) {
        const std::int64_t deadline = tickMs() + 10000;
        while (review.step(engine) && tickMs() < deadline) engine.awaitOutput(20);
    }
    // Polls until the lines shown fill all ranks asked for (or the time is up).
    void pollUntilFull(LiveAnalysis& analysis) {
        const std::int64_t deadline = tickMs() + 3000;
        while (tickMs() < deadline) {
            analysis.poll(engine);
            if (std::ranges::all_of(
                    analysis.lines(), [](const ThinkingLine& line) { return !line.pv.empty(); }))
                return;
            engine.awaitOutput(10);
        }
    }
};

TEST_F(AnalysisTest, AReviewCommentsEveryMoveAndMarksWhatLostMaterial) {
    struct Row {
        const char* fen;
        std::initializer_list<const char*> moves;
        const char* firstComment; // the first move's evaluation, from red's view
        std::vector<std::uint8_t> firstNags;
        std::vector<std::string> rootMoves; // the move played, then the better one added
    };
    const Row rows[] = {
        // The king steps aside instead of taking, and the rook is lost: a blunder.
        { ROOKS, { "e0e1", "a5a0" }, "-9.00/1", { 4 }, { "e0e1", "a0a5" } },
        // Taking is what the engine would have played: nothing to mark.
        { ROOKS, { "a0a5", "d9d8" }, "+9.00/1", {}, { "a0a5" } },
        // A pawn left standing: a mistake, not a blunder.
        { PAWN, { "e0e1", "a3a2" }, "+8.00/1", { 2 }, { "e0e1", "a0a3" } },
    };
    mode("analyst");
    ASSERT_TRUE(load());
    for (const Row& row : rows) {
        SCOPED_TRACE(row.moves.begin()[0]);
        GameRecord game = gameOf(row.fen, row.moves);
        game.setComment(game.mainLine()[0], "+1.00/3 0.5s a master's note");
        GameReview review(game, SearchLimits { 100, {}, {}, {} });
        runReview(review);
        ASSERT_FALSE(review.failed());
        ASSERT_EQ(review.done(), 3);
        review.annotate(game);
        const int first = game.mainLine()[0];
        EXPECT_TRUE(game.comment(first).starts_with(row.firstComment)) << game.comment(first);
        EXPECT_TRUE(game.comment(first).ends_with(" a master's note"))
            << "an old score is replaced";
        EXPECT_EQ(std::ranges::count(game.comment(first), '/'), 1) << game.comment(first);
        EXPECT_EQ(game.nags(first), row.firstNags);
        EXPECT_EQ(childMoves(game, GameRecord::ROOT), row.rootMoves);
        EXPECT_TRUE(game.nags(game.mainLine()[1]).empty());
        // A second review changes nothing more.
        const GameRecord once = game;
        review.annotate(game);
        EXPECT_TRUE(game == once);
    }
}

TEST_F(AnalysisTest, ACancelledReviewKeepsWhatWasDone) {
    mode("analyst,delay=150");
    ASSERT_TRUE(load());
    GameRecord game = gameOf(ROOKS, { "e0e1", "a5a0", "e1f1" });
    GameReview review(game, SearchLimits { 1000, {}, {}, {} });
    const std::int64_t deadline = tickMs() + 5000;
    while (review.done() < 1 && tickMs() < deadline) {
        ASSERT_TRUE(review.step(engine));
        engine.awaitOutput(10);
    }
    review.cancel(engine);
    EXPECT_FALSE(review.step(engine));
    EXPECT_EQ(review.done(), 1);
    EXPECT_FALSE(engine.isBusy()) << "the search under way was stopped";
    review.annotate(game);
    for (int node : game.mainLine()) EXPECT_EQ(game.comment(node), "") << "nothing reviewed";
}

TEST_F(AnalysisTest, ANewPositionRestartsTheAnalysisAndNoOldLineIsShown) {
    for (const char* protocol : { "analyst", "analyst,uci" }) {
        SCOPED_TRACE(protocol);
        mode(protocol);
        EngineOptions automatic = engine.getOptions();
        automatic.protocol = EngineProtocol::Auto; // the same program, now speaking UCI
        engine.setOptions(automatic);
        ASSERT_TRUE(load());
        LiveAnalysis analysis;
        analysis.setLines(engine, 3);
        Board board;
        board.setPosition(ROOKS);
        analysis.show(engine, board);
        pollUntilFull(analysis);
        ASSERT_EQ(analysis.lines().size(), 3u);
        EXPECT_EQ(analysis.lines()[0].pv, std::vector<std::string> { "a0a5" });
        EXPECT_EQ(analysis.lines()[0].score, (Score { Score::Kind::Centipawns, 900 }));
        for (int rank = 1; rank < 3; ++rank) {
            EXPECT_EQ(analysis.lines()[rank].rank, rank + 1);
            EXPECT_LE(centipawnsOf(*analysis.lines()[rank].score),
                centipawnsOf(*analysis.lines()[rank - 1].score));
        }
        EXPECT_EQ(engine.state(), EngineState::Analysing);

        // Every line shown from now on is about the new position.
        ASSERT_TRUE(board.makeMoveText("e0e1"));
        analysis.show(engine, board);
        for (const ThinkingLine& line : analysis.lines()) EXPECT_TRUE(line.pv.empty());
        const std::int64_t deadline = tickMs() + 3000;
        while (analysis.lines()[0].pv.empty() && tickMs() < deadline) {
            analysis.poll(engine);
            for (const ThinkingLine& line : analysis.lines())
                if (!line.pv.empty()) {
                    EXPECT_TRUE(board.isLegalMoveText(line.pv[0]));
                }
            engine.awaitOutput(10);
        }
        EXPECT_EQ(analysis.lines()[0].pv, std::vector<std::string> { "a5a0" });

        analysis.stop(engine);
        EXPECT_EQ(engine.state(), EngineState::Idle);
        EXPECT_FALSE(engine.lastReply()) << "an analysis never leaves a move to play";
        EXPECT_TRUE(engine.unload());
    }
}

TEST_F(AnalysisTest, TheCommandLineReviewsEveryGameOfAFile) {
    GameRecord blunder = gameOf(ROOKS, { "e0e1", "a5a0" });
    GameRecord fine = gameOf(PAWN, { "a0a3" });
    const std::string in = path("in.pgn"), out = path("out.pgn");
    std::ofstream(in) << writePgn(blunder, Notation::Chinese) << writePgn(fine, Notation::Chinese);
    mode("analyst");
    const CliRun run = runShell(std::string(QINGLAN_CLI) + " analyse " + in + " --engine "
        + QINGLAN_FAKE_ENGINE + " --movetime 50 --out " + out + " 2>/dev/null");
    EXPECT_EQ(run.exitCode, 0);
    const RecordFileContents read = readRecordFile(out);
    ASSERT_EQ(read.games.size(), 2u) << readFile(out);
    const GameRecord& first = read.games[0].game;
    EXPECT_EQ(first.nags(first.mainLine()[0]), std::vector<std::uint8_t> { 4 });
    EXPECT_TRUE(first.comment(first.mainLine()[0]).starts_with("-9.00/1 "));
    EXPECT_EQ(childMoves(first, GameRecord::ROOT), (std::vector<std::string> { "e0e1", "a0a5" }));
    const GameRecord& second = read.games[1].game;
    EXPECT_TRUE(second.comment(second.mainLine()[0]).starts_with("+9.00/1 "));

    for (const char* bad : { "--movetime 0", "--depth 3 --movetime 10", "--multipv 6", "" }) {
        const CliRun refused = runShell(std::string(QINGLAN_CLI) + " analyse " + in + " --engine "
            + QINGLAN_FAKE_ENGINE + " " + bad + (*bad ? " --out " + out : "") + " 2>/dev/null");
        EXPECT_EQ(refused.exitCode, 2) << bad;
    }
}

} // namespace
} // namespace qinglan::test
