// What the engine glue asks and reads: the "go" line of every level as UCCI writes it,
// replies read as values, and the rows of the thinking boxes.
#include "enginelink/EngineDialect.h"
#include "game/EngineGlue.h"
#include "game/ThinkingInfo.h"
#include "rules/Board.h"

#include <gtest/gtest.h>

namespace qinglan {
namespace {

LevelSettings level(int mode) {
    LevelSettings l;
    l.mode = mode;
    l.moveTimeTenths = 30;
    l.nodeLimit = 500000;
    l.depthLimit = 12;
    l.movesToGo = 40;
    l.incrementMs = 2000;
    return l;
}

TEST(GoCommand, EveryModeWithAndWithoutPonder) {
    struct Row {
        LevelSettings level;
        int plies;
        std::int64_t my, opp;
        bool ponder;
        const char* expected;
    };
    LevelSettings noMoves = level(LEVEL_TIME_MOVES_TO_GO);
    noMoves.movesToGo = 0;
    LevelSettings unknown = level(9);
    const Row rows[] = {
        { level(LEVEL_MOVE_TIME), 0, 1, 2, false, "go time 3000 increment 3000" },
        { level(LEVEL_MOVE_TIME), 0, 1, 2, true, "go ponder time 3000 increment 3000" },
        { unknown, 0, 1, 2, false, "go time 3000 increment 3000" },
        { level(LEVEL_NODES), 7, 1, 2, false, "go nodes 500000" },
        { level(LEVEL_DEPTH), 7, 1, 2, true, "go ponder depth 12" },
        // 40 - 5 / 2 = 37.5, truncated toward zero.
        { level(LEVEL_TIME_MOVES_TO_GO), 5, 60000, -300, false,
            "go time 60000 movestogo 37 opptime -300 oppmovestogo 37" },
        { noMoves, 1, 10, 20, false, "go time 10 movestogo 0 opptime 20 oppmovestogo 0" },
        { noMoves, 3, 10, 20, false, "go time 10 movestogo -1 opptime 20 oppmovestogo -1" },
        { level(LEVEL_TIME_INCREMENT), 9, 299000, 301000, true,
            "go ponder time 299000 increment 2000 opptime 301000 oppincrement 2000" },
        { level(LEVEL_INFINITE), 3, 1, 2, false, "go infinite" },
    };
    for (const Row& r : rows) {
        const SearchRequest request { std::string(START_FEN), {}, {},
            r.ponder ? SearchMode::Ponder : SearchMode::Play,
            searchLimits(r.level, r.plies, r.my, r.opp), 1 };
        EXPECT_EQ(UcciDialect().startSearch(request, true).lines.back(), r.expected);
    }
}

TEST(EngineReply, BestMovesNoMovesAndThinkingLinesAreRead) {
    struct Row {
        const char* line;
        std::optional<EngineReply> reply;
    };
    ThinkingLine full { 10, Score { Score::Kind::Centipawns, -35 }, 77, 9000, 2, { "h2e2" } };
    ThinkingLine mate { 7, Score { Score::Kind::Mate, -3 }, std::nullopt, std::nullopt, 1, {} };
    const Row rows[] = {
        { "nobestmove", NoMove {} },
        { "bestmove (none)", NoMove {} },
        { "bestmove", NoMove {} },
        { "bestmove h2e2", BestMove { "h2e2", "" } },
        { "bestmove h2e2 ponder h9g7", BestMove { "h2e2", "h9g7" } },
        { "bestmove  h2e2   ponder  h9g7 ", BestMove { "h2e2", "h9g7" } },
        { "nobestmoves", std::nullopt },
        { "info string depth 3", std::nullopt },
        { "readyok", std::nullopt },
        { "info depth 10 seldepth 14 multipv 2 score cp -35 nodes 9000 nps 5 time 77 pv h2e2",
            full },
        { "info depth 7 score mate -3 upperbound", mate },
        // Values that are no numbers are left out, not guessed.
        { "info depth x score cp y time 1.5", ThinkingLine {} },
    };
    for (const Row& r : rows) EXPECT_EQ(parseEngineReply(r.line), r.reply) << r.line;
}

TEST(ThinkingRow, ColumnsGuessAndVariation) {
    struct Row {
        const char* line;
        const char* guess;
        const char* expected;
        const char* bad = "";
    };
    const Row rows[] = {
        { "info depth 12 score -35 time 1520 nodes 9 pv h2e2 h9g7", "",
            " 12     -35   1520  砲二平五 马８进７\r\n" },
        { "info depth 3 score 8 time 10 pv h2e2", "马８进７",
            "  3       8     10  (马８进７) 砲二平五\r\n" },
        // Only a node count, or progress with only a depth: no row at all.
        { "info nodes 4000", "", "" },
        { "info depth 14 currmove h2e2 currmovenumber 3", "", "" },
        { "info depth 9", "", "" },
        { "info depth 9 time 300", "", "  9            300 \r\n" },
        // A token that is not four bytes is skipped; the variation ends before its first
        // illegal move, which is reported.
        { "info depth 2 score 1 time 5 pv h2e2x h2e2 a0a5 h9g7", "",
            "  2       1      5  砲二平五\r\n", "a0a5" },
        { "info depth 1 score 5 pv a0a0 a0a0 a0a0", "", "  1       5        \r\n", "a0a0" },
        // Wider values are not cut.
        { "info depth 1234 score 123456789 time 12345678 pv", "", "123412345678912345678 \r\n" },
        { "info pv h2e2", "", "                    砲二平五\r\n" },
        // The UCI score forms that engines also print in UCCI.
        { "info depth 10 seldepth 14 multipv 1 score cp 200 nodes 9 time 77 pv", "",
            " 10     200     77 \r\n" },
        { "info depth 7 score mate -3 upperbound time 5", "", "  7     #-3      5 \r\n" },
    };
    for (const Row& r : rows) {
        Board board;
        board.setStartPosition();
        std::string bad = "stale";
        const std::optional<ThinkingLine> line = parseThinkingLine(r.line);
        ASSERT_TRUE(line) << r.line;
        EXPECT_EQ(thinkingRow(board, *line, r.guess, bad), r.expected) << r.line;
        EXPECT_EQ(bad, r.bad) << r.line;
    }
}

TEST(ThinkingRow, HeaderNamesTheSlot) {
    EXPECT_EQ(
        thinkingHeader(true, "E"), "主引擎 E 的思考信息：\r\n\r\n深度   评价   时间  思考路线\r\n");
    EXPECT_EQ(
        thinkingHeader(false, ""), "副引擎  的思考信息：\r\n\r\n深度   评价   时间  思考路线\r\n");
}

} // namespace
} // namespace qinglan
