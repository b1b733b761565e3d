#include "match/MatchStats.h"

#include "records/Evaluation.h"
#include "records/PgnWriter.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace qinglan {

namespace {

double eloOf(double score) {
    if (score <= 0) return -std::numeric_limits<double>::infinity();
    if (score >= 1) return std::numeric_limits<double>::infinity();
    return -400.0 * std::log10(1.0 / score - 1.0);
}

} // namespace

void MatchScore::add(Winner winner, bool aIsRed) {
    if (winner == Winner::Draw)
        ++draws;
    else if ((winner == Winner::Red) == aIsRed)
        ++wins;
    else
        ++losses;
}

double MatchScore::score() const {
    return games() ? (wins + 0.5 * draws) / games() : 0.5;
}

double MatchScore::eloDifference() const {
    return eloOf(score());
}

double MatchScore::eloMargin() const {
    const int n = games();
    if (n == 0) return 0;
    const double s = score();
    if (s <= 0 || s >= 1) return std::numeric_limits<double>::infinity();
    const double variance
        = (wins * (1 - s) * (1 - s) + draws * (0.5 - s) * (0.5 - s) + losses * s * s) / n;
    const double deviation = std::sqrt(variance / n);
    const double high = eloOf(s + 1.96 * deviation);
    const double low = eloOf(s - 1.96 * deviation);
    return (high - low) / 2;
}

std::string formatElo(double elo) {
    if (std::isinf(elo)) return elo > 0 ? "+inf" : "-inf";
    if (std::isnan(elo)) return "nan";
    char text[32];
    std::snprintf(text, sizeof text, "%+.1f", elo);
    return text;
}

std::string evaluationOfInfo(const std::optional<ThinkingLine>& info, int timeMs) {
    if (!info || !info->score) return {};
    Evaluation evaluation;
    evaluation.depth = info->depth.value_or(0);
    evaluation.timeMs = timeMs;
    if (info->score->kind == Score::Kind::Mate)
        evaluation.mateIn = info->score->value;
    else
        evaluation.centipawns = info->score->value;
    return evaluationComment(evaluation);
}

std::string pgnOf(const MatchGame& game) {
    GameRecord record;
    record.setTag("Game", "Chinese Chess");
    record.setTag(tags::EVENT, "qinglan-cli match");
    record.setTag(tags::ROUND, std::to_string(game.round));
    record.setTag(tags::RED, game.red);
    record.setTag(tags::BLACK, game.black);
    record.setTag(tags::RESULT, game.result);
    record.setTag(tags::TERMINATION, game.reason);
    record.setStartFen(game.fen);
    int node = GameRecord::ROOT;
    for (std::size_t i = 0; i < game.moves.size(); ++i) {
        const int next = record.addMove(node, game.moves[i]);
        if (next == GameRecord::NONE) break;
        node = next;
        if (i < game.comments.size()) record.setComment(node, game.comments[i]);
    }
    return writePgn(record, Notation::Chinese);
}

} // namespace qinglan
