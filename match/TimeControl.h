#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qinglan {

// A game clock: each side's time for the game and what each move adds.
struct TimeControl {
    std::int64_t gameMs = 0;
    std::int64_t incrementMs = 0;
};

// "GAME+INCREMENT". A bare number keeps the runner's first reading: the game time in
// minutes, the increment in seconds ("10+0.1" is ten minutes plus 0.1 s). Either part
// may name its unit instead: "ms", "s" or "m" ("10s+0.1s", "1m+0.5s", "500ms+10ms").
// The game time must be positive, the increment may be 0. Nothing, with error saying
// what is wrong, for any other text.
std::optional<TimeControl> parseTimeControl(std::string_view text, std::string& error);

} // namespace qinglan
