#pragma once

#include "enginelink/EngineReply.h"
#include "game/GameResult.h"

#include <optional>
#include <string>
#include <vector>

namespace qinglan {

// Wins, draws and losses of engine A, and what they say about the difference in
// strength.
struct MatchScore {
    int wins = 0;
    int draws = 0;
    int losses = 0;

    int games() const { return wins + draws + losses; }
    // One more game of A, which played red when aIsRed.
    void add(Winner winner, bool aIsRed);
    // Points per game, 0..1.
    double score() const;
    // The Elo difference the score means (A minus B); infinite for 0 or 1.
    double eloDifference() const;
    // Half the 95 % confidence interval of eloDifference, from the per-game variance.
    double eloMargin() const;
};

// "+12.3" style, "inf" when a score of 0 or 1 leaves no finite difference.
std::string formatElo(double elo);

// One finished game for the record file.
struct MatchGame {
    int round = 0;
    std::string red, black;
    std::string result; // "1-0", "0-1", "1/2-1/2"
    std::string reason;
    std::string fen; // the start position
    std::vector<std::string> moves; // coordinate texts
    std::vector<std::string> comments; // by move: the engine's evaluation, or ""
    GameResult outcome; // what result and reason are written from
};

// The evaluation comment ("+0.35/12 1.2s") for the last "info" line an engine printed
// before its move, which took timeMs; "" when the line has no score.
std::string evaluationOfInfo(const std::optional<ThinkingLine>& info, int timeMs);

// The game as PGN in Chinese notation, with its result, the reason of the result and the
// engines' evaluations, as the game-records writer writes every game.
std::string pgnOf(const MatchGame& game);

} // namespace qinglan
