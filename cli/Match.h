#pragma once

#include "match/Tournament.h"

#include <optional>
#include <string>
#include <vector>

namespace qinglan {

// What `qinglan-cli match` was asked: the tournament and where its games go.
struct MatchOptions {
    TournamentOptions tournament;
    std::string openingsFile;
    std::string pgnFile;
};

inline constexpr const char* MATCH_USAGE
    = "qinglan-cli match ENGINE_A ENGINE_B [ENGINE_C ...] [--games N] [--concurrency K] "
      "[--movetime MS | --tc GAME+INCREMENT | --depth D] "
      "[--schedule match|round-robin|gauntlet] [--sprt ELO0 ELO1 [--alpha A] [--beta B]] "
      "[--init-a LINE] [--protocol-a ucci|uci|auto] [--option-a NAME=VALUE] (-b, -c ... for "
      "the other engines) [--openings FILE] [--pgn FILE]";

inline constexpr const char* MATCH_HELP
    = "  --games N             games per pairing (default 2; 1000000 with --sprt)\n"
      "  --tc GAME+INCREMENT   game clock: a bare game time is minutes, a bare increment\n"
      "                        seconds (10+0.1 is 10 minutes + 0.1 s); units ms, s, m may be\n"
      "                        given: 10s+0.1s, 1m+0.5s\n"
      "  --schedule KIND       match (two engines, the default), round-robin (the default\n"
      "                        for more), gauntlet (the first engine against each other)\n"
      "  --sprt ELO0 ELO1      sequential test on game pairs (pentanomial), logistic Elo:\n"
      "                        the first engine's expected score 1/(1+10^(-elo/400));\n"
      "                        stops when H0 (elo <= ELO0) or H1 (elo >= ELO1) is accepted;\n"
      "                        --alpha, --beta: error rates (default 0.05)\n";

// The options of argv[2..]; nothing (with error set) when they do not parse.
std::optional<MatchOptions> parseMatchOptions(int argc, char** argv, std::string& error);

// The start positions of an openings file: one FEN or position-file line each
// ("FEN" or "FEN moves ..."); blank lines and lines starting with '#' are skipped.
std::vector<std::string> readOpenings(const std::string& path, std::string& error);

// Plays the match, printing each result and the summary; the exit code.
int runMatch(MatchOptions options);

} // namespace qinglan
