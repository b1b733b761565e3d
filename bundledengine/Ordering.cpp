#include "Ordering.h"

#include "Evaluate.h"
#include "rules/Tables.h"

#include <algorithm>
#include <cstring>

namespace qinglan::bundled {

using namespace qinglan::tables;

namespace {

using Squares = std::int8_t[256];

bool attackerAt(const Squares b, int sq, int code) {
    return b[sq] == code;
}

// The square of the cheapest piece of the side that can move onto target, 0 if none.
int cheapestAttacker(const Squares b, int target, int side) {
    const int forward = forwardStep(side);
    if (attackerAt(b, target - forward, side + PAWN)) return target - forward;
    for (int d : { -1, 1 }) {
        int sq = target + d;
        if (attackerAt(b, sq, side + PAWN) && !onOwnHalf(sq, side)) return sq;
    }
    if (IN_PALACE[target])
        for (int d : ADVISOR_STEPS)
            if (attackerAt(b, target + d, side + ADVISOR)) return target + d;
    if (onOwnHalf(target, side))
        for (int d : ADVISOR_STEPS)
            if (b[target + d] == 0 && IN_BOARD[target + 2 * d]
                && attackerAt(b, target + 2 * d, side + ELEPHANT))
                return target + 2 * d;
    for (int i = 0; i < 4; ++i)
        for (int jump : HORSE_JUMPS[i]) {
            int from = target - jump;
            if (from >= 0 && from < 256 && attackerAt(b, from, side + HORSE)
                && b[from + KING_STEPS[i]] == 0)
                return from;
        }
    int chariot = 0;
    for (int d : KING_STEPS) {
        int sq = target + d;
        while (IN_BOARD[sq] && b[sq] == 0) sq += d;
        if (!IN_BOARD[sq]) continue;
        if (b[sq] == side + CHARIOT) chariot = sq;
        for (sq += d; IN_BOARD[sq] && b[sq] == 0; sq += d) { }
        if (IN_BOARD[sq] && b[sq] == side + CANNON) return sq;
    }
    if (chariot) return chariot;
    if (IN_PALACE[target])
        for (int d : KING_STEPS)
            if (attackerAt(b, target + d, side + KING)) return target + d;
    return 0;
}

constexpr int mvvLva(int victim, int attacker) {
    return TYPE_VALUE[pieceType(victim)] * 8 - TYPE_VALUE[pieceType(attacker)] / 16;
}

} // namespace

int see(const Position& pos, Move move) {
    Squares b;
    for (int sq = 0; sq < 256; ++sq) b[sq] = std::int8_t(pos.pieceAt(sq));
    const int src = moveSrc(move), target = moveDst(move);
    int gain[40];
    int depth = 0;
    gain[0] = b[target] ? TYPE_VALUE[pieceType(b[target])] : 0;
    int onTarget = TYPE_VALUE[pieceType(b[src])];
    b[target] = b[src];
    b[src] = 0;
    int side = opponentOf(pos.sideToMove());
    while (depth < 38) {
        int from = cheapestAttacker(b, target, side);
        if (from == 0) break;
        ++depth;
        gain[depth] = onTarget - gain[depth - 1];
        if (std::max(-gain[depth - 1], gain[depth]) < 0) break;
        onTarget = TYPE_VALUE[pieceType(b[from])];
        b[target] = b[from];
        b[from] = 0;
        side = opponentOf(side);
    }
    while (depth > 0) {
        gain[depth - 1] = -std::max(-gain[depth - 1], gain[depth]);
        --depth;
    }
    return gain[0];
}

void OrderingTables::clear() {
    std::memset(history, 0, sizeof history);
    std::memset(killers, 0, sizeof killers);
}

void OrderingTables::ageHistory() {
    for (auto& row : history)
        for (int& value : row) value /= 4;
    std::memset(killers, 0, sizeof killers);
}

void OrderingTables::rewardQuiet(const Position& pos, Move move, int depth, int ply) {
    int& entry = history[pos.pieceAt(moveSrc(move))][moveDst(move)];
    int bonus = std::min(depth * depth * 8, 4000);
    entry += bonus - entry * bonus / 16384;
    if (killers[ply][0] != move) {
        killers[ply][1] = killers[ply][0];
        killers[ply][0] = move;
    }
}

void OrderingTables::punishQuiet(const Position& pos, Move move, int depth) {
    int& entry = history[pos.pieceAt(moveSrc(move))][moveDst(move)];
    int bonus = std::min(depth * depth * 8, 4000);
    entry -= bonus + entry * bonus / 16384;
}

MovePicker::MovePicker(
    Position& pos, const OrderingTables& tables, Move ttMove, int ply, bool quiescence) {
    pos.generate(list_, quiescence && !pos.inCheck());
    for (int i = 0; i < list_.count; ++i) {
        const Move move = list_.moves[i];
        const int piece = pos.pieceAt(moveSrc(move)), victim = pos.pieceAt(moveDst(move));
        int score;
        if (move == ttMove) {
            score = 1 << 30;
        } else if (victim) {
            bool safe = TYPE_VALUE[pieceType(victim)] >= TYPE_VALUE[pieceType(piece)]
                || see(pos, move) >= 0;
            score = (safe ? 1 << 28 : -(1 << 20)) + mvvLva(victim, piece);
        } else if (move == tables.killers[ply][0]) {
            score = (1 << 27) + 1;
        } else if (move == tables.killers[ply][1]) {
            score = 1 << 27;
        } else {
            score = std::clamp(tables.history[piece][moveDst(move)], -(1 << 19), 1 << 26);
        }
        scores_[i] = score;
    }
}

Move MovePicker::next(bool& isBadCapture) {
    if (index_ >= list_.count) return 0;
    int best = index_;
    for (int i = index_ + 1; i < list_.count; ++i)
        if (scores_[i] > scores_[best]) best = i;
    std::swap(list_.moves[best], list_.moves[index_]);
    std::swap(scores_[best], scores_[index_]);
    isBadCapture = scores_[index_] < -(1 << 19);
    return list_.moves[index_++];
}

} // namespace qinglan::bundled
