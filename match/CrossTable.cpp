#include "match/CrossTable.h"

#include <algorithm>
#include <cstdio>
#include <numeric>

namespace qinglan {

CrossTable::CrossTable(int engineCount)
    : count_(engineCount)
    , scores_(static_cast<std::size_t>(engineCount * engineCount)) { }

void CrossTable::add(const ScheduledGame& game, Winner winner) {
    scores_[static_cast<std::size_t>(game.red * count_ + game.black)].add(winner, true);
    scores_[static_cast<std::size_t>(game.black * count_ + game.red)].add(winner, false);
}

const MatchScore& CrossTable::score(int engine, int opponent) const {
    return scores_.at(static_cast<std::size_t>(engine * count_ + opponent));
}

MatchScore CrossTable::total(int engine) const {
    MatchScore sum;
    for (int opponent = 0; opponent < count_; ++opponent) {
        const MatchScore& s = score(engine, opponent);
        sum.wins += s.wins;
        sum.draws += s.draws;
        sum.losses += s.losses;
    }
    return sum;
}

std::string crossTableText(const CrossTable& table, const std::vector<std::string>& names) {
    const int n = table.engineCount();
    std::vector<int> order(static_cast<std::size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    const auto points = [&table](int engine) {
        const MatchScore s = table.total(engine);
        return s.wins + 0.5 * s.draws;
    };
    std::stable_sort(
        order.begin(), order.end(), [&points](int a, int b) { return points(a) > points(b); });
    std::string text = "Rank Engine                   Points Games    Elo";
    for (int column = 1; column <= n; ++column) text += "      " + std::to_string(column);
    text += "\n";
    char cell[96];
    for (int rank = 0; rank < n; ++rank) {
        const int engine = order[static_cast<std::size_t>(rank)];
        const MatchScore s = table.total(engine);
        std::snprintf(cell, sizeof cell, "%4d %-24.24s %6.1f %5d %6s", rank + 1,
            names[static_cast<std::size_t>(engine)].c_str(), points(engine), s.games(),
            formatElo(s.eloDifference()).c_str());
        text += cell;
        for (int column = 0; column < n; ++column) {
            const MatchScore& against
                = table.score(engine, order[static_cast<std::size_t>(column)]);
            if (column == rank)
                std::snprintf(cell, sizeof cell, " %6s", "-");
            else
                std::snprintf(cell, sizeof cell, " %6.1f", against.wins + 0.5 * against.draws);
            text += cell;
        }
        text += "\n";
    }
    return text;
}

} // namespace qinglan
