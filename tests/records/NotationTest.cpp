// Move texts in every notation players use, as (position, text, move) rows, and every legal
// move written in each notation reading back as itself.
#include "records/MoveNotation.h"

#include <gtest/gtest.h>
#include <random>

namespace qinglan {
namespace {

struct ReadRow {
    const char* position;
    const char* text;
    const char* move; // "" when the text names no legal move
};

constexpr const char* START = "position startpos";
constexpr const char* AFTER_CANNON = "position startpos moves h2e2";
// Red chariots on one file (b), two red pawns on the e file, three black pawns on file c,
// all pawns across the river.
constexpr const char* TANDEMS = "4k4/9/9/4P4/4P4/2p6/2p6/1Rp6/9/1R2K4 w";
// Red pawns in pairs on two files (c and e): 前兵 alone names two pawns.
constexpr const char* PAIRS = "4k4/9/9/2P1P4/2P1P4/9/9/9/9/4K4 w";
constexpr const char* TANDEMS_BLACK = "4k4/9/9/4P4/4P4/2p6/2p6/1Rp6/9/1R2K4 b";

const ReadRow READ_ROWS[] = {
    // Chinese: simplified and traditional names, each side's numerals, either digit width.
    { START, "炮二平五", "h2e2" },
    { START, "砲二平五", "h2e2" },
    { START, "包二平五", "h2e2" },
    { START, "炮2平5", "h2e2" },
    { START, "馬二進三", "h0g2" },
    { START, "傌八进七", "b0c2" },
    { START, "俥一進一", "i0i1" },
    { START, "相三进五", "g0e2" },
    { START, "仕四進五", "f0e1" },
    { START, "帥五進一", "e0e1" },
    { START, "兵三进一", "g3g4" },
    { AFTER_CANNON, "马８进７", "h9g7" },
    { AFTER_CANNON, "馬8進7", "h9g7" },
    { AFTER_CANNON, "車９進１", "i9i8" },
    { AFTER_CANNON, "象３进５", "c9e7" },
    { AFTER_CANNON, "士４進５", "d9e8" },
    { AFTER_CANNON, "將５平４", "" }, // its own advisor stands there
    { AFTER_CANNON, "卒７进１", "g6g5" },
    // Pieces sharing a file: 前/后 (and 後), 中 and the ordinals.
    { TANDEMS, "前车进一", "b2b3" },
    { TANDEMS, "後車平九", "b0a0" },
    { TANDEMS, "后车平九", "b0a0" },
    { TANDEMS, "前兵进一", "e6e7" },
    { TANDEMS, "后兵平六", "e5d5" },
    { TANDEMS_BLACK, "前卒进１", "c2c1" },
    { TANDEMS_BLACK, "中卒平４", "c3d3" },
    { TANDEMS_BLACK, "二卒平４", "c3d3" },
    { TANDEMS_BLACK, "后卒平２", "c4b4" },
    // WXF: file, tandem and ordinal forms, "." or "=" along the row, lower case for black.
    { START, "C2.5", "h2e2" },
    { START, "C2=5", "h2e2" },
    { START, "H8+7", "b0c2" },
    { START, "R1+1", "i0i1" },
    { START, "E3+5", "g0e2" },
    { START, "B3+5", "g0e2" },
    { START, "N2+3", "h0g2" },
    { AFTER_CANNON, "h8+7", "h9g7" },
    { AFTER_CANNON, "r9+1", "i9i8" },
    { TANDEMS, "R++1", "b2b3" },
    { TANDEMS, "R-=9", "b0a0" },
    { TANDEMS, "+R+1", "b2b3" },
    { TANDEMS, "-P=6", "e5d5" },
    { TANDEMS_BLACK, "p++1", "c2c1" },
    { TANDEMS_BLACK, "2p=4", "c3d3" },
    { PAIRS, "前兵五进一", "e6e7" },
    { PAIRS, "后兵七平八", "c5b5" },
    { PAIRS, "+P5+1", "e6e7" },
    { PAIRS, "-P7=8", "c5b5" },
    // Coordinates, ICCS and plain.
    { START, "H2-E2", "h2e2" },
    { START, "h2-e2", "h2e2" },
    { START, "h2e2", "h2e2" },
    // Not moves, or not legal ones.
    { START, "h2e3", "" },
    { START, "炮二平", "" },
    { START, "炮二走五", "" },
    { START, "炮五平四", "" },
    { START, "Z2+5", "" },
    { START, "C2*5", "" },
    { START, "C2+0", "" },
    { START, "h2e2x", "" },
    { START, "马８进７", "b0c2" }, // numerals count from the mover's right, whatever their width
    { START, "", "" },
};

TEST(MoveNotation, EveryFormNamesItsMove) {
    for (const ReadRow& row : READ_ROWS) {
        SCOPED_TRACE(std::string(row.position) + " / " + row.text);
        Board board;
        board.setPosition(row.position);
        std::string why;
        EXPECT_EQ(readMove(board, row.text, why), row.move);
        EXPECT_EQ(why.empty(), *row.move != '\0') << why;
    }
}

TEST(MoveNotation, EachNotationIsWrittenAsPlayersWriteIt) {
    const struct {
        const char* position;
        const char* move;
        const char* wxf;
        const char* iccs;
        const char* chinese;
    } rows[] = {
        { START, "h2e2", "C2=5", "H2-E2", "砲二平五" },
        { START, "b0c2", "H8+7", "B0-C2", "马八进七" },
        { AFTER_CANNON, "h9g7", "h8+7", "H9-G7", "马８进７" },
        { AFTER_CANNON, "b7e7", "c2=5", "B7-E7", "炮２平５" },
        { AFTER_CANNON, "i9i7", "r9+2", "I9-I7", "车９进２" },
        { TANDEMS, "b2b3", "R++1", "B2-B3", "前车进一" },
        { TANDEMS, "e5d5", "P-=6", "E5-D5", "后兵平六" },
        { TANDEMS_BLACK, "c3d3", "2p=4", "C3-D3", "中卒平４" },
        { PAIRS, "e6e7", "+P5+1", "E6-E7", "前兵五进一" },
        { PAIRS, "c5b5", "P-=8", "C5-B5", "后兵平八" }, // only one of them can
        { START, "h2e3", "", "", "" },
    };
    for (const auto& row : rows) {
        Board board;
        board.setPosition(row.position);
        EXPECT_EQ(writeMove(board, row.move, Notation::Chinese), row.chinese) << row.move;
        EXPECT_EQ(writeMove(board, row.move, Notation::Wxf), row.wxf) << row.move;
        EXPECT_EQ(writeMove(board, row.move, Notation::Iccs), row.iccs) << row.move;
    }
}

// Positions along random games, with pieces bunched on files as games go on.
TEST(MoveNotation, EveryLegalMoveReadsBackInEveryNotation) {
    std::mt19937 random(15);
    int checked = 0;
    for (int game = 0; game < 40; ++game) {
        Board board;
        board.setStartPosition();
        for (int ply = 0; ply < 120; ++ply) {
            int moves[MAX_PSEUDO_MOVES];
            const int count = board.generateLegalMoves(moves);
            if (count == 0) break;
            for (int i = 0; i < count; ++i) {
                const std::string move = moveToCoord(moves[i]);
                for (Notation notation : { Notation::Chinese, Notation::Wxf, Notation::Iccs }) {
                    const std::string text = writeMove(board, move, notation);
                    std::string why;
                    ASSERT_EQ(readMove(board, text, why), move) << board.toFen() << " " << text;
                    ++checked;
                }
            }
            board.makeMoveText(moveToCoord(moves[random() % count]));
        }
    }
    EXPECT_GT(checked, 50000);
}

} // namespace
} // namespace qinglan
