#pragma once

#include "enginelink/EngineReply.h"

#include <optional>

namespace qinglan {

// A mate counts as this much less its distance, so a nearer mate counts more.
inline constexpr int MATE_CENTIPAWNS = 30000;
// Charts show scores up to this many pawns either way, mates included.
inline constexpr double CHART_LIMIT_PAWNS = 20.0;

// The score as centipawns from the same side's view. A mate distance of 0 or below means
// that side is mated (0: now).
int centipawnsOf(const Score& score);

// The score of a position whose side to move is given, in pawns from red's view, capped
// at CHART_LIMIT_PAWNS.
double redPawns(const Score& score, bool redToMove);

} // namespace qinglan
