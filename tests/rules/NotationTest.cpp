// Chinese move notation as (position, move, notation) rows.
#include "rules/Board.h"

#include <gtest/gtest.h>

using namespace qinglan;

namespace {

struct NotationRow {
    const char* position;
    const char* move;
    const char* notation;
};

const NotationRow ROWS[] = {
    // The opening moves, both colours' numerals.
    { "position startpos", "h2e2", "砲二平五" },
    { "position startpos moves h2e2", "h9g7", "马８进７" },
    { "position startpos moves h2e2 h9g7", "e3e4", "兵五进一" },
    { "position startpos", "h2h9", "砲二进七" },
    { "position startpos", "h2h1", "砲二退一" },
    { "position startpos", "c0e2", "相七进五" },
    { "position startpos", "d0e1", "仕六进五" },
    { "position startpos", "i0i2", "车一进二" },
    { "position startpos moves h2e2", "c9e7", "象３进５" },
    { "position startpos moves h2e2", "b7e7", "炮２平５" },
    { "position startpos moves h2e2", "i6i5", "卒９进１" },
    // Kings: sideways with the destination file, forward and back with a step count.
    { "3k5/9/9/9/9/9/9/9/9/4K4 w", "e0f0", "帅五平四" },
    { "3k5/9/9/9/9/9/9/9/9/4K4 w", "e0e1", "帅五进一" },
    { "3k5/9/9/9/9/9/9/9/9/5K3 b", "d9e9", "将４平５" },
    { "3k5/9/9/9/9/9/9/9/9/5K3 b", "d9d8", "将４进１" },
    // Horses, advisors and elephants end with the destination file, never a step count.
    { "3k5/9/9/9/9/4N4/9/9/9/4K4 w", "e4d2", "马五退六" },
    { "3k5/9/9/9/9/4N4/9/9/9/4K4 w", "e4f6", "马五进四" },
    { "3k5/9/9/9/9/9/9/3A5/9/3AK4 w", "d2e1", "仕六退五" },
    { "3k5/9/9/9/9/9/9/9/9/2B1K4 w", "c0a2", "相七进九" },
    // Advisors and elephants sharing a file are told apart by the file alone.
    { "3k5/9/9/9/9/2B6/9/9/9/2B1K4 w", "c4a2", "相七退九" },
    { "3k5/9/9/9/9/2B6/9/9/9/2B1K4 w", "c0a2", "相七进九" },
    { "2bk5/9/9/9/2b6/9/9/9/9/4K4 b", "c5e7", "象３退５" },
    { "3a1k3/9/3a5/9/9/9/9/9/9/4K4 b", "d7e8", "士４退５" },
    // Two chariots on one file: front and rear, no source numeral.
    { "3k5/9/9/9/9/R8/9/9/R8/4K4 w", "a4a5", "前车进一" },
    { "3k5/9/9/9/9/R8/9/9/R8/4K4 w", "a1a2", "后车进一" },
    { "3k5/9/9/9/9/R8/9/9/R8/4K4 w", "a4b4", "前车平八" },
    // Horses on one file too; on different files only the numeral tells them apart.
    { "3k5/9/9/9/9/4N4/9/4N4/9/4K4 w", "e4d6", "前马进六" },
    { "3k5/9/9/9/9/4N4/9/4N4/9/4K4 w", "e2c1", "后马退七" },
    { "3k5/9/9/9/9/9/9/9/9/1N2K1N2 w", "b0c2", "马八进七" },
    // Three, four and five pawns on one file.
    { "3k5/9/4P4/4P4/4P4/9/9/9/9/4K4 w", "e7e8", "前兵进一" },
    { "3k5/9/4P4/4P4/4P4/9/9/9/9/4K4 w", "e6d6", "中兵平六" },
    { "3k5/9/4P4/4P4/4P4/9/9/9/9/4K4 w", "e5f5", "后兵平四" },
    { "3k5/4P4/4P4/4P4/4P4/9/9/9/9/4K4 w", "e8d8", "前兵平六" },
    { "3k5/4P4/4P4/4P4/4P4/9/9/9/9/4K4 w", "e7d7", "二兵平六" },
    { "3k5/4P4/4P4/4P4/4P4/9/9/9/9/4K4 w", "e6f6", "三兵平四" },
    { "3k5/4P4/4P4/4P4/4P4/9/9/9/9/4K4 w", "e5d5", "后兵平六" },
    { "3kP4/4P4/4P4/4P4/4P4/9/9/9/9/5K3 w", "e6d6", "四兵平六" },
    { "3kP4/4P4/4P4/4P4/4P4/9/9/9/9/5K3 w", "e5d5", "后兵平六" },
    { "3kP4/4P4/4P4/4P4/4P4/9/9/9/9/5K3 w", "e9f9", "前兵平四" },
    // Black tandems count forward towards red: the front pawn is the lower one.
    { "3k5/9/9/9/9/2p6/2p6/9/9/4K4 b", "c3c2", "前卒进１" },
    { "3k5/9/9/9/9/2p6/2p6/9/9/4K4 b", "c4b4", "后卒平２" },
    // Not a pseudo-legal move of the side to move: no notation.
    { "position startpos", "h2h8", "" },
    { "position startpos", "h9g7", "" },
    { "position startpos", "e5e6", "" },
    { "position startpos", "H2E2", "" },
    { "position startpos", "h2e", "" },
};

} // namespace

TEST(Notation, WritesEveryRow) {
    for (const NotationRow& row : ROWS) {
        Board board;
        board.setPosition(row.position);
        const std::string before = board.toFen();
        EXPECT_EQ(board.moveToChinese(row.move), row.notation) << row.position << " " << row.move;
        EXPECT_EQ(board.toFen(), before);
    }
}

TEST(Notation, DescribesPseudoLegalMovesThatLeaveTheKingAttacked) {
    // The chariot is pinned, yet the notation of its move is still written.
    Board board;
    board.setPosition("4k4/9/9/9/9/9/9/9/4R4/4K4 w");
    ASSERT_FALSE(board.isLegalMoveText("e1d1"));
    EXPECT_EQ(board.moveToChinese("e1d1"), "车五平六");
}
