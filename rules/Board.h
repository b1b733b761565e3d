#pragma once

#include "Pieces.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qinglan {

// The standard start position.
inline constexpr std::string_view START_FEN
    = "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w - - 0 1";

// 9 x 10 piece codes indexed [file][row], file 0 from "a", row 0 from black's back row.
using Grid = std::array<std::array<int, ROW_COUNT>, FILE_COUNT>;

struct MoveRecordEntry {
    int move = 0;
    int captured = 0; // code that stood on the destination, 0 if none
    int givesCheck = 0; // 1 when the side to move after the move is in check
    std::uint64_t keyBefore = 0; // positionKey() before the move
};

// Result codes of gameStatus.
enum GameStatus : int {
    STATUS_GOES_ON = 0,
    STATUS_NATURAL_DRAW = 1,
    STATUS_NO_CAPTURE_DRAW = 2,
    STATUS_RED_WINS = 8,
    STATUS_BLACK_WINS = 16,
};

// Plies without a capture that are still allowed; one more is a draw.
constexpr int NO_CAPTURE_PLY_LIMIT = 101;

// "a0" style text for moves: four lower-case characters, file letter then row digit
// (row digit 0 is red's back row), source then destination. "" when either square
// is not a board square.
std::string moveToCoord(int move);
// 0 when the first four bytes are not a move text; later bytes are ignored.
int coordToMove(std::string_view text);

// One position with its side to move and the moves played since it was set.
// Texts in and out are UTF-8; malformed input is read as far as it goes.
class Board {
public:
    Board();

    // All squares empty, red to move, record emptied.
    void clear();
    std::string toFen() const;
    // Accepts a FEN, "position fen <FEN>" or "position startpos", each optionally
    // followed by " moves " and coordinate moves; illegal moves are skipped.
    void setPosition(std::string_view text);
    void setStartPosition();
    // Returns the side to move; writes the squares into grid when it is not null.
    int getGrid(Grid* grid) const;
    bool isRedToMove() const { return sideToMove_ == RED; }
    int sideToMove() const { return sideToMove_; }
    // False (and nothing changes) when the grid has fewer than 9 files or 10 rows;
    // values that are no piece code become empty squares. No piece caps apply.
    bool setFromGrid(std::span<const std::vector<int>> grid, bool blackToMove);
    bool setFromGrid(const Grid& grid, bool blackToMove);

    // Where the record starts and the coordinate moves since, as an engine is told them;
    // with restartAtCapture from the position after the last capture.
    struct History {
        std::string fen;
        std::vector<std::string> moves;
    };
    History history(bool restartAtCapture = false) const;
    // The line that tells an engine this position and its moves.
    std::string positionCommand(bool useStartpos = true, bool restartAtCapture = false) const;

    // Pseudo-legal moves of the side to move, written from buffer[0]; never more
    // than buffer.size(). Returns how many were written.
    int generateMoves(std::span<int> buffer) const;
    bool isPseudoLegal(int move) const;
    // Pseudo-legal and does not leave the mover's king attacked (facing kings included).
    bool isLegalMove(int move) const;
    bool isLegalMoveText(std::string_view text) const;
    // True when the side to move is attacked, or has no king.
    bool isInCheck() const;

    // Chinese notation of a move of the side to move, before it is made; "" when the
    // text is not a pseudo-legal move.
    std::string moveToChinese(std::string_view text) const;

    // Plays a legal move and records it; false (nothing changes) otherwise.
    bool makeMoveText(std::string_view text);
    // Takes back the last recorded move; does nothing with an empty record.
    void undoMove();

    int plyCount() const { return static_cast<int>(record_.size()); }
    // The position the record starts from, as toFen writes it.
    const std::string& startFen() const { return startFen_; }
    // A 64-bit key of the squares and the side to move, kept as moves are made: equal
    // positions have equal keys, and different ones almost surely different keys.
    std::uint64_t positionKey() const { return key_; }
    const std::vector<MoveRecordEntry>& record() const { return record_; }
    bool lastMoveCaptured() const { return !record_.empty() && record_.back().captured != 0; }
    bool lastMoveGaveCheck() const { return !record_.empty() && record_.back().givesCheck != 0; }
    std::string lastMoveText() const;

    // See GameStatus.
    int gameStatus() const;
    // 0 without a fourfold repetition; otherwise 1 + the side tag of each side that
    // gave check with every move of the repeated stretch.
    int repetitionVerdict() const;

    int pieceAt(int sq) const { return squares_[sq & 255]; }

    // Unrecorded make and unmake of a pseudo-legal move, for searches such as perft.
    // makeRawMove returns the captured code that unmakeRawMove needs back.
    int makeRawMove(int move);
    void unmakeRawMove(int move, int captured);
    // Legal moves of the side to move, written from buffer[0] (at most buffer.size());
    // returns how many. Makes none of them.
    int generateLegalMoves(std::span<int> buffer) const;
    int countLegalMoves() const;
    bool hasLegalMove() const;

    // Internal invariants (king cache, empty off-board squares); for asserts and tests.
    bool isConsistent() const;

private:
    int kingSquare(int side) const;
    bool kingAttacked(int side, int king) const;
    bool leavesKingAttacked(int move) const;
    void refreshKingCache();
    void onPieceMoved(int piece, int dst, int captured);
    // After the squares or the side were set directly: key and start of the record.
    void startRecordHere();
    void updateKey(int piece, int src, int dst, int captured);
    std::uint64_t keyFromScratch() const;

    // Mutable because the legality test makes a move in place and puts it back.
    mutable std::array<int, 256> squares_ {};
    int sideToMove_ = 0;
    std::vector<MoveRecordEntry> record_;
    std::string startFen_;
    std::uint64_t key_ = 0;
    // Kings by side index (0 red, 1 black): how many, and the first one's square.
    std::array<int, 2> kingCount_ {};
    std::array<int, 2> kingSquare_ {};
};

} // namespace qinglan
