// Move generation of the search board: the same piece rules as the rules core,
// walked over the piece slots instead of the whole board.
#include "Position.h"
#include "rules/MoveRules.h"
#include "rules/Tables.h"

namespace qinglan::bundled {

using namespace qinglan::tables;

namespace {

struct Generator {
    const std::array<std::int8_t, 256>& squares;
    MoveList& list;
    int side;
    int opp;
    bool capturesOnly;

    // A target the mover may take or (unless only captures are wanted) step onto.
    void target(int src, int dst) {
        int code = squares[dst];
        if (code == 0 ? !capturesOnly : (code & opp) != 0) list.add(src, dst);
    }

    void king(int sq) {
        for (int d : KING_STEPS)
            if (IN_PALACE[sq + d]) target(sq, sq + d);
    }
    void advisor(int sq) {
        for (int d : ADVISOR_STEPS)
            if (IN_PALACE[sq + d]) target(sq, sq + d);
    }
    void elephant(int sq) {
        for (int d : ADVISOR_STEPS) {
            int dst = sq + 2 * d;
            if (squares[sq + d] == 0 && IN_BOARD[dst] && onOwnHalf(dst, side)) target(sq, dst);
        }
    }
    void horse(int sq) {
        for (int i = 0; i < 4; ++i) {
            if (squares[sq + KING_STEPS[i]] != 0) continue;
            for (int jump : HORSE_JUMPS[i])
                if (IN_BOARD[sq + jump]) target(sq, sq + jump);
        }
    }
    void chariot(int sq) {
        for (int d : KING_STEPS) {
            int dst = sq + d;
            for (; IN_BOARD[dst] && squares[dst] == 0; dst += d)
                if (!capturesOnly) list.add(sq, dst);
            if (IN_BOARD[dst] && (squares[dst] & opp)) list.add(sq, dst);
        }
    }
    void cannon(int sq) {
        for (int d : KING_STEPS) {
            int dst = sq + d;
            for (; IN_BOARD[dst] && squares[dst] == 0; dst += d)
                if (!capturesOnly) list.add(sq, dst);
            if (!IN_BOARD[dst]) continue;
            for (dst += d; IN_BOARD[dst] && squares[dst] == 0; dst += d) { }
            if (IN_BOARD[dst] && (squares[dst] & opp)) list.add(sq, dst);
        }
    }
    void pawn(int sq) {
        int forward = forwardStep(side);
        if (IN_BOARD[sq + forward]) target(sq, sq + forward);
        if (!onOwnHalf(sq, side)) {
            if (IN_BOARD[sq - 1]) target(sq, sq - 1);
            if (IN_BOARD[sq + 1]) target(sq, sq + 1);
        }
    }
};

} // namespace

void Position::generate(MoveList& list, bool capturesOnly) const {
    list.count = 0;
    Generator gen { squares_, list, side_, opponentOf(side_), capturesOnly };
    const int first = side_ == RED ? 0 : 16;
    for (int slot = first; slot < first + 16; ++slot) {
        const int sq = slots_[slot];
        if (sq == 0) continue;
        switch (pieceType(squares_[sq])) {
        case KING:
            gen.king(sq);
            break;
        case ADVISOR:
            gen.advisor(sq);
            break;
        case ELEPHANT:
            gen.elephant(sq);
            break;
        case HORSE:
            gen.horse(sq);
            break;
        case CHARIOT:
            gen.chariot(sq);
            break;
        case CANNON:
            gen.cannon(sq);
            break;
        case PAWN:
            gen.pawn(sq);
            break;
        default:
            break;
        }
    }
}

bool Position::isPseudoLegal(Move move) const {
    return isPseudoLegalOn(squares_, side_, move);
}

} // namespace qinglan::bundled
