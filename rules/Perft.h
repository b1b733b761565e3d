#pragma once

#include "Board.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace qinglan {

// Leaf nodes of the legal move tree of the given depth (1 for depth 0). Made and
// unmade in place; the board is the same afterwards.
std::uint64_t perft(Board& board, int depth);

// The same count split by the first move, sorted by its coordinate text.
std::vector<std::pair<std::string, std::uint64_t>> perftDivide(Board& board, int depth);

} // namespace qinglan
