#pragma once

#include "enginelink/EngineReply.h"

#include <string>

namespace qinglan {

class Board;

// The text a thinking box starts with when its first "info" line arrives.
std::string thinkingHeader(bool mainEngine, const std::string& engineName);

// One row of a thinking box for an "info" line: depth, score and time right-aligned,
// then the pondered guess in parentheses and the variation in Chinese notation, played
// on position as it goes. "" when the line has no score, time or variation (a depth
// alone is progress, not a row). The variation ends before its first move that is not
// legal there, which is given in firstBadMove ("" if none).
std::string thinkingRow(
    Board& position, const ThinkingLine& line, const std::string& guess, std::string& firstBadMove);

} // namespace qinglan
