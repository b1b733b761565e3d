// Positions in and out: FEN, position commands, move texts, the record, grids.
#include "rules/Board.h"

#include "TestBoards.h"

#include <gtest/gtest.h>

using namespace qinglan;
using qinglan::test::boardAt;

namespace {

const std::string START(START_FEN);
const std::string EMPTY_FEN = "9/9/9/9/9/9/9/9/9/9 w - - 0 1";

} // namespace

TEST(Fen, RoundTripsAndWritesFixedTrailer) {
    EXPECT_EQ(boardAt(START).toFen(), START);
    Board cleared = boardAt(START);
    cleared.clear();
    EXPECT_EQ(cleared.toFen(), EMPTY_FEN);
    EXPECT_EQ(cleared.plyCount(), 0);
    // Move counters in the input are not kept: the board holds none.
    EXPECT_EQ(boardAt("4k4/9/9/9/9/9/9/9/9/4K4 b - - 17 42").toFen(),
        "4k4/9/9/9/9/9/9/9/9/4K4 b - - 0 1");
}

TEST(Fen, ReadsMalformedTextAsFarAsItGoes) {
    struct Case {
        const char* input;
        const char* fen;
    };
    const Case cases[] = {
        // A third red chariot is dropped; the rest of its row keeps its files.
        { "RRR1k4/9/9/9/9/9/9/9/9/4K4 w", "RR2k4/9/9/9/9/9/9/9/9/4K4 w - - 0 1" },
        // Five pawns a side at most; the sixth keeps its file but stays empty.
        { "4k4/9/9/pppppp3/9/9/PPPPPP3/9/9/4K4 w", "4k4/9/9/ppppp4/9/9/PPPPP4/9/9/4K4 w - - 0 1" },
        // Side letters: "B" counts as black; no side field means red.
        { "4k4/9/9/9/9/9/9/9/9/4K4 B", "4k4/9/9/9/9/9/9/9/9/4K4 b - - 0 1" },
        { "4k4/9/9/9/9/9/9/9/9/4K4", "4k4/9/9/9/9/9/9/9/9/4K4 w - - 0 1" },
        // Missing rows stay empty; unknown letters and "0" take no file.
        { "4k4/9/9 b", "4k4/9/9/9/9/9/9/9/9/9 b - - 0 1" },
        // The board ends at the first blank: a short last row never reads the side as a piece.
        { "4k4/9/9/9/9/9/9/9/9/4K b", "4k4/9/9/9/9/9/9/9/9/4K4 b - - 0 1" },
        { "4k4/9/9/9/9/9/9/9/9/3K B", "4k4/9/9/9/9/9/9/9/9/3K5 b - - 0 1" },
        { "4k4/9/9/9/9/9/9/9/9/3K\xE3\x80\x80"
          "b",
            "4k4/9/9/9/9/9/9/9/9/3K5 b - - 0 1" },
        { "E0H4k4/9/9/9/9/9/9/9/9/4K4 w", "4k4/9/9/9/9/9/9/9/9/4K4 w - - 0 1" },
        // Extra files in a row are cut off at nine; rows beyond the tenth are ignored.
        { "4k4R/9/9/9/9/9/9/9/9/4K4/RRRR w", "4k4/9/9/9/9/9/9/9/9/4K4 w - - 0 1" },
        // Blanks around the text, ASCII or full-width, are stripped.
        { "  \xE3\x80\x80"
          "4k4/9/9/9/9/9/9/9/9/4K4 b \xE3\x80\x80 ",
            "4k4/9/9/9/9/9/9/9/9/4K4 b - - 0 1" },
        { "", EMPTY_FEN.c_str() },
        { "position fen ", EMPTY_FEN.c_str() },
    };
    for (const Case& c : cases) EXPECT_EQ(boardAt(c.input).toFen(), c.fen) << "input: " << c.input;
}

TEST(SetPosition, AcceptsEveryPositionForm) {
    const std::string moves = " moves h2e2 h9g7";
    Board fromStartpos = boardAt("position startpos" + moves);
    Board fromFenCommand = boardAt("position fen " + START + moves);
    Board fromFen = boardAt(START + moves);
    for (const Board* board : { &fromStartpos, &fromFenCommand, &fromFen }) {
        EXPECT_EQ(board->plyCount(), 2);
        EXPECT_TRUE(board->isRedToMove());
        EXPECT_EQ(board->toFen(), fromStartpos.toFen());
        EXPECT_EQ(board->startFen(), START);
        EXPECT_EQ(board->lastMoveText(), "h9g7");
    }
}

