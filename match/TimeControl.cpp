#include "match/TimeControl.h"

#include <charconv>
#include <cmath>

namespace qinglan {

namespace {

constexpr double MS_PER_MINUTE = 60000;
constexpr double MS_PER_SECOND = 1000;
// A week: beyond it a number is a typing error, and milliseconds still fit an int.
constexpr double LONGEST_MS = 7 * 24 * 3600 * 1000.0;

struct Unit {
    std::string_view suffix;
    double ms;
};
// Longest suffix first: "ms" ends in "s".
constexpr Unit UNITS[] = { { "ms", 1 }, { "s", MS_PER_SECOND }, { "m", MS_PER_MINUTE } };

// A duration with an optional unit; bareUnitMs for a plain number.
std::optional<std::int64_t> parseDuration(std::string_view text, double bareUnitMs) {
    double unitMs = bareUnitMs;
    for (const Unit& unit : UNITS)
        if (text.ends_with(unit.suffix)) {
            text.remove_suffix(unit.suffix.size());
            unitMs = unit.ms;
            break;
        }
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    const double ms = value * unitMs;
    if (!std::isfinite(ms) || ms < 0 || ms > LONGEST_MS) return std::nullopt;
    return std::llround(ms);
}

} // namespace

std::optional<TimeControl> parseTimeControl(std::string_view text, std::string& error) {
    const std::size_t plus = text.find('+');
    if (plus == std::string_view::npos) {
        error = "a time control is GAME+INCREMENT, as 1m+0.5s or 10s+0.1s";
        return std::nullopt;
    }
    const std::optional<std::int64_t> game = parseDuration(text.substr(0, plus), MS_PER_MINUTE);
    const std::optional<std::int64_t> increment
        = parseDuration(text.substr(plus + 1), MS_PER_SECOND);
    if (!game || *game <= 0) {
        error = "the game time is a positive number with an optional unit ms, s or m "
                "(minutes when none)";
        return std::nullopt;
    }
    if (!increment) {
        error = "the increment is a number with an optional unit ms, s or m (seconds when none)";
        return std::nullopt;
    }
    return TimeControl { *game, *increment };
}

} // namespace qinglan
