#include "Board.h"

namespace qinglan {

int Board::gameStatus() const {
    // Checkmate and stalemate alike: the side that cannot move loses.
    if (!hasLegalMove()) return 24 ^ sideToMove_;

    bool attackersLeft = false;
    for (int sq = 0x33; sq <= 0xCB && !attackersLeft; ++sq)
        attackersLeft = pieceType(squares_[sq]) > ELEPHANT;
    if (!attackersLeft) return STATUS_NATURAL_DRAW;

    int pliesSinceCapture = plyCount();
    for (int i = plyCount() - 1; i >= 0; --i)
        if (record_[i].captured != 0) {
            pliesSinceCapture = plyCount() - (i + 1);
            break;
        }
    return pliesSinceCapture > NO_CAPTURE_PLY_LIMIT ? STATUS_NO_CAPTURE_DRAW : STATUS_GOES_ON;
}

// Walks back over the record: the latest move is the opponent's (Y), the one before it
// the mover's (X), and so on. The current position must have stood three times before
// with X to move; the check flags cover every move from the earliest of them to now.
int Board::repetitionVerdict() const {
    const std::uint64_t current = key_;
    const int x = sideToMove_, y = opponentOf(x);
    bool xAlwaysChecks = true, yAlwaysChecks = true;
    int matches = 0;
    for (int k = 0;; ++k) {
        if (k >= plyCount()) return 0;
        const MoveRecordEntry& entry = record_[plyCount() - 1 - k];
        if (entry.captured != 0) return 0;
        if (k % 2 == 0) {
            yAlwaysChecks = yAlwaysChecks && entry.givesCheck != 0;
            continue;
        }
        xAlwaysChecks = xAlwaysChecks && entry.givesCheck != 0;
        if (entry.keyBefore == current && ++matches == 3)
            return 1 + (xAlwaysChecks ? x : 0) + (yAlwaysChecks ? y : 0);
    }
}

} // namespace qinglan
