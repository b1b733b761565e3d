#pragma once

#include "Position.h"

namespace qinglan::bundled {

// Static exchange evaluation: what the side to move wins (negative: loses) by
// starting the exchange on the move's destination with this move. Cannon screens
// are worked out on a scratch copy of the board, so every recapture sees the real lines.
int see(const Position& pos, Move move);

// History of quiet moves, killers per ply.
struct OrderingTables {
    int history[24][256] {};
    Move killers[MAX_PLY][2] {};

    void clear();
    void ageHistory();
    void rewardQuiet(const Position& pos, Move move, int depth, int ply);
    void punishQuiet(const Position& pos, Move move, int depth);
};

// Moves of one node with their ordering scores, handed out best first.
class MovePicker {
public:
    // In the quiescence search only captures are generated (all moves when in check).
    MovePicker(Position& pos, const OrderingTables& tables, Move ttMove, int ply, bool quiescence);
    // 0 when exhausted. `isBadCapture` tells the caller the move lost material by SEE.
    Move next(bool& isBadCapture);

private:
    MoveList list_;
    int scores_[MAX_MOVES];
    int index_ = 0;
};

} // namespace qinglan::bundled
