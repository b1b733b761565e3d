#include "game/EngineThoughts.h"

#include "game/ThinkingInfo.h"
#include "rules/Board.h"

#include <cstdlib>

namespace qinglan {

std::optional<Evaluation> infoEvaluation(std::string_view line) {
    const std::string score = infoScore(line);
    if (score.empty()) return std::nullopt;
    Evaluation evaluation;
    evaluation.depth = std::atoi(infoValue(line, "depth ").c_str());
    evaluation.timeMs = std::atoi(infoValue(line, "time ").c_str());
    // Mates come as "#-3"; plain scores are centipawns.
    if (score[0] == '#')
        evaluation.mateIn = std::atoi(score.c_str() + 1);
    else
        evaluation.centipawns = std::atoi(score.c_str());
    return evaluation;
}

void EngineThoughts::note(bool mainEngine, std::string_view infoLine, const Board& searched) {
    if (std::optional<Evaluation> evaluation = infoEvaluation(infoLine))
        thoughts_[mainEngine] = { evaluation, searched.positionKey() };
}

std::optional<Evaluation> EngineThoughts::take(bool mainEngine, const Board& position) {
    Thought& thought = thoughts_[mainEngine];
    std::optional<Evaluation> taken;
    // A line about another position (an earlier search, a ponder search on a guess that
    // was not played) says nothing about this move.
    if (thought.positionKey == position.positionKey()) taken = thought.evaluation;
    thought = {};
    return taken;
}

} // namespace qinglan