TEST(SetPosition, SkipsIllegalMovesAndKeepsGoing) {
    Board board = boardAt("position startpos moves h2e2 h2e2 h9g7");
    EXPECT_EQ(board.plyCount(), 2);
    EXPECT_EQ(board.record()[1].move, coordToMove("h9g7"));
    // A doubled space gives an empty piece, which is skipped too.
    EXPECT_EQ(boardAt("position startpos moves h2e2  h9g7").plyCount(), 2);
    // " moves " twice: no moves at all.
    EXPECT_EQ(boardAt("position startpos moves h2e2 moves h9g7").plyCount(), 0);
    // Trailing line ends after a move are ignored by the move reader.
    EXPECT_EQ(boardAt("position startpos moves h2e2\r\n").plyCount(), 1);
}

TEST(SetPosition, StartsAFreshRecord) {
    Board board = boardAt("position startpos moves h2e2 h9g7 h0g2");
    board.setStartPosition();
    EXPECT_EQ(board.plyCount(), 0);
    EXPECT_EQ(board.lastMoveText(), "");
    EXPECT_FALSE(board.lastMoveCaptured());
    EXPECT_FALSE(board.lastMoveGaveCheck());
}

TEST(MoveText, ConvertsBothWays) {
    EXPECT_EQ(moveToCoord(coordToMove("h2e2")), "h2e2");
    EXPECT_EQ(moveToCoord(coordToMove("a0i9")), "a0i9");
    EXPECT_EQ(coordToMove("h2e2"), moveOf(squareOf(7, 7), squareOf(4, 7)));
    EXPECT_EQ(coordToMove("h2e2\r\n"), coordToMove("h2e2"));
    for (const char* bad : { "H2E2", "h2e", "", "j0a0", "a:a0", "a0a/", "`0a0" })
        EXPECT_EQ(coordToMove(bad), 0) << bad;
    EXPECT_EQ(moveToCoord(0), "");
    EXPECT_EQ(moveToCoord(moveOf(0x32, 0x33)), ""); // off-board source
    EXPECT_EQ(squareOf(9, 0), 0);
    EXPECT_EQ(squareOf(0, 10), 0);
    EXPECT_EQ(squareOf(-1, 3), 0);
}

TEST(PositionCommand, BuildsEngineLines) {
    Board board = boardAt("position startpos moves h2e2 h9g7");
    EXPECT_EQ(board.positionCommand(false), "position fen " + START + " moves h2e2 h9g7");
    EXPECT_EQ(board.positionCommand(true), "position startpos moves h2e2 h9g7");
    EXPECT_EQ(boardAt(START).positionCommand(), "position startpos");
    // Black to move in the start layout is not the standard start.
    const std::string blackStart
        = "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR b - - 0 1";
    EXPECT_EQ(boardAt(blackStart).positionCommand(), "position fen " + blackStart);
}

TEST(PositionCommand, RestartsAtTheLatestCapture) {
    Board board = boardAt("position startpos moves h2h9"); // the cannon takes a horse
    const std::string afterCapture = board.toFen();
    EXPECT_EQ(board.positionCommand(true, true), "position fen " + afterCapture);
    board.makeMoveText("h7e7");
    board.makeMoveText("b2e2");
    EXPECT_EQ(
        board.positionCommand(true, true), "position fen " + afterCapture + " moves h7e7 b2e2");
    EXPECT_EQ(board.positionCommand(true, false), "position startpos moves h2h9 h7e7 b2e2");
}

TEST(MakeAndUndo, RecordEachMoveAndRestoreExactly) {
    Board board = boardAt(START);
    EXPECT_FALSE(board.makeMoveText("h2h8")); // blocked cannon
    EXPECT_FALSE(board.makeMoveText("e6e5")); // not red's piece
    EXPECT_EQ(board.plyCount(), 0);

    ASSERT_TRUE(board.makeMoveText("h2h9")); // cannon takes horse, two pieces short of the king
    EXPECT_TRUE(board.lastMoveCaptured());
    EXPECT_EQ(board.record()[0].captured, BLACK + HORSE);
    EXPECT_EQ(board.startFen(), START);
    EXPECT_FALSE(board.isRedToMove());
    ASSERT_TRUE(board.makeMoveText("i9h9"));
    ASSERT_TRUE(board.makeMoveText("b2e2"));
    ASSERT_TRUE(board.makeMoveText("h7e7")); // black cannon to the centre: a screen for nothing
    ASSERT_TRUE(board.makeMoveText("e2e6")); // red cannon takes the centre pawn, giving check
    EXPECT_TRUE(board.lastMoveGaveCheck());
    EXPECT_TRUE(board.isConsistent());

    while (board.plyCount() > 0) board.undoMove();
    EXPECT_EQ(board.toFen(), START);
    EXPECT_TRUE(board.isConsistent());
    board.undoMove(); // empty record: nothing happens
    EXPECT_EQ(board.toFen(), START);
    EXPECT_EQ(board.lastMoveText(), "");
}

