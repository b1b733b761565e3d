#include "game/SideClock.h"

namespace qinglan {

void SideClock::start(std::int64_t now) {
    accumulatedMs_ = 0;
    startTick_ = now;
    state_ = Running;
}

void SideClock::pause(std::int64_t now) {
    accumulatedMs_ = elapsed(now);
    state_ = Paused;
}

void SideClock::resume(std::int64_t now) {
    accumulatedMs_ = elapsed(now);
    startTick_ = now;
    state_ = Running;
}

std::int64_t SideClock::elapsed(std::int64_t now) const {
    switch (state_) {
    case Reset:
        return 0;
    case Paused:
        return accumulatedMs_;
    case Running:
        return now - startTick_ + accumulatedMs_;
    }
    return 0;
}

void SideClock::reset() {
    accumulatedMs_ = 0;
    limitMs_ = 0;
    state_ = Reset;
}

} // namespace qinglan
