#pragma once

#include <string>
#include <string_view>

namespace qinglan {

class Board;

// The text a thinking box starts with when its first "info" line arrives.
std::string thinkingHeader(bool mainEngine, const std::string& engineName);

// The value after the first occurrence of key ("depth ") up to the next blank; "" when
// the key is missing.
std::string infoValue(std::string_view line, std::string_view key);

// The score of an "info" line: UCCI's "score 35", or the UCI forms many engines also
// print there, "score cp 35" (35) and "score mate -3" ("#-3").
std::string infoScore(std::string_view line);

// One row of a thinking box for an "info" line: depth, score and time right-aligned,
// then the pondered guess in parentheses and the variation in Chinese notation, played
// on position as it goes. "" when the line has no score, time or variation (a depth
// alone is progress, not a row). The variation ends before its first move that is not
// legal there, which is given in firstBadMove ("" if none).
std::string thinkingRow(
    Board& position, std::string_view line, const std::string& guess, std::string& firstBadMove);

} // namespace qinglan
