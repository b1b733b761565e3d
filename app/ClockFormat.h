#pragma once

#include <cstdint>
#include <string>

namespace qinglan {

// "mm:ss" with at least two digits of minutes and no hour field (6 000 000 gives
// "100:00"); a negative time is the positive form after a minus sign ("-00:01").
std::string formatClock(std::int64_t ms);

} // namespace qinglan
