#pragma once

// Square numbering, piece codes and move integers of the rules core.
//
// Squares: a 16x16 mailbox, square = 16 * (row + 3) + (file + 3), with row 0
// at black's back row and file 0 at red's left. Pieces: side tag + type.
// Moves: src | (dst << 8); 0 means "no move".

namespace qinglan {

constexpr int RED = 8;
constexpr int BLACK = 16;

enum PieceType : int { KING = 0, ADVISOR, ELEPHANT, HORSE, CHARIOT, CANNON, PAWN };

constexpr int FILE_COUNT = 9;
constexpr int ROW_COUNT = 10;

// Enough for every position that obeys the FEN piece caps.
constexpr int MOVE_BUFFER_SIZE = 128;
// Enough for any position at all, including boards set from a grid without caps:
// no piece has more than 17 destinations.
constexpr int MAX_PSEUDO_MOVES = 90 * 17;

constexpr int opponentOf(int side) {
    return 24 ^ side;
}
constexpr int pieceType(int code) {
    return code & 7;
}
constexpr int pieceSide(int code) {
    return code & 24;
}
constexpr bool isPieceCode(int code) {
    return (code >= 8 && code <= 14) || (code >= 16 && code <= 22);
}

constexpr int squareRow(int sq) {
    return (sq >> 4) - 3;
}
constexpr int squareFile(int sq) {
    return (sq & 15) - 3;
}

// 0 when file is outside 0-8 or row outside 0-9.
constexpr int squareOf(int file, int row) {
    if (file < 0 || file >= FILE_COUNT || row < 0 || row >= ROW_COUNT) return 0;
    return 16 * (row + 3) + (file + 3);
}

constexpr int moveOf(int src, int dst) {
    return src | (dst << 8);
}
constexpr int moveSrc(int move) {
    return move & 255;
}
constexpr int moveDst(int move) {
    return (move >> 8) & 255;
}

} // namespace qinglan
