#include "analysis/PositionScores.h"

#include "analysis/AnalysisScore.h"
#include "analysis/GameReview.h"
#include "records/Evaluation.h"
#include "records/GameRecord.h"
#include "rules/Board.h"

namespace qinglan {

namespace {

// A move's comment scores the position the move left, from its mover's view.
std::optional<Score> commentScore(const GameRecord& record, int moveNode) {
    const std::optional<Evaluation> evaluation = parseEvaluation(record.comment(moveNode));
    if (!evaluation) return std::nullopt;
    if (evaluation->mateIn != 0) return Score { Score::Kind::Mate, evaluation->mateIn };
    return Score { Score::Kind::Centipawns, evaluation->centipawns };
}

} // namespace

void PositionScores::learn(const Board& position, const Score& score) {
    learnt_[position.toFen()] = redPawns(score, position.isRedToMove());
}

void PositionScores::learn(const GameRecord& record, const std::vector<PositionVerdict>& verdicts) {
    std::vector<int> nodes { GameRecord::ROOT };
    for (int node : record.mainLine()) nodes.push_back(node);
    for (std::size_t i = 0; i < verdicts.size() && i < nodes.size(); ++i)
        if (verdicts[i].score) learn(record.positionAfter(nodes[i]), *verdicts[i].score);
}

std::vector<std::optional<double>> PositionScores::mainLine(const GameRecord& record) const {
    const std::vector<int> moves = record.mainLine();
    std::vector<std::optional<double>> scores;
    int node = GameRecord::ROOT;
    for (std::size_t k = 0; k <= moves.size(); ++k) {
        const Board& position = record.positionAfter(node);
        std::optional<double> score;
        if (const auto learnt = learnt_.find(position.toFen()); learnt != learnt_.end())
            score = learnt->second;
        else if (k < moves.size())
            if (const std::optional<Score> noted = commentScore(record, moves[k]))
                score = redPawns(*noted, position.isRedToMove());
        scores.push_back(score);
        if (k < moves.size()) node = moves[k];
    }
    return scores;
}

} // namespace qinglan
