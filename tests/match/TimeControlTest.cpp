// Game clocks as the command line gives them: the bare reading, explicit units, and a
// reason for every form that is refused.
#include "match/TimeControl.h"

#include <gtest/gtest.h>

namespace qinglan {
namespace {

TEST(TimeControl, BareNumbersAreMinutesPlusSecondsAndUnitsSayOtherwise) {
    const struct {
        const char* text;
        std::int64_t gameMs, incrementMs;
    } rows[] = {
        { "10+0.1", 600000, 100 }, // the ambiguous form: minutes + seconds
        { "0.1+0.01", 6000, 10 },
        { "1+0", 60000, 0 },
        { "10s+0.1s", 10000, 100 },
        { "1m+0.5s", 60000, 500 },
        { "1.5m+1", 90000, 1000 },
        { "500ms+10ms", 500, 10 },
        { "90s+0", 90000, 0 },
        { "2+1m", 120000, 60000 },
    };
    for (const auto& r : rows) {
        std::string error;
        const std::optional<TimeControl> tc = parseTimeControl(r.text, error);
        ASSERT_TRUE(tc) << r.text << ": " << error;
        EXPECT_EQ(tc->gameMs, r.gameMs) << r.text;
        EXPECT_EQ(tc->incrementMs, r.incrementMs) << r.text;
    }
}

TEST(TimeControl, BadFormsSayWhatIsWrong) {
    const struct {
        const char* text;
        const char* says;
    } rows[] = {
        { "5", "GAME+INCREMENT" }, { "10s", "GAME+INCREMENT" }, { "+1", "game time" },
        { "0+1", "game time" }, { "-1+1", "game time" }, { "10x+1", "game time" },
        { "s+1", "game time" }, { "1h+1", "game time" }, { "10+", "increment" },
        { "10+-1", "increment" }, { "10+1ss", "increment" }, { "10+1+2", "increment" },
        { "inf+1", "game time" }, { "100000m+0", "game time" }, // beyond a week
    };
    for (const auto& r : rows) {
        std::string error;
        EXPECT_FALSE(parseTimeControl(r.text, error)) << r.text;
        EXPECT_NE(error.find(r.says), std::string::npos) << r.text << ": " << error;
    }
}

} // namespace
} // namespace qinglan
