#pragma once

#include "settings/SettingsRecords.h"

#include <string>
#include <string_view>

// Pure conversions between the UCCI lines the rest of the program speaks and the UCI
// lines a UCI engine understands. Moves inside the program always number ranks from 0.

namespace qinglan {

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
// The position of positionLine as a "position fen ..." line without moves.
std::string positionWithoutMoves(std::string_view positionLine);
// Every move of a "bestmove"/"info" line from the engine converted to 0-based;
// "info string" and other lines come back unchanged.
std::string engineLineToZeroBased(std::string_view line);

// The UCI form of a UCCI "go" line; the UCCI times belong to the side to move.
std::string uciGoCommand(std::string_view ucciGo, bool redToMove);
// The legal moves of the position of positionLine except those of a UCCI
// "banmoves ..." line, space-separated, 0-based; "" when none is left.
std::string movesExceptBanned(std::string_view positionLine, std::string_view banLine);

} // namespace qinglan
