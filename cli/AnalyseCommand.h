#pragma once

namespace qinglan {

inline constexpr const char* ANALYSE_USAGE
    = "qinglan-cli analyse FILE --engine PROGRAM [--movetime MS | --depth D] [--multipv N] "
      "[--protocol ucci|uci|auto] [--option NAME=VALUE]... --out OUT.pgn";

// Every game of FILE (PGN or XQF) reviewed by the engine, position by position along the
// main line, and written to OUT as PGN with the evaluations as comments, mistakes marked
// and the engine's better moves as variations. Progress on standard error. 0, 1 when the
// file, a game or the engine failed, 2 for bad arguments.
int runAnalyse(int argc, char** argv);

} // namespace qinglan
