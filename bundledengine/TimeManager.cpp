#include "TimeManager.h"

#include <algorithm>

namespace qinglan::bundled {

namespace {

// What a move costs beyond the engine's own clock: pipes and the program's 50 ms tick.
constexpr std::int64_t LATENCY_MS = 100;

TimeBudget perMove(std::int64_t total) {
    std::int64_t margin = std::clamp<std::int64_t>(total / 10, 80, 250);
    std::int64_t budget = std::max<std::int64_t>({ total - margin, total / 2, 5 });
    return { budget, budget, true };
}

} // namespace

TimeBudget planTime(const GoLimits& limits) {
    if (limits.infinite) return {};
    if (limits.moveTime >= 0) return perMove(limits.moveTime + 80);
    if (limits.time < 0) return {};
    if (limits.time == limits.increment && !limits.movesToGoGiven && !limits.oppTimeGiven)
        return perMove(limits.time);

    // The clock never refills, whatever movestogo says, so plan for at least twenty
    // more moves: what is left then shrinks geometrically and never reaches zero.
    const std::int64_t time = limits.time;
    const std::int64_t reserve = LATENCY_MS + time / 50;
    const std::int64_t avail = time - reserve;
    if (avail <= 20) return { 1, std::max<std::int64_t>(1, avail / 2), false };
    int movesLeft
        = limits.movesToGoGiven && limits.movesToGo > 0 ? std::clamp(limits.movesToGo, 20, 50) : 30;
    std::int64_t soft = avail / movesLeft + std::max<std::int64_t>(0, limits.increment) * 3 / 4;
    soft = std::min(soft, avail * 2 / 5);
    std::int64_t hard = std::min(soft * 3, avail * 3 / 5);
    return { soft, std::max(hard, soft), false };
}

} // namespace qinglan::bundled
