// Move generation and legality: perft counts as data, then the piece rules one by one.
#include "TestBoards.h"
#include "rules/Board.h"
#include "rules/Perft.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <set>

using namespace qinglan;
using qinglan::test::boardAt;

namespace {

struct PerftRow {
    const char* fen;
    int depth;
    std::uint64_t nodes;
};

// Counts agree with an independent xiangqi move generator.
const PerftRow PERFT_ROWS[] = {
    { "position startpos", 1, 44 },
    { "position startpos", 2, 1920 },
    { "position startpos", 3, 79666 },
    { "position startpos", 4, 3290240 },
    // Two bare kings: the king may not step onto the other king's open file.
    { "3k5/9/9/9/9/9/9/9/9/4K4 w - - 0 1", 1, 2 },
    { "3k5/9/9/9/9/9/9/9/9/4K4 w - - 0 1", 4, 14 },
    // Checkmate, stalemate, and a side whose only mobile piece guards the kings' file.
    { "R3k4/1R7/9/9/9/9/9/9/9/3K5 b - - 0 1", 1, 0 },
    { "5k3/9/9/9/4r4/9/9/9/r8/3K5 w - - 0 1", 1, 0 },
    { "4k4/9/9/9/9/9/9/9/4B4/3AKA3 w - - 0 1", 1, 0 },
    // Middle games with cannon screens, pins, checks and pawns across the river.
    { "2bak4/4a4/4b1n2/p1C1p1p1p/2p6/6P2/P3P3P/1C2B1N2/4A4/c1BAK4 w - - 0 1", 3, 19145 },
    { "3k1a3/4a4/4b4/4C4/2n1c4/4R4/9/4B4/4A4/3K1A3 b - - 0 1", 4, 69071 },
    { "4k4/9/4c4/9/4N4/9/4R4/9/9/3K5 w - - 0 1", 4, 64000 },
    { "r1bakab1r/9/1cn3nc1/p1p1p1p1p/9/9/P1P1P1P1P/1CN3NC1/9/R1BAKAB1R w - - 0 1", 3, 47994 },
    { "r1ba1a3/4kn3/2n1b4/pNp1p1p1p/4c4/6P2/P1P2R2P/1CcC5/9/2BAKAB2 w - - 0 1", 3, 43929 },
    // An edited position: red's only mobile piece is an elephant across the river.
    { "3k5/9/5r3/1p1p5/2B6/9/9/2n6/9/4K4 w - - 0 1", 4, 3110 },
};

} // namespace

TEST(Perft, MatchesKnownCounts) {
    for (const PerftRow& row : PERFT_ROWS) {
        Board board = boardAt(row.fen);
        const std::string before = board.toFen();
        std::uint64_t nodes = perft(board, row.depth);
        if (nodes != row.nodes) {
            std::string split;
            for (const auto& [move, count] : perftDivide(board, row.depth))
                split += move + ": " + std::to_string(count) + "\n";
            ADD_FAILURE() << row.fen << " depth " << row.depth << ": " << nodes << " instead of "
                          << row.nodes << "\n"
                          << split;
        }
        EXPECT_EQ(board.toFen(), before) << "perft must leave the board as it found it";
        EXPECT_TRUE(board.isConsistent());
    }
}

TEST(Generation, StartHasFortyFourMovesAllLegal) {
    Board board = boardAt("position startpos");
    int moves[MOVE_BUFFER_SIZE];
    int count = board.generateMoves(moves);
    EXPECT_EQ(count, 44);
    for (int i = 0; i < count; ++i)
        EXPECT_TRUE(board.isLegalMove(moves[i])) << moveToCoord(moves[i]);
}

TEST(Generation, NeverWritesPastTheBuffer) {
    // Eight chariots from a grid and a fenced buffer: generation stops at its end.
    std::vector<std::vector<int>> cells(9, std::vector<int>(10, 0));
    for (int file = 0; file < 8; ++file) cells[file][file] = RED + CHARIOT;
    Board board;
    board.setFromGrid(cells, false);
    std::vector<int> fenced(20 + 2, -1);
    int count = board.generateMoves(std::span<int>(fenced.data() + 1, 20));
    EXPECT_EQ(count, 20);
    EXPECT_EQ(fenced.front(), -1);
    EXPECT_EQ(fenced.back(), -1);
    int all[MAX_PSEUDO_MOVES];
    EXPECT_GT(board.generateMoves(all), MOVE_BUFFER_SIZE / 2);
}

