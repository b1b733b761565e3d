#include "Board.h"
#include "MoveRules.h"
#include "Tables.h"

namespace qinglan {

using namespace tables;

namespace {

// Appends moves to a caller's buffer and silently stops when it is full.
struct MoveSink {
    int* moves;
    int capacity;
    int count = 0;
    void add(int src, int dst) {
        if (count < capacity) moves[count++] = moveOf(src, dst);
    }
};

} // namespace

int Board::generateMoves(std::span<int> buffer) const {
    MoveSink sink { buffer.data(), static_cast<int>(buffer.size()) };
    const int side = sideToMove_, opp = opponentOf(side);
    auto notOwn = [&](int sq) { return (squares_[sq] & side) == 0; };

    for (int sq = 0x33; sq <= 0xCB; ++sq) {
        int piece = squares_[sq];
        if ((piece & side) == 0) continue;
        switch (pieceType(piece)) {
        case KING:
            for (int d : KING_STEPS)
                if (IN_PALACE[sq + d] && notOwn(sq + d)) sink.add(sq, sq + d);
            break;
        case ADVISOR:
            for (int d : ADVISOR_STEPS)
                if (IN_PALACE[sq + d] && notOwn(sq + d)) sink.add(sq, sq + d);
            break;
        case ELEPHANT:
            for (int d : ADVISOR_STEPS) {
                int dst = sq + 2 * d;
                if (squares_[sq + d] == 0 && IN_BOARD[dst] && onOwnHalf(dst, side) && notOwn(dst))
                    sink.add(sq, dst);
            }
            break;
        case HORSE:
            for (int i = 0; i < 4; ++i) {
                if (squares_[sq + KING_STEPS[i]] != 0) continue;
                for (int jump : HORSE_JUMPS[i])
                    if (IN_BOARD[sq + jump] && notOwn(sq + jump)) sink.add(sq, sq + jump);
            }
            break;
        case CHARIOT:
            for (int d : KING_STEPS) {
                int dst = sq + d;
                for (; IN_BOARD[dst] && squares_[dst] == 0; dst += d) sink.add(sq, dst);
                if (IN_BOARD[dst] && (squares_[dst] & opp)) sink.add(sq, dst);
            }
            break;
        case CANNON:
            for (int d : KING_STEPS) {
                int dst = sq + d;
                for (; IN_BOARD[dst] && squares_[dst] == 0; dst += d) sink.add(sq, dst);
                if (!IN_BOARD[dst]) continue;
                for (dst += d; IN_BOARD[dst] && squares_[dst] == 0; dst += d) { }
                if (IN_BOARD[dst] && (squares_[dst] & opp)) sink.add(sq, dst);
            }
            break;
        case PAWN: {
            int forward = forwardStep(side);
            if (IN_BOARD[sq + forward] && notOwn(sq + forward)) sink.add(sq, sq + forward);
            if (!onOwnHalf(sq, side)) {
                for (int d : { -1, 1 })
                    if (IN_BOARD[sq + d] && notOwn(sq + d)) sink.add(sq, sq + d);
            }
            break;
        }
        default:
            break;
        }
    }
    return sink.count;
}

bool Board::isPseudoLegal(int move) const {
    return isPseudoLegalOn(squares_, sideToMove_, move);
}

bool Board::kingAttacked(int side, int king) const {
    return isKingAttackedOn(squares_, side, king);
}

bool Board::isInCheck() const {
    return kingAttacked(sideToMove_, kingSquare(sideToMove_));
}

// Makes the move on the squares alone, asks whether the mover's king is attacked, and
// puts both squares back. The squares are mutable for exactly this.
bool Board::leavesKingAttacked(int move) const {
    const int src = moveSrc(move), dst = moveDst(move), side = sideToMove_;
    const int piece = squares_[src], captured = squares_[dst];
    const int kings = kingCount_[side == BLACK ? 1 : 0];
    squares_[dst] = piece;
    squares_[src] = 0;
    int king = kingSquare(side);
    if (kings > 1) {
        king = 0;
        for (int sq = 0x33; sq <= 0xCB && king == 0; ++sq)
            if (squares_[sq] == side + KING) king = sq;
    } else if (piece == side + KING) {
        king = dst;
    }
    bool attacked = kingAttacked(side, king);
    squares_[src] = piece;
    squares_[dst] = captured;
    return attacked;
}

bool Board::isLegalMove(int move) const {
    return isPseudoLegal(move) && !leavesKingAttacked(move);
}

bool Board::isLegalMoveText(std::string_view text) const {
    int move = coordToMove(text);
    return move != 0 && isLegalMove(move);
}

int Board::generateLegalMoves(std::span<int> buffer) const {
    int moves[MAX_PSEUDO_MOVES];
    int count = generateMoves(moves), legal = 0;
    for (int i = 0; i < count && legal < int(buffer.size()); ++i)
        if (!leavesKingAttacked(moves[i])) buffer[legal++] = moves[i];
    return legal;
}

int Board::countLegalMoves() const {
    int moves[MAX_PSEUDO_MOVES];
    int count = generateMoves(moves), legal = 0;
    for (int i = 0; i < count; ++i) legal += leavesKingAttacked(moves[i]) ? 0 : 1;
    return legal;
}

bool Board::hasLegalMove() const {
    int moves[MAX_PSEUDO_MOVES];
    int count = generateMoves(moves);
    for (int i = 0; i < count; ++i)
        if (!leavesKingAttacked(moves[i])) return true;
    return false;
}

} // namespace qinglan
