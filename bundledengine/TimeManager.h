#pragma once

#include <chrono>
#include <cstdint>

namespace qinglan::bundled {

// The limits of one "go" line, times already in milliseconds.
struct GoLimits {
    bool ponder = false;
    bool infinite = false;
    std::int64_t time = -1; // remaining time of the side to move; -1 when not given
    std::int64_t increment = 0;
    int movesToGo = 0;
    bool movesToGoGiven = false;
    bool oppTimeGiven = false;
    std::int64_t moveTime = -1; // "movetime": exactly this long
    int depth = 0;
    std::uint64_t nodes = 0;
};

// Soft limit: do not start another iteration after it. Hard limit: stop the search.
struct TimeBudget {
    std::int64_t soft = -1; // -1: no time limit
    std::int64_t hard = -1;
    bool fixed = false; // a per-move budget to be spent rather than saved
};

// The budget for one move. Countdown modes keep a reserve for the program's pipe and
// heartbeat latency and never plan to spend more than a fraction of what is left; a
// "time T increment T" line without opponent time is the preset per-move time T.
TimeBudget planTime(const GoLimits& limits);

using Clock = std::chrono::steady_clock;

inline std::int64_t millisSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

} // namespace qinglan::bundled
