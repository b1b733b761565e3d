#pragma once

#include "enginelink/EngineReply.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace qinglan {

class Board;
class GameRecord;
struct PositionVerdict;

// What is known of the positions of a game, for its chart: the evaluation comments of
// its moves (written during play or by a review) and scores learnt since (analysis, a
// review), which count over the comments. Learnt scores are kept by position, so they
// hold whatever record shows the position.
class PositionScores {
public:
    // A score of position from its side to move's view.
    void learn(const Board& position, const Score& score);
    void learn(const GameRecord& record, const std::vector<PositionVerdict>& verdicts);
    void clear() { learnt_.clear(); }

    // One per position of record's main line, the start first: red's view in pawns,
    // capped for charts; nothing where nothing is known.
    std::vector<std::optional<double>> mainLine(const GameRecord& record) const;

private:
    std::map<std::string, double> learnt_; // by position (FEN), red's view in pawns
};

} // namespace qinglan
