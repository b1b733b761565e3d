#pragma once

#include <cstdint>

namespace qinglan {

// One side's used time and allowance. Time is passed in explicitly (milliseconds on a
// monotonic 64-bit clock), so the state machine can be driven by any tick source.
class SideClock {
public:
    enum State : int { Reset = 0, Running = 1, Paused = 2 };

    // Starts a fresh running stretch with nothing used.
    void start(std::int64_t now);
    // Folds the running stretch into the used time and stops counting.
    void pause(std::int64_t now);
    // Starts counting again; on a running clock the used time is unchanged.
    void resume(std::int64_t now);
    std::int64_t elapsed(std::int64_t now) const;
    void setLimit(std::int64_t ms) { limitMs_ = ms; }
    void addToLimit(std::int64_t ms) { limitMs_ += ms; }
    // Back to state Reset with nothing used and no allowance.
    void reset();
    // Allowance minus used time; negative once the allowance is spent.
    std::int64_t remaining(std::int64_t now) const { return limitMs_ - elapsed(now); }

    State state() const { return state_; }
    std::int64_t limit() const { return limitMs_; }

private:
    std::int64_t accumulatedMs_ = 0;
    std::int64_t startTick_ = 0;
    std::int64_t limitMs_ = 0;
    State state_ = Reset;
};

} // namespace qinglan