TEST(Generation, GeneratesEveryPseudoLegalMoveAndNoOther) {
    // generateMoves and isPseudoLegal must agree on every from-to pair.
    for (const PerftRow& row : PERFT_ROWS) {
        Board board = boardAt(row.fen);
        int moves[MAX_PSEUDO_MOVES];
        int count = board.generateMoves(moves);
        std::set<int> generated(moves, moves + count);
        EXPECT_EQ(int(generated.size()), count) << "duplicates in " << row.fen;
        for (int src = 0; src < 256; ++src)
            for (int dst = 0; dst < 256; ++dst) {
                int move = moveOf(src, dst);
                if (src == 0 || dst == 0) continue;
                EXPECT_EQ(board.isPseudoLegal(move), generated.count(move) == 1)
                    << row.fen << " " << moveToCoord(move);
            }
    }
}

struct LegalityRow {
    const char* position;
    const char* move;
    bool legal;
    const char* why;
};

const LegalityRow LEGALITY_ROWS[] = {
    { "position startpos", "b0c2", true, "horse jumps with a free leg" },
    { "3k5/9/9/9/9/9/9/9/1P7/1N2K4 w", "b0c2", false, "horse leg b1 is blocked" },
    { "3k5/9/9/9/9/9/9/9/1P7/1N2K4 w", "b0d1", true, "horse jumps sideways over the free leg c0" },
    { "3k5/9/9/9/9/9/9/9/3P5/2B1K4 w", "c0e2", false, "elephant eye d1 is blocked" },
    { "3k5/9/9/9/9/2B6/9/9/9/4K4 w", "c4e6", false, "elephant never crosses the river" },
    { "3k5/9/9/9/9/2B6/9/9/9/4K4 w", "c4a2", true, "elephant on its own half" },
    { "3k5/9/5r3/1p1p5/2B6/9/9/2n6/9/4K4 w", "c5a3", true,
        "elephant set across the river steps back to its own half" },
    { "3k5/9/9/9/2B6/9/9/9/9/4K4 w", "c5e7", false,
        "elephant set across the river may not step on over there" },
    { "4k4/9/9/9/9/6b2/9/9/9/3K5 b", "g4i6", true, "black elephant steps back over the river" },
    { "4k4/9/9/9/9/6b2/9/9/9/3K5 b", "g4e2", false, "black elephant stays off red's half" },
    { "1r1k5/9/9/9/9/9/9/1C7/9/4K4 w", "b2b9", false, "cannon without a screen cannot capture" },
    { "1r1k5/9/9/1p7/9/9/9/1C7/9/4K4 w", "b2b9", true, "cannon captures over exactly one screen" },
    { "1r1k5/1p7/9/1p7/9/9/9/1C7/9/4K4 w", "b2b9", false,
        "cannon cannot capture over two screens" },
    { "1r1k5/9/9/1p7/9/9/9/1C7/9/4K4 w", "b2b7", false,
        "cannon cannot pass a screen to an empty square" },
    { "3k5/9/9/9/9/9/4P4/9/9/4K4 w", "e3d3", false, "pawn on its own half only moves forward" },
    { "3k5/9/9/9/4P4/9/9/9/9/4K4 w", "e5d5", true, "pawn across the river moves sideways" },
    { "3k5/9/9/9/4P4/9/9/9/9/4K4 w", "e5e4", false, "pawn never moves backward" },
    { "3k5/9/9/9/9/9/9/9/9/4K4 w", "e0d0", false,
        "king may not face the other king on an open file" },
    { "3k5/9/9/9/9/9/9/9/9/4K4 w", "e0e1", true, "king steps forward in the palace" },
    { "4k4/9/9/9/9/9/9/9/9/3K5 w", "d0c0", false, "king stays in the palace" },
    { "4k4/9/9/9/9/9/9/9/4R4/4K4 w", "e1d1", false, "the chariot between the kings is pinned" },
    { "4k4/9/9/9/9/9/9/9/4R4/4K4 w", "e1e5", true, "the pinned chariot may move along the pin" },
    { "4k4/9/4r4/9/9/9/9/9/4N4/4K4 w", "e1d3", false,
        "moving the horse exposes the king to the chariot" },
    { "4k4/9/4c4/9/9/9/9/4N4/4P4/4K4 w", "e2d4", false,
        "moving one of two screens lets the cannon check" },
    { "4k4/9/4c4/9/9/9/9/9/4P4/3K5 w", "d0e0", false, "king steps behind one screen of a cannon" },
    { "3k5/9/9/9/9/9/9/3n5/3N5/4K4 w", "d1b2", false,
        "moving the horse leg frees the black horse's check" },
    { "3k5/9/9/9/9/9/9/9/3p5/4K4 w", "e0e1", false,
        "king steps beside a black pawn that attacks sideways" },
    { "4k4/9/9/9/9/9/9/9/9/4K4 b", "e9e8", false, "black king stays on the kings' open file" },
    { "4k4/9/9/9/9/9/9/9/9/4K4 b", "e9d9", true, "black king leaves the kings' open file" },
    { "r8/9/9/9/9/9/9/9/9/4K4 b", "a9a8", false, "a side without a king has no legal move" },
};

