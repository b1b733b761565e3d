// The side clock, the clock text and the move-list lines: pure logic, tables of cases.
#include "app/ClockFormat.h"
#include "game/MoveListText.h"
#include "game/SideClock.h"

#include <gtest/gtest.h>

namespace qinglan {
namespace {

TEST(FormatClock, WritesMinutesAndSecondsWithNegativesSigned) {
    const struct {
        std::int64_t ms;
        const char* text;
    } cases[] = {
        { 0, "00:00" },
        { 999, "00:00" },
        { 1000, "00:01" },
        { 65999, "01:05" },
        { 599999, "09:59" },
        { 600000, "10:00" },
        { 6000000, "100:00" },
        { -1, "-00:00" },
        { -1500, "-00:01" },
        { -61000, "-01:01" },
        { -600000, "-10:00" },
    };
    for (const auto& c : cases) EXPECT_EQ(formatClock(c.ms), c.text) << c.ms;
}

TEST(SideClock, RunsPausesResumesAndResets) {
    SideClock clock;
    EXPECT_EQ(clock.state(), SideClock::Reset);
    EXPECT_EQ(clock.elapsed(5000), 0) << "a reset clock has used nothing whatever the time";

    clock.setLimit(10000);
    clock.resume(1000);
    EXPECT_EQ(clock.state(), SideClock::Running);
    EXPECT_EQ(clock.elapsed(3500), 2500);
    EXPECT_EQ(clock.remaining(3500), 7500);

    clock.resume(4000); // resuming a running clock keeps the time used
    EXPECT_EQ(clock.elapsed(4000), 3000);
    EXPECT_EQ(clock.elapsed(5000), 4000);

    clock.pause(6000);
    EXPECT_EQ(clock.state(), SideClock::Paused);
    EXPECT_EQ(clock.elapsed(60000), 5000) << "a paused clock stands still";

    clock.addToLimit(2000);
    EXPECT_EQ(clock.remaining(60000), 7000);
    clock.resume(70000);
    EXPECT_EQ(clock.remaining(78000), -1000) << "spent allowance goes negative";

    clock.reset();
    EXPECT_EQ(clock.state(), SideClock::Reset);
    EXPECT_EQ(clock.elapsed(90000), 0);
    EXPECT_EQ(clock.limit(), 0);

    clock.start(100000);
    EXPECT_EQ(clock.elapsed(100250), 250);
}

TEST(SideClock, KeepsLongTimesOnTheSixtyFourBitClock) {
    SideClock clock;
    const std::int64_t fiftyDays = 50LL * 24 * 3600 * 1000; // past where 32 bits wrap
    clock.resume(fiftyDays);
    EXPECT_EQ(clock.elapsed(fiftyDays + 1234), 1234);
}

TEST(MoveListLine, NumbersRedMovesAndIndentsBlackOnes) {
    const struct {
        int plies;
        bool red;
        const char* notation;
        const char* line;
    } cases[] = {
        { 0, true, "砲二平五", "  1.砲二平五" },
        { 1, false, "马８进７", "    马８进７" },
        { 2, true, "兵五进一", "  2.兵五进一" },
        { 18, true, "兵五进一", " 10.兵五进一" },
        { 198, true, "兵五进一", "100.兵五进一" },
        { 1998, true, "兵五进一", "1000.兵五进一" },
        // A game that began with black: red moves come at odd ply counts.
        { 0, false, "马８进７", "    马８进７" },
        { 1, true, "砲二平五", "1.5.砲二平五" },
        { 19, true, "砲二平五", "10.5.砲二平五" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(MoveListText::lineFor(c.plies, c.red, c.notation), c.line) << c.plies;
}

TEST(MoveListText, GrowsAndShrinksOneLinePerPlyAndKeepsItsHeader) {
    MoveListText list;
    EXPECT_EQ(list.text(), "  ==开始==");
    list.append(MoveListText::lineFor(0, true, "砲二平五"));
    list.append(MoveListText::lineFor(1, false, "马８进７"));
    EXPECT_EQ(list.text(), "  ==开始==\r\n  1.砲二平五\r\n    马８进７");
    EXPECT_EQ(list.moveLineCount(), 2);

    // A long line (numbered 10.5) goes as a whole, not by a fixed byte count.
    list.append(MoveListText::lineFor(19, true, "砲二平五"));
    list.removeLast();
    EXPECT_EQ(list.text(), "  ==开始==\r\n  1.砲二平五\r\n    马８进７");

    list.removeLast();
    list.removeLast();
    list.removeLast(); // nothing left to remove: the header stays
    EXPECT_EQ(list.text(), "  ==开始==");
    list.append("x");
    list.clear();
    EXPECT_EQ(list.moveLineCount(), 0);
}

} // namespace
} // namespace qinglan
