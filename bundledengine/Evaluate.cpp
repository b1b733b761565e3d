// Evaluation: material and square tables (kept incrementally by the board), piece
// mobility, the guard round each king against the other side's attackers, open
// cannon lines at the king, and a scale-down when the side ahead cannot win.
#include "Evaluate.h"

#include "rules/Tables.h"

#include <cstdlib>

namespace qinglan::bundled {

using namespace qinglan::tables;

namespace {

// Rows counted from the owner's back row, files 0-8; the tables are left-right symmetric.
int kingSquareValue(int row, int file) {
    return (row == 0 ? 10 : row == 1 ? -10 : -25) - (file != 4 ? 5 : 0);
}

int advisorSquareValue(int row, int file) {
    return ADVISOR_VALUE + (row == 1 && file == 4 ? 10 : 0);
}

int elephantSquareValue(int row, int file) {
    int value = ELEPHANT_VALUE;
    if (row == 2 && file == 4) value += 10;
    if (row == 2 && (file == 0 || file == 8)) value -= 10;
    if (row == 4) value -= 5;
    return value;
}

int horseSquareValue(int row, int file) {
    static constexpr int ROW_BONUS[10] = { -20, -5, 0, 5, 10, 15, 25, 30, 25, 5 };
    int value = HORSE_VALUE + ROW_BONUS[row] + 6 * (4 - std::abs(file - 4));
    if (file == 0 || file == 8) value -= 15;
    if (row == 7 && (file == 2 || file == 6)) value += 15;
    return value;
}

int chariotSquareValue(int row, int file) {
    static constexpr int ROW_BONUS[10] = { -10, 0, 0, 0, 5, 10, 10, 15, 20, 10 };
    static constexpr int FILE_BONUS[9] = { -5, 0, 0, 10, 5, 10, 0, 0, -5 };
    return CHARIOT_VALUE + ROW_BONUS[row] + FILE_BONUS[file];
}

int cannonSquareValue(int row, int file) {
    int value = CANNON_VALUE;
    if (file == 4 && row <= 4) value += 20;
    if (file == 4 && row == 7) value += 10;
    if (row == 9) value += 10;
    if (row <= 2) value += 5;
    return value;
}

int pawnSquareValue(int row, int file) {
    static constexpr int CROSSED_ROW[5] = { 0, 20, 40, 40, -30 };
    static constexpr int CROSSED_FILE[9] = { -10, 0, 10, 20, 25, 20, 10, 0, -10 };
    if (row <= 2) return 20;
    if (row <= 4) return (file == 4 ? 50 : file == 0 || file == 8 ? 35 : 40) + (row == 4 ? 5 : 0);
    return PAWN_VALUE + CROSSED_ROW[row - 5] + CROSSED_FILE[file];
}

int squareValue(int type, int row, int file) {
    switch (type) {
    case KING:
        return kingSquareValue(row, file);
    case ADVISOR:
        return advisorSquareValue(row, file);
    case ELEPHANT:
        return elephantSquareValue(row, file);
    case HORSE:
        return horseSquareValue(row, file);
    case CHARIOT:
        return chariotSquareValue(row, file);
    case CANNON:
        return cannonSquareValue(row, file);
    default:
        return pawnSquareValue(row, file);
    }
}

struct SideTerms {
    int mobility = 0;
    int openCannon = 0;
};

int rayMobility(const Position& pos, int sq, int d, bool cannon) {
    int count = 0, at = sq + d;
    for (; IN_BOARD[at] && pos.pieceAt(at) == 0; at += d) ++count;
    if (!IN_BOARD[at]) return count;
    if (!cannon) return count + 1;
    for (at += d; IN_BOARD[at] && pos.pieceAt(at) == 0; at += d) { }
    return count + (IN_BOARD[at] ? 1 : 0);
}

int horseMobility(const Position& pos, int sq, int side) {
    int count = 0;
    for (int i = 0; i < 4; ++i) {
        if (pos.pieceAt(sq + KING_STEPS[i]) != 0) continue;
        for (int jump : HORSE_JUMPS[i])
            if (IN_BOARD[sq + jump] && (pos.pieceAt(sq + jump) & side) == 0) ++count;
    }
    return count;
}

// A cannon on the other king's file with nothing between: a standing threat.
bool cannonFacesKing(const Position& pos, int sq, int king) {
    if (king == 0 || (sq & 15) != (king & 15)) return false;
    int d = king > sq ? 16 : -16;
    for (int at = sq + d; at != king; at += d)
        if (pos.pieceAt(at) != 0) return false;
    return true;
}

SideTerms sideTerms(const Position& pos, int side) {
    SideTerms terms;
    const int first = side == RED ? 0 : 16;
    const int enemyKing = pos.kingSquare(opponentOf(side));
    for (int slot = first; slot < first + 16; ++slot) {
        const int sq = pos.slotSquare(slot);
        if (sq == 0) continue;
        switch (pieceType(pos.pieceAt(sq))) {
        case CHARIOT:
            for (int d : KING_STEPS) terms.mobility += 3 * rayMobility(pos, sq, d, false);
            break;
        case CANNON:
            for (int d : KING_STEPS) terms.mobility += 2 * rayMobility(pos, sq, d, true);
            if (cannonFacesKing(pos, sq, enemyKing)) terms.openCannon += 50;
            break;
        case HORSE:
            terms.mobility += 6 * horseMobility(pos, sq, side) - 10;
            break;
        default:
            break;
        }
    }
    return terms;
}

// How exposed the side's king is: missing guards, weighed by the other side's attackers.
int guardPenalty(const Position& pos, int side) {
    const int opp = opponentOf(side);
    int guards = pos.count(side + ADVISOR) + pos.count(side + ELEPHANT);
    int pressure = 3 * pos.count(opp + CHARIOT) + 2 * pos.count(opp + HORSE)
        + 2 * pos.count(opp + CANNON) + pos.count(opp + PAWN) / 2;
    return (4 - guards) * pressure * 3;
}

std::uint64_t mix(std::uint64_t x) {
    x ^= x >> 33;
    x *= 0xFF51AFD7ED558CCDULL;
    x ^= x >> 33;
    return x;
}

} // namespace

void initEvaluation() {
    for (int side : { RED, BLACK })
        for (int type = KING; type <= PAWN; ++type)
            for (int row = 0; row < ROW_COUNT; ++row)
                for (int file = 0; file < FILE_COUNT; ++file) {
                    int ownRow = side == RED ? 9 - row : row;
                    PIECE_SQUARE[side + type][squareOf(file, row)]
                        = std::int16_t(squareValue(type, ownRow, file));
                }
}

int evaluate(const Position& pos, const EvalParams& params) {
    const int us = pos.sideToMove();
    const int engine = params.engineSide, other = opponentOf(engine);
    const SideTerms mine = sideTerms(pos, engine), theirs = sideTerms(pos, other);

    // From the engine's side first, where the style weights apply.
    int score = engine == RED ? pos.materialScore() : -pos.materialScore();
    score += (mine.mobility - theirs.mobility) * params.mobility / 100;
    score += (mine.openCannon + guardPenalty(pos, other)) * params.ownAttack / 100;
    score -= (theirs.openCannon + guardPenalty(pos, engine)) * params.ownDefence / 100;

    // A side without chariot, horse, cannon or pawn cannot mate.
    if (score > 0 && pos.attackers(engine) == 0) score /= 8;
    if (score < 0 && pos.attackers(other) == 0) score /= 8;

    if (params.noise > 0) {
        std::uint64_t r = mix(pos.key() ^ params.seed);
        score += int(r % std::uint64_t(2 * params.noise + 1)) - params.noise;
    }
    return (us == engine ? score : -score) + 10;
}

} // namespace qinglan::bundled
