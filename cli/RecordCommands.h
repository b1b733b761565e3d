#pragma once

namespace qinglan {

inline constexpr const char* REPLAY_USAGE = "qinglan-cli replay FILE";
inline constexpr const char* CONVERT_USAGE
    = "qinglan-cli convert IN OUT [--notation chinese|wxf|iccs] [--encoding utf8|gbk]";

// One line per game of a PGN or XQF file: number, plies of the main line, board and side
// after it, result; a game that could not be read gives its number and "error: ".
// 0, 1 when any game failed, 2 for bad arguments.
int runReplay(int argc, char** argv);

// Every game of IN (PGN or XQF) written to OUT as PGN. 0, 1 when a game or the file
// failed, 2 for bad arguments.
int runConvert(int argc, char** argv);

} // namespace qinglan
