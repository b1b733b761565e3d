#pragma once

#include <chrono>
#include <cstdint>

namespace qinglan {

// Milliseconds on a monotonic clock; 64 bits, so it never wraps.
inline std::int64_t tickMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace qinglan
