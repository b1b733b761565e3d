#include "analysis/AnalysisScore.h"

#include <algorithm>
#include <cstdlib>

namespace qinglan {

int centipawnsOf(const Score& score) {
    if (score.kind == Score::Kind::Centipawns) return score.value;
    const int distanceValue = MATE_CENTIPAWNS - std::abs(score.value);
    return score.value > 0 ? distanceValue : -distanceValue;
}

double redPawns(const Score& score, bool redToMove) {
    const double pawns = centipawnsOf(score) / 100.0 * (redToMove ? 1 : -1);
    return std::clamp(pawns, -CHART_LIMIT_PAWNS, CHART_LIMIT_PAWNS);
}

} // namespace qinglan
