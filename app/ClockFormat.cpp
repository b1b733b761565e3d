#include "app/ClockFormat.h"

namespace qinglan {

std::string formatClock(std::int64_t ms) {
    // An overrun is written as a sign in front of the usual form, so "-00:01" reads
    // as one second past the limit instead of a garbled "00:0-1".
    if (ms < 0) {
        std::string text(1, '-');
        text += formatClock(-ms);
        return text;
    }
    const std::int64_t minutes = ms / 60000;
    const std::int64_t seconds = (ms % 60000) / 1000;
    std::string text;
    if (minutes < 10) text += '0';
    text += std::to_string(minutes);
    text += ':';
    if (seconds < 10) text += '0';
    text += std::to_string(seconds);
    return text;
}

} // namespace qinglan