TEST(Legality, FollowsThePieceRules) {
    for (const LegalityRow& row : LEGALITY_ROWS) {
        Board board = boardAt(row.position);
        const std::string before = board.toFen();
        EXPECT_EQ(board.isLegalMoveText(row.move), row.legal)
            << row.why << ": " << row.position << " " << row.move;
        EXPECT_EQ(test::legalMoveTexts(board).count(row.move) == 1, row.legal)
            << "generation disagrees: " << row.why;
        EXPECT_EQ(board.toFen(), before);
    }
}

TEST(Legality, RejectsMalformedText) {
    Board board = boardAt("position startpos");
    for (const char* text : { "", "h2", "H2E2", "h2e2x", "z2e2", "h2h2" })
        EXPECT_EQ(board.isLegalMoveText(text), std::string(text) == "h2e2x") << text;
}

TEST(Check, SeesEveryAttackerAndAMissingKing) {
    struct Row {
        const char* fen;
        bool inCheck;
    };
    const Row rows[] = {
        { "4k4/9/9/9/9/9/9/9/9/4K4 w", true }, // facing kings
        { "4k4/9/9/9/9/9/9/9/4A4/4K4 w", false },
        { "4k4/9/9/9/4r4/9/9/9/9/4K4 w", true }, // chariot on the file
        { "4k4/9/9/9/4c4/9/9/9/4A4/4K4 w", true }, // cannon over one screen
        { "4k4/9/9/9/4c4/9/9/4A4/4A4/4K4 w", false }, // two screens
        { "3k5/9/9/9/9/9/9/9/5n3/4K4 w", false }, // a horse one diagonal step away
        { "3k5/9/9/9/9/9/9/5n3/9/4K4 w", true }, // horse f2 over its free leg f1
        { "3k5/9/9/9/9/9/9/5n3/5P3/4K4 w", false }, // its leg f1 blocked
        { "3k5/9/9/9/9/9/9/9/6n2/4K4 w", true }, // horse g1 over its free leg f1
        { "4k4/9/9/9/9/9/9/9/4p4/4K4 w", true }, // pawn in front
        { "3k5/9/9/9/9/9/9/9/9/3pK4 w", true }, // pawn beside the king
        { "3k5/9/9/9/9/9/9/9/9/3p1K3 w", false }, // pawn two files away
        { "9/9/9/9/9/9/9/9/9/4K4 b", true }, // no black king
    };
    for (const Row& row : rows) EXPECT_EQ(boardAt(row.fen).isInCheck(), row.inCheck) << row.fen;
}
