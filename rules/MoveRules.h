#pragma once

#include "Pieces.h"
#include "Tables.h"

// The two questions every xiangqi board asks, written once over any 256-square
// mailbox of piece codes: the rules core's Board and the bundled engine's search
// board both answer them here, so they cannot drift apart.

namespace qinglan {

// True when move is a pseudo-legal move of side on squares (its own king may be left
// attacked). A move that starts or ends off the board is never pseudo-legal.
template<class Squares> bool isPseudoLegalOn(const Squares& squares, int side, int move) {
    using namespace tables;
    const int src = moveSrc(move), dst = moveDst(move);
    if (src == 0 || dst == 0 || !IN_BOARD[src] || !IN_BOARD[dst]) return false;
    const int piece = squares[src];
    if ((piece & side) == 0 || (squares[dst] & side) != 0) return false;

    const int span = dst - src + 256;
    switch (pieceType(piece)) {
    case KING:
        return IN_PALACE[dst] && LEGAL_SPAN[span] == 1;
    case ADVISOR:
        return IN_PALACE[dst] && LEGAL_SPAN[span] == 2;
    case ELEPHANT:
        // The destination decides, as in generation: an elephant set across the river
        // in an edited position may only step back onto its own half.
        return onOwnHalf(dst, side) && LEGAL_SPAN[span] == 3 && squares[(src + dst) / 2] == 0;
    case HORSE: {
        const int leg = src + HORSE_LEG[span];
        return leg != src && squares[leg] == 0;
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
        while (sq != dst && squares[sq] == 0) sq += step;
        if (sq == dst) return pieceType(piece) == CHARIOT || squares[dst] == 0;
        if (pieceType(piece) == CHARIOT || squares[dst] == 0) return false;
        for (sq += step; sq != dst && squares[sq] == 0; sq += step) { }
        return sq == dst;
    }
    case PAWN:
        if (!onOwnHalf(src, side) && (dst == src - 1 || dst == src + 1)) return true;
        return dst == src + forwardStep(side);
    default:
        return false;
    }
}

// True when the king of side on square king is attacked (facing kings included);
// king 0 (no king) counts as attacked.
template<class Squares> bool isKingAttackedOn(const Squares& squares, int side, int king) {
    using namespace tables;
    if (king == 0) return true;
    const int opp = opponentOf(side);
    const int forward = forwardStep(side);
    if (squares[king + forward] == opp + PAWN || squares[king - 1] == opp + PAWN
        || squares[king + 1] == opp + PAWN)
        return true;
    for (int i = 0; i < 4; ++i) {
        if (squares[king + ADVISOR_STEPS[i]] != 0) continue;
        if (squares[king + HORSE_CHECK_JUMPS[i][0]] == opp + HORSE
            || squares[king + HORSE_CHECK_JUMPS[i][1]] == opp + HORSE)
            return true;
    }
    for (int d : KING_STEPS) {
        int sq = king + d;
        while (IN_BOARD[sq] && squares[sq] == 0) sq += d;
        if (!IN_BOARD[sq]) continue;
        if (squares[sq] == opp + CHARIOT || squares[sq] == opp + KING) return true;
        for (sq += d; IN_BOARD[sq] && squares[sq] == 0; sq += d) { }
        if (IN_BOARD[sq] && squares[sq] == opp + CANNON) return true;
    }
    return false;
}

} // namespace qinglan
