// Who plays whom with which opening and colour, and the cross table of the results.
#include "match/Schedule.h"

#include "match/CrossTable.h"

#include <gtest/gtest.h>
#include <map>
#include <set>

namespace qinglan {
namespace {

TEST(Schedule, EachOpeningOnceWithEachColourByPairs) {
    // 10 games, 3 openings: pairs take openings 0 1 2 0 1.
    const std::vector<ScheduledGame> games = makeSchedule(ScheduleKind::Match, 2, 10, 3);
    ASSERT_EQ(games.size(), 10u);
    for (std::size_t i = 0; i < games.size(); ++i) {
        const ScheduledGame& g = games[i];
        EXPECT_EQ(g.round, static_cast<int>(i) + 1);
        EXPECT_EQ(g.pair, static_cast<int>(i / 2));
        EXPECT_EQ(g.opening, static_cast<int>(i / 2) % 3) << "by pairs, not by games";
        EXPECT_EQ(g.red, i % 2 == 0 ? 0 : 1) << "the first engine red first in each pair";
        EXPECT_EQ(g.red + g.black, 1);
        EXPECT_EQ(g.first, 0);
    }
    // An odd count: the last pair has its first game only.
    const std::vector<ScheduledGame> odd = makeSchedule(ScheduleKind::Match, 2, 3, 1);
    ASSERT_EQ(odd.size(), 3u);
    EXPECT_EQ(odd[2].pair, 1);
    EXPECT_EQ(odd[2].red, 0);
}

TEST(Schedule, RoundRobinAndGauntletMeetTheRightEnginesWithBothColours) {
    const struct {
        ScheduleKind kind;
        std::set<std::pair<int, int>> pairings;
    } rows[] = {
        { ScheduleKind::RoundRobin,
            { { 0, 1 }, { 0, 2 }, { 0, 3 }, { 1, 2 }, { 1, 3 }, { 2, 3 } } },
        { ScheduleKind::Gauntlet, { { 0, 1 }, { 0, 2 }, { 0, 3 } } },
    };
    for (const auto& row : rows) {
        const std::vector<ScheduledGame> games = makeSchedule(row.kind, 4, 4, 2);
        EXPECT_EQ(games.size(), row.pairings.size() * 4);
        std::map<std::pair<int, int>, std::multiset<std::pair<int, int>>> byPairing;
        std::set<int> pairIds;
        for (const ScheduledGame& g : games) {
            byPairing[{ g.first, g.second }].insert({ g.opening, g.red });
            pairIds.insert(g.pair);
        }
        EXPECT_EQ(pairIds.size(), games.size() / 2) << "a pair id per opening and pairing";
        ASSERT_EQ(byPairing.size(), row.pairings.size());
        for (const auto& [pairing, played] : byPairing) {
            EXPECT_TRUE(row.pairings.contains(pairing));
            const auto [first, second] = pairing;
            // Both openings, each with each engine red once.
            EXPECT_EQ(played,
                (std::multiset<std::pair<int, int>> {
                    { 0, first }, { 0, second }, { 1, first }, { 1, second } }));
        }
        // Pairings take turns: the first pairs of every pairing come before any second.
        EXPECT_EQ(games[2 * row.pairings.size()].opening, 1);
    }
}

TEST(CrossTable, ScoresFromEachSideAndRankedText) {
    CrossTable table(3);
    const auto game = [](int red, int black) {
        ScheduledGame g;
        g.red = red;
        g.black = black;
        return g;
    };
    table.add(game(0, 1), Winner::Red); // 0 beats 1
    table.add(game(1, 0), Winner::Draw);
    table.add(game(2, 0), Winner::Red); // 2 beats 0
    table.add(game(1, 2), Winner::Black); // 2 beats 1
    EXPECT_EQ(table.score(0, 1).wins, 1);
    EXPECT_EQ(table.score(0, 1).draws, 1);
    EXPECT_EQ(table.score(1, 0).losses, 1);
    EXPECT_EQ(table.score(0, 2).losses, 1);
    EXPECT_EQ(table.total(2).wins, 2);
    EXPECT_EQ(table.total(1).games(), 3);
    const std::string text = crossTableText(table, { "Zero", "One", "Two" });
    // Two (2 points) first, then Zero (1.5), then One (0.5).
    const std::size_t two = text.find("Two"), zero = text.find("Zero"), one = text.find("One");
    ASSERT_NE(one, std::string::npos) << text;
    EXPECT_LT(two, zero) << text;
    EXPECT_LT(zero, one) << text;
    EXPECT_NE(text.find("   1 Two                         2.0     2"), std::string::npos) << text;
}

} // namespace
} // namespace qinglan
