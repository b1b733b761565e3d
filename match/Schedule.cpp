#include "match/Schedule.h"

#include "match/NamedValues.h"

#include <utility>

namespace qinglan {

namespace {

std::vector<std::pair<int, int>> pairingsOf(ScheduleKind kind, int engineCount) {
    std::vector<std::pair<int, int>> pairings;
    const int firsts = kind == ScheduleKind::RoundRobin ? engineCount : 1;
    for (int first = 0; first < firsts; ++first)
        for (int second = first + 1; second < engineCount; ++second)
            pairings.emplace_back(first, second);
    if (kind == ScheduleKind::Match) pairings.resize(std::min<std::size_t>(pairings.size(), 1));
    return pairings;
}

} // namespace

std::vector<ScheduledGame> makeSchedule(
    ScheduleKind kind, int engineCount, int gamesPerPairing, int openingCount) {
    const std::vector<std::pair<int, int>> pairings = pairingsOf(kind, engineCount);
    std::vector<ScheduledGame> games;
    const int pairsPerPairing = (gamesPerPairing + 1) / 2;
    for (int k = 0; k < pairsPerPairing; ++k)
        for (std::size_t p = 0; p < pairings.size(); ++p)
            for (int inPair = 0; inPair < 2 && 2 * k + inPair < gamesPerPairing; ++inPair) {
                ScheduledGame game;
                game.round = static_cast<int>(games.size()) + 1;
                game.first = pairings[p].first;
                game.second = pairings[p].second;
                game.red = inPair == 0 ? game.first : game.second;
                game.black = inPair == 0 ? game.second : game.first;
                game.opening = openingCount > 0 ? k % openingCount : 0;
                game.pair = k * static_cast<int>(pairings.size()) + static_cast<int>(p);
                games.push_back(game);
            }
    return games;
}

bool parseScheduleKind(const std::string& text, ScheduleKind& kind) {
    constexpr std::pair<const char*, ScheduleKind> NAMES[] = {
        { "match", ScheduleKind::Match },
        { "round-robin", ScheduleKind::RoundRobin },
        { "gauntlet", ScheduleKind::Gauntlet },
    };
    return valueOfName(text, NAMES, kind);
}

} // namespace qinglan
