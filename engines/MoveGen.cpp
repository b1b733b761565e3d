// Move generation of the search board: the same piece rules as the rules core,
// walked over the piece slots instead of the whole board.
#include "Position.h"
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
    const int src = moveSrc(move), dst = moveDst(move), side = side_;
    if (!IN_BOARD[src] || !IN_BOARD[dst]) return false;
    const int piece = squares_[src];
    if ((piece & side) == 0 || (squares_[dst] & side) != 0) return false;

    const int span = dst - src + 256;
    switch (pieceType(piece)) {
    case KING:
        return IN_PALACE[dst] && LEGAL_SPAN[span] == 1;
    case ADVISOR:
        return IN_PALACE[dst] && LEGAL_SPAN[span] == 2;
    case ELEPHANT:
        return onOwnHalf(dst, side) && LEGAL_SPAN[span] == 3 && squares_[(src + dst) / 2] == 0;
    case HORSE: {
        int leg = src + HORSE_LEG[span];
        return leg != src && squares_[leg] == 0;
    }
    case CHARIOT:
    case CANNON: {
        int step;
        if ((src ^ dst) & 0xF0) {
            if ((src & 0x0F) != (dst & 0x0F)) return false;
            step = dst < src ? -16 : 16;
        } else {
            step = dst < src ? -1 : 1;
        }
        int sq = src + step;
        while (sq != dst && squares_[sq] == 0) sq += step;
        if (sq == dst) return pieceType(piece) == CHARIOT || squares_[dst] == 0;
        if (pieceType(piece) == CHARIOT || squares_[dst] == 0) return false;
        for (sq += step; sq != dst && squares_[sq] == 0; sq += step) { }
        return sq == dst;
    }
    case PAWN:
        if (!onOwnHalf(src, side) && (dst == src - 1 || dst == src + 1)) return true;
        return dst == src + forwardStep(side);
    default:
        return false;
    }
}

} // namespace qinglan::bundled
