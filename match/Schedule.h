#pragma once

#include <string>
#include <vector>

namespace qinglan {

// Who meets whom: a match (two engines), a round robin (every engine against every
// other) or a gauntlet (the first engine against each of the others).
enum class ScheduleKind { Match, RoundRobin, Gauntlet };

// One game of a schedule. Engines are indexes into the tournament's list; the first
// of a pairing is the one whose score a pair counts.
struct ScheduledGame {
    int round = 0; // 1-based, in the order games start
    int red = 0, black = 1;
    int first = 0, second = 1; // the pairing, first < second
    int opening = 0; // index into the openings
    int pair = 0; // 0-based, shared by the two games of one opening and pairing
};

// The games in the order they start. Each pairing plays gamesPerPairing games in pairs:
// one opening twice, the first engine red in the first game of each pair; its pairs
// take the openings in turn (pair k of a pairing plays opening k modulo the count).
// Pairings take turns pair by pair, so every pairing has played about as much at any
// time. An odd count leaves the last pair with its first game only.
std::vector<ScheduledGame> makeSchedule(
    ScheduleKind kind, int engineCount, int gamesPerPairing, int openingCount);

// "match", "round-robin" or "gauntlet"; false for anything else.
bool parseScheduleKind(const std::string& text, ScheduleKind& kind);

} // namespace qinglan
