#pragma once

#include "GameRecord.h"
#include "MoveNotation.h"

#include <string>

namespace qinglan {

// One game as PGN text (UTF-8): its tags in order, then "FEN" and "Format" (which the
// writer owns), the moves in notation with their annotations, comments and variations,
// and the result token. Reading the text back gives the same record.
std::string writePgn(const GameRecord& game, Notation notation);

// The value of the "Format" tag for a notation.
std::string_view formatTagOf(Notation notation);

} // namespace qinglan
