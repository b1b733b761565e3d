#pragma once

#include "match/MatchStats.h"
#include "match/Schedule.h"

#include <string>
#include <vector>

namespace qinglan {

// Each engine's wins, draws and losses against each other engine.
class CrossTable {
public:
    explicit CrossTable(int engineCount);

    int engineCount() const { return count_; }
    void add(const ScheduledGame& game, Winner winner);
    // engine's games against opponent, from engine's side.
    const MatchScore& score(int engine, int opponent) const;
    MatchScore total(int engine) const;

private:
    int count_;
    std::vector<MatchScore> scores_; // count_ x count_, row = engine
};

// The table as text: one row per engine, best total first, with its points and games,
// its Elo against the field, and its points against each engine by column.
std::string crossTableText(const CrossTable& table, const std::vector<std::string>& names);

} // namespace qinglan
