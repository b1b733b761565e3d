// The engine's own board against the rules core: perft everywhere, and make/unmake
// leaving keys and scores as a fresh setup of the same position has them.
#include "rules/Board.h"

#include "bundledengine/Ordering.h"
#include "bundledengine/Position.h"
#include "bundledengine/TimeManager.h"
#include "rules/Perft.h"

#include <gtest/gtest.h>
#include <random>

using namespace qinglan;
using namespace qinglan::bundled;

namespace {

// Reference positions of the rules tests: start, bare kings, mates and stalemates,
// pins, cannon screens and crossed pawns.
const char* const REFERENCE_FENS[] = {
    "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w - - 0 1",
    "3k5/9/9/9/9/9/9/9/9/4K4 w - - 0 1",
    "R3k4/1R7/9/9/9/9/9/9/9/3K5 b - - 0 1",
    "5k3/9/9/9/4r4/9/9/9/r8/3K5 w - - 0 1",
    "4k4/9/9/9/9/9/9/9/4B4/3AKA3 w - - 0 1",
    "2bak4/4a4/4b1n2/p1C1p1p1p/2p6/6P2/P3P3P/1C2B1N2/4A4/c1BAKAB2 w - - 0 1",
    "3k1a3/4a4/4b4/4C4/2n1c4/4R4/9/4B4/4A4/3K1A3 b - - 0 1",
    "4k4/9/4c4/9/4N4/9/4R4/9/9/3K5 w - - 0 1",
    "r1bakab1r/9/1cn3nc1/p1p1p1p1p/9/9/P1P1P1P1P/1CN3NC1/9/R1BAKAB1R w - - 0 1",
    "r1ba1a3/4kn3/2n1b4/pNp1p1p1p/4c4/6P2/P1P2R2P/1CcC5/9/2BAKAB2 w - - 0 1",
    // Pieces a FEN may put where no game brings them: elephants, advisors and pawns
    // off their usual squares, a king outside its palace, a side without a king.
    "2B1k4/4A4/9/2b6/P7p/9/9/3a5/p8/4K4 w - - 0 1",
    "9/9/3k5/9/9/9/9/5K3/9/9 b - - 0 1",
    "4k4/9/9/9/9/9/9/9/9/9 w - - 0 1",
};

std::uint64_t rulesPerft(const std::string& fen, int depth) {
    Board board;
    board.setPosition(fen);
    return qinglan::perft(board, depth);
}

std::uint64_t enginePerft(const std::string& fen, int depth) {
    Position pos;
    pos.setFen(fen);
    return bundled::perft(pos, depth);
}

} // namespace

TEST(EngineBoard, PerftEqualsTheRulesCoreOnReferencePositions) {
    for (const char* fen : REFERENCE_FENS)
        for (int depth = 1; depth <= 3; ++depth)
            EXPECT_EQ(enginePerft(fen, depth), rulesPerft(fen, depth)) << fen << " depth " << depth;
}

// Random games played by the rules core: at every position the engine's perft(2)
// agrees, its FEN is the rules core's, and its incremental key and score equal those
// of the same position set up afresh.
TEST(EngineBoard, AgreesWithTheRulesCoreAlongRandomGames) {
    std::mt19937 random(7);
    for (int game = 0; game < 12; ++game) {
        Board board;
        board.setStartPosition();
        Position pos;
        pos.setFen(board.toFen());
        for (int ply = 0; ply < 120; ++ply) {
            const std::string fen = board.toFen();
            ASSERT_EQ(pos.fen(), fen);
            Position fresh;
            fresh.setFen(fen);
            ASSERT_EQ(pos.key(), fresh.key()) << fen;
            ASSERT_EQ(pos.materialScore(), fresh.materialScore()) << fen;
            ASSERT_EQ(pos.inCheck(), board.isInCheck()) << fen;
            if (ply % 4 == 0) {
                ASSERT_EQ(bundled::perft(pos, 2), rulesPerft(fen, 2)) << fen;
            }

            int moves[MAX_PSEUDO_MOVES];
            int count = board.generateLegalMoves(moves);
            if (count == 0) break;
            // Prefer captures now and then so games reach sparse endings.
            int pick = int(random() % unsigned(count));
            for (int i = 0; i < count && random() % 3 == 0; ++i)
                if (board.pieceAt(moveDst(moves[i])) != 0) pick = i;
            ASSERT_TRUE(pos.isLegal(Move(moves[pick]))) << fen << " " << moveToCoord(moves[pick]);
            ASSERT_TRUE(pos.makeMove(Move(moves[pick])));
            board.makeMoveText(moveToCoord(moves[pick]));
        }
        // Taking everything back returns to the start.
        while (pos.gamePly() > 0) pos.unmakeMove();
        Position start;
        start.setFen(START_FEN);
        EXPECT_EQ(pos.key(), start.key());
        EXPECT_EQ(pos.fen(), start.fen());
    }
}