TEST(PositionKey, EqualPositionsHaveEqualKeysHoweverReached) {
    // Each pair reaches one position by two move orders (captures included), or by
    // moves and by its FEN; the key is kept move by move, so only a wrong update differs.
    const std::pair<const char*, const char*> same[] = {
        { "position startpos moves h2e2 h9g7 b0c2", "position startpos moves b0c2 h9g7 h2e2" },
        { "position startpos moves h2h9 i9h9 b2b9 a9b9",
            "position startpos moves b2b9 a9b9 h2h9 i9h9" },
        { "position startpos moves h2e2 h9g7 h0g2 g7h9 g2h0 h9g7",
            "position startpos moves h2e2 h9g7" },
    };
    for (const auto& [a, b] : same) {
        const Board first = boardAt(a), second = boardAt(b);
        ASSERT_EQ(first.toFen(), second.toFen()) << a;
        EXPECT_EQ(first.positionKey(), second.positionKey()) << a;
        EXPECT_EQ(first.positionKey(), boardAt(first.toFen()).positionKey()) << a;
        EXPECT_TRUE(first.isConsistent()) << a;
    }
    // The side to move and every piece count.
    EXPECT_NE(boardAt(START).positionKey(),
        boardAt(START.substr(0, START.find(' ')) + " b").positionKey());
    Board board = boardAt("position startpos moves h2h9");
    const std::uint64_t afterCapture = board.positionKey();
    board.undoMove();
    EXPECT_EQ(board.positionKey(), boardAt(START).positionKey());
    EXPECT_NE(afterCapture, board.positionKey());
}

TEST(MakeAndUndo, CopiesAreIndependent) {
    Board original = boardAt("position startpos moves h2e2");
    Board copy = original;
    copy.makeMoveText("h9g7");
    EXPECT_EQ(original.plyCount(), 1);
    EXPECT_EQ(copy.plyCount(), 2);
    original.undoMove();
    EXPECT_EQ(copy.startFen(), START);
}

TEST(Grid, ReadsAndSetsSquares) {
    Board board = boardAt(START);
    Grid grid {};
    EXPECT_EQ(board.getGrid(&grid), RED);
    EXPECT_EQ(grid[0][0], BLACK + CHARIOT); // a9
    EXPECT_EQ(grid[4][9], RED + KING); // e0
    EXPECT_EQ(grid[7][7], RED + CANNON); // h2
    EXPECT_EQ(board.getGrid(nullptr), RED);

    grid[4][4] = 99; // not a piece code: becomes empty
    grid[0][5] = RED + CHARIOT; // a third red chariot: no caps from a grid
    ASSERT_TRUE(board.setFromGrid(grid, true));
    EXPECT_EQ(
        board.toFen(), "rnbakabnr/9/1c5c1/p1p1p1p1p/9/R8/P1P1P1P1P/1C5C1/9/RNBAKABNR b - - 0 1");
    EXPECT_EQ(board.plyCount(), 0);
}

TEST(Grid, RejectsATooSmallGridAndKeepsThePosition) {
    Board board = boardAt("position startpos moves h2e2");
    std::vector<std::vector<int>> narrow(8, std::vector<int>(10, 0));
    EXPECT_FALSE(board.setFromGrid(narrow, false));
    std::vector<std::vector<int>> shortRows(9, std::vector<int>(9, 0));
    EXPECT_FALSE(board.setFromGrid(shortRows, false));
    EXPECT_EQ(board.plyCount(), 1);
    EXPECT_EQ(board.lastMoveText(), "h2e2");
}

TEST(Grid, KingCacheFollowsExtraAndCapturedKings) {
    // Two red kings from a grid: the first in square order is the one tested.
    std::vector<std::vector<int>> cells(9, std::vector<int>(10, 0));
    cells[3][7] = RED + KING; // d2
    cells[5][9] = RED + KING; // f0
    cells[5][0] = BLACK + KING; // f9
    cells[3][0] = BLACK + CHARIOT; // d9 attacks d2 along the file
    Board board;
    ASSERT_TRUE(board.setFromGrid(cells, false));
    EXPECT_TRUE(board.isInCheck());
    EXPECT_TRUE(board.isConsistent());
    EXPECT_TRUE(
        board.makeMoveText("d2e2")); // out of the chariot's file; e2 is still the first king
    EXPECT_TRUE(board.isConsistent());
    board.undoMove();
    EXPECT_TRUE(board.isConsistent());
}
