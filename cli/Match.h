#pragma once

#include "settings/SettingsRecords.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace qinglan {

// A match between two engine programs with no window, through the same game and
// engine code the window uses.
struct MatchOptions {
    std::string engineA, engineB;
    int games = 2;
    int concurrency = 1;
    int moveTimeMs = 1000; // the preset time per move, sent as "go time T increment T"
    double tcMinutes = 0; // with tcIncrementSeconds: game time plus increment
    double tcIncrementSeconds = 0;
    int depth = 0; // a depth limit instead of time
    std::vector<std::string> initA, initB; // lines sent after the handshake
    EngineProtocol protocolA = EngineProtocol::Auto, protocolB = EngineProtocol::Auto;
    // Own options by name, sent after the handshake when the engine announces them.
    std::map<std::string, std::string> optionsA, optionsB;
    std::string openingsFile;
    std::string pgnFile;
};

inline constexpr const char* MATCH_USAGE
    = "qinglan-cli match ENGINE_A ENGINE_B [--games N] [--concurrency K] "
      "[--movetime MS | --tc MINUTES+INCREMENT_SECONDS | --depth D] [--init-a LINE] "
      "[--init-b LINE] [--protocol-a|--protocol-b ucci|uci|auto] [--option-a|--option-b "
      "NAME=VALUE] "
      "[--openings FILE] [--pgn FILE]";

// The options of argv[2..]; nothing (with error set) when they do not parse.
std::optional<MatchOptions> parseMatchOptions(int argc, char** argv, std::string& error);

// The start positions of an openings file: one FEN or position-file line each
// ("FEN" or "FEN moves ..."); blank lines and lines starting with '#' are skipped.
std::vector<std::string> readOpenings(const std::string& path, std::string& error);

// Plays the match, printing each result and the summary; the exit code.
int runMatch(const MatchOptions& options);

} // namespace qinglan
