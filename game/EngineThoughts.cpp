#include "game/EngineThoughts.h"

#include "rules/Board.h"

#include <cstdlib>

namespace qinglan {

std::optional<Evaluation> infoEvaluation(const ThinkingLine& line) {
    if (!line.score) return std::nullopt;
    Evaluation evaluation;
    evaluation.depth = line.depth.value_or(0);
    evaluation.timeMs = static_cast<int>(line.timeMs.value_or(0));
    if (line.score->kind == Score::Kind::Mate)
        evaluation.mateIn = line.score->value;
    else
        evaluation.centipawns = line.score->value;
    return evaluation;
}

void EngineThoughts::note(bool mainEngine, const ThinkingLine& line, const Board& searched) {
    if (std::optional<Evaluation> evaluation = infoEvaluation(line))
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