TEST(EngineBoard, PseudoLegalTestMatchesGeneration) {
    for (const char* fen : REFERENCE_FENS) {
        Position pos;
        pos.setFen(fen);
        MoveList list;
        pos.generate(list, false);
        int generated = 0;
        for (int src = 0; src < 256; ++src)
            for (int dst = 0; dst < 256; ++dst) {
                Move move = Move(src | dst << 8);
                bool listed = std::find(list.moves.begin(), list.moves.begin() + list.count, move)
                    != list.moves.begin() + list.count;
                generated += listed;
                ASSERT_EQ(pos.isPseudoLegal(move), listed) << fen << " " << moveText(move);
            }
        EXPECT_EQ(generated, list.count);
        MoveList captures;
        pos.generate(captures, true);
        for (int i = 0; i < captures.count; ++i)
            EXPECT_NE(pos.pieceAt(moveDst(captures.moves[i])), 0) << fen;
    }
}

TEST(EngineBoard, StaticExchangeSeesCannonScreensAndGuards) {
    struct Row {
        const char* fen;
        const char* move;
        int expected;
    } rows[] = {
        // A chariot takes an unguarded horse.
        { "4k4/9/9/9/4n4/9/9/9/9/3KR4 w - - 0 1", "e0e5", 400 },
        // The horse is guarded by a pawn: chariot for horse loses 600.
        { "4k4/9/9/4p4/4n4/9/9/9/9/3KR4 w - - 0 1", "e0e5", 400 - 1000 },
        // Chariot for horse and pawn: the cannon fires over the red pawn on e3.
        { "4k4/9/9/4p4/R3n4/9/4P4/9/9/3KC4 w - - 0 1", "a5e5", 400 - 1000 + 100 },
        // The capturing chariot was the black cannon's only screen: no recapture.
        { "3kc4/9/9/4R4/4n4/9/9/9/9/5K3 w - - 0 1", "e6e5", 400 },
        // With a second screen the chariot's leaving opens the cannon's line.
        { "3kc4/9/4p4/4R4/4n4/9/9/9/9/5K3 w - - 0 1", "e6e5", 400 - 1000 },
    };
    for (const Row& row : rows) {
        Position pos;
        pos.setFen(row.fen);
        EXPECT_EQ(see(pos, parseMove(row.move)), row.expected) << row.fen << " " << row.move;
    }
}

TEST(TimePlan, CountdownsKeepAReserveAndPresetTimesAreSpent) {
    struct Row {
        std::int64_t time, increment;
        int movesToGo;
        bool opponent;
    } countdowns[] = {
        { 600, 0, 0, true },
        { 60000, 0, 0, true },
        { 1000, 1000, 0, true },
        { 5000, 3000, 0, true },
        { 2000, 0, 1, true },
        { 2000, 0, 40, true },
        { 300000, 0, -3, true },
        { 50, 0, 0, true },
    };
    for (const Row& row : countdowns) {
        GoLimits limits;
        limits.time = row.time;
        limits.increment = row.increment;
        limits.movesToGo = row.movesToGo;
        limits.movesToGoGiven = row.movesToGo != 0;
        limits.oppTimeGiven = row.opponent;
        TimeBudget budget = planTime(limits);
        EXPECT_FALSE(budget.fixed);
        EXPECT_GE(budget.hard, budget.soft);
        EXPECT_GT(budget.soft, 0) << row.time;
        // Never more than most of what is left, and never into the last 100 ms.
        EXPECT_LE(budget.hard, std::max<std::int64_t>(1, (row.time - 100) * 3 / 5)) << row.time;
    }
    for (std::int64_t preset : { 500, 3000, 15000 }) {
        GoLimits limits;
        limits.time = limits.increment = preset;
        TimeBudget budget = planTime(limits);
        EXPECT_TRUE(budget.fixed);
        EXPECT_LT(budget.hard, preset);
        EXPECT_GE(budget.hard, preset * 8 / 10) << preset;
    }
    GoLimits untimed;
    untimed.depth = 5;
    EXPECT_LT(planTime(untimed).hard, 0);
}
