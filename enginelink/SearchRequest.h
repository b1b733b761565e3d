#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qinglan {

// Why an engine searches: to play, to ponder on its guess of the opponent's move
// (until "ponderhit" or "stop"), or to study a position without ever playing.
enum class SearchMode { Play, Ponder, Analyse };

// A side's clock as the searching side sees it: its own time and increment first.
struct SearchClock {
    std::int64_t myTimeMs = 0;
    std::int64_t oppTimeMs = 0;
    std::int64_t myIncrementMs = 0;
    std::int64_t oppIncrementMs = 0;
    // Moves left in the period; none with an increment. May reach 0 or below once the
    // period's moves are spent.
    std::optional<int> movesToGo;
    bool operator==(const SearchClock&) const = default;
};

// At most one kind of limit is set; none means "search until told" (infinite).
struct SearchLimits {
    std::optional<std::int64_t> moveTimeMs; // a fixed time for this move
    std::optional<SearchClock> clock;
    std::optional<int> depth;
    std::optional<std::int64_t> nodes;
    bool operator==(const SearchLimits&) const = default;
};

// Everything an engine needs to search one position.
struct SearchRequest {
    std::string fen; // where the moves start
    std::vector<std::string> moves; // 0-based coordinate moves played since
    std::vector<std::string> banned; // moves the engine may not choose
    SearchMode mode = SearchMode::Play;
    SearchLimits limits;
    int lines = 1; // how many best lines to report (MultiPV)
    bool operator==(const SearchRequest&) const = default;
};

} // namespace qinglan
