#pragma once

#include "settings/SettingsRecords.h"

#include <string>
#include <string_view>
#include <vector>

// Conversions for UCI engines, many of which number ranks from 1. Moves inside the
// program always number ranks from 0.

namespace qinglan {

class Board;

// "h2e2" -> "h3e3"; text that is no 0-based move comes back unchanged.
std::string moveToOneBased(std::string_view move);
// "h3e3" -> "h2e2", "a10a9" -> "a9a8"; text that is no 1-based move comes back unchanged.
std::string moveToZeroBased(std::string_view move);

// The convention in which the space-separated moves (played one after the other) are
// legal in the position of positionLine (a UCCI "position ..." line); Unknown when
// they are legal in both or in neither.
RankBase detectRankBase(std::string_view positionLine, std::string_view moves);

// Every move of a space-separated move list converted to 1-based.
std::string movesToOneBased(std::string_view moves);
// Every move token of a "position ... moves ..." line converted to 1-based.
std::string positionToOneBased(std::string_view positionLine);
// The legal moves of board except the banned ones, space-separated, 0-based; "" when
// none is left.
std::string movesExceptBanned(const Board& board, const std::vector<std::string>& banned);

} // namespace qinglan
