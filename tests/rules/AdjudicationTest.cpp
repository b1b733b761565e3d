// Game ends as (position with moves, status, verdict) rows.
#include "rules/Board.h"

#include <gtest/gtest.h>

using namespace qinglan;

namespace {

// A move list: the prefix moves, then the cycle repeated, then the suffix moves.
std::string line(const std::string& position, const std::string& prefix, const std::string& cycle,
    int times, const std::string& suffix = "") {
    std::string text = position + " moves";
    if (!prefix.empty()) text += " " + prefix;
    for (int i = 0; i < times; ++i) text += " " + cycle;
    if (!suffix.empty()) text += " " + suffix;
    return text;
}

// Red chariot h0 and black chariot i9 shuffle without ever checking; black's chariot
// can take the red pawn on i3.
const std::string QUIET = "3k4r/9/9/9/9/9/8P/9/9/4K2R1 w - - 0 1";
const std::string QUIET_CYCLE = "h0h1 i9i8 h1h0 i8i9";
// Red checks from a9 and a8 in turn, the black king steps between e9 and e8.
const std::string RED_CHECKS = "4k4/R8/9/9/9/9/9/9/9/3K5 w - - 0 1";
const std::string RED_CHECKS_CYCLE = "a8a9 e9e8 a9a8 e8e9";
// Black checks from a0 and a1 in turn, the red king steps between e0 and e1.
const std::string BLACK_CHECKS = "3k5/9/9/9/9/9/9/9/r8/4K4 b - - 0 1";
const std::string BLACK_CHECKS_CYCLE = "a1a0 e0e1 a0a1 e1e0";
// Red checks with c0d0 but not with d0c0; black never checks.
const std::string RED_CHECKS_SOMETIMES = "3k5/9/9/9/9/9/9/9/9/2R2K3 w - - 0 1";
const std::string RED_CHECKS_SOMETIMES_CYCLE = "c0d0 d9e9 d0c0 e9d9";
// The red horse checks with every move; the black king's e8d8 uncovers the black
// cannon on e9 against the red king, its way back d8e8 checks nothing.
const std::string CROSS_CHECKS = "4c4/4k4/9/4N4/9/9/4P4/9/9/4K4 w - - 0 1";
const std::string CROSS_CHECKS_CYCLE = "e6g7 e8d8 g7e6 d8e8";

struct Row {
    std::string position;
    int status;
    int verdict;
    const char* why;
};

std::vector<Row> rows() {
    // Ply 10 is black's capture i9i3; then a four-ply cycle 25 times makes 110 plies.
    const std::string toCapture = "h0h1 i9i8 h1h0 i8i9 h0h1 i9i8 h1h0 i8i9 h0h1 i9i3";
    const std::string afterCapture = "h1h0 i3i4 h0h1 i4i3";
    return {
        { "position startpos", STATUS_GOES_ON, 0, "a fresh game goes on" },
        { "R3k4/1R7/9/9/9/9/9/9/9/3K5 b", STATUS_RED_WINS, 0, "black is mated" },
        { "5k3/9/9/9/4r4/9/9/9/r8/3K5 w", STATUS_BLACK_WINS, 0, "red is stalemated and loses" },
        { "3ak4/4a4/4b4/9/9/9/9/4B4/4A4/3AK4 w", STATUS_NATURAL_DRAW, 0,
            "only kings, advisors, elephants" },
        { "4k4/9/9/9/9/9/9/9/4B4/3AKA3 w", STATUS_BLACK_WINS, 0,
            "no attackers, but red cannot move" },
        { "3k5/9/9/9/9/9/9/9/9/4K3P w", STATUS_GOES_ON, 0, "one pawn is enough to play on" },
        { "3k5/9/5r3/1p1p5/2B6/9/9/2n6/9/4K4 w", STATUS_GOES_ON, 0,
            "an elephant set across the river can still move" },
        { "3k5/9/5r3/1p1p5/2B6/9/9/2n6/9/4K4 w moves c5e3", STATUS_GOES_ON, 0,
            "and its move home is played" },
        { line(QUIET, toCapture, afterCapture, 25, "h1h0"), STATUS_GOES_ON, 1,
            "101 plies since the capture" },
        { line(QUIET, toCapture, afterCapture, 25, "h1h0 i3i4"), STATUS_NO_CAPTURE_DRAW, 1,
            "102 plies since the capture" },
        { line(QUIET, "", QUIET_CYCLE, 2), STATUS_GOES_ON, 0, "third appearance: not yet" },
        { line(QUIET, "", QUIET_CYCLE, 3), STATUS_GOES_ON, 1,
            "fourth appearance without checks: draw" },
        { line(RED_CHECKS, "", RED_CHECKS_CYCLE, 2), STATUS_GOES_ON, 0,
            "checks, third appearance" },
        { line(RED_CHECKS, "", RED_CHECKS_CYCLE, 3), STATUS_GOES_ON, 1 + RED,
            "red checked every move: red fouls" },
        { line(BLACK_CHECKS, "", BLACK_CHECKS_CYCLE, 3), STATUS_GOES_ON, 1 + BLACK,
            "black checked every move: black fouls" },
        { line(RED_CHECKS_SOMETIMES, "", RED_CHECKS_SOMETIMES_CYCLE, 3), STATUS_GOES_ON, 1,
            "red checked on only some moves: a draw" },
        { line(CROSS_CHECKS, "", CROSS_CHECKS_CYCLE, 3), STATUS_GOES_ON, 1 + RED,
            "only red checked every move; black's one check does not make it foul" },
        // The cycle only starts to repeat after the capture at ply 4.
        { line(QUIET, "h0h1 i9i8 h1h0 i8i3", "h0h1 i3i4 h1h0 i4i3", 2), STATUS_GOES_ON, 0,
            "positions before a capture do not count" },
        { line(QUIET, "h0h1 i9i8 h1h0 i8i3", "h0h1 i3i4 h1h0 i4i3", 3), STATUS_GOES_ON, 1,
            "after the capture the count starts again" },
    };
}

} // namespace

// Moves listed after " moves "; every one of them must be legal for the row to mean anything.
int listedMoves(const std::string& position) {
    size_t at = position.find(" moves ");
    if (at == std::string::npos) return 0;
    int count = 0;
    for (char c : position.substr(at + 6)) count += c == ' ' ? 1 : 0;
    return count;
}

TEST(Adjudication, JudgesEveryRow) {
    for (const Row& row : rows()) {
        Board board;
        board.setPosition(row.position);
        ASSERT_EQ(board.plyCount(), listedMoves(row.position))
            << "an illegal move in: " << row.position;
        const std::string before = board.toFen();
        const int plies = board.plyCount();
        EXPECT_EQ(board.gameStatus(), row.status) << row.why << "\n" << row.position;
        EXPECT_EQ(board.repetitionVerdict(), row.verdict) << row.why << "\n" << row.position;
        EXPECT_EQ(board.toFen(), before);
        EXPECT_EQ(board.plyCount(), plies);
    }
}

TEST(Adjudication, SettingAPositionForgetsTheEarlierGame) {
    Board board;
    board.setPosition(line(QUIET, "", QUIET_CYCLE, 3));
    ASSERT_EQ(board.repetitionVerdict(), 1);
    // The same position set afresh: neither the repetition nor the plies carry over.
    board.setPosition(board.toFen());
    EXPECT_EQ(board.plyCount(), 0);
    EXPECT_EQ(board.repetitionVerdict(), 0);
    board.setPosition(line(QUIET, "", QUIET_CYCLE, 1));
    EXPECT_EQ(board.repetitionVerdict(), 0);
}
