#pragma once

namespace qinglan {

// Prints the fixed perft suite and the adjudication cost late in a long game.
// Figures only: nothing here judges the times.
int runBench();

} // namespace qinglan
