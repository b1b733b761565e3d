#pragma once

#include "enginelink/EngineReply.h"

#include <string>
#include <vector>

namespace qinglan {

class Board;

// A score from red's view as the analysis shows it: "+0.35" pawns, or the side that
// mates and in how many moves ("红5步杀", "黑3步杀"). redToMove: whose view score has.
std::string redScoreText(const Score& score, bool redToMove);

// The ranked lines of an analysis, one row each ("1. 深度12 +0.35 炮二平五 马８进７"),
// the variations in Chinese notation played on position; a rank not reported yet is
// left out.
std::string analysisText(const Board& position, const std::vector<ThinkingLine>& lines);

} // namespace qinglan
