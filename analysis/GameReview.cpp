#include "analysis/GameReview.h"

#include "analysis/AnalysisScore.h"
#include "enginelink/EngineProcess.h"
#include "platform/Ticks.h"
#include "records/Evaluation.h"
#include "records/GameRecord.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace qinglan {

namespace {

constexpr int NAG_MISTAKE = 2, NAG_BLUNDER = 4;

// The evaluation of a move: the verdict on the position it leads to, turned to the view
// of the side that played it.
std::optional<Evaluation> evaluationOfMove(const PositionVerdict& after) {
    if (!after.score) return std::nullopt;
    Evaluation evaluation;
    evaluation.depth = after.depth;
    evaluation.timeMs = static_cast<int>(after.timeMs);
    if (after.score->kind == Score::Kind::Mate) {
        // Mated now needs no comment; the move says it.
        if (after.score->value == 0) return std::nullopt;
        evaluation.mateIn = -after.score->value;
    } else {
        evaluation.centipawns = -after.score->value;
    }
    return evaluation;
}

std::string_view firstWord(std::string_view text) {
    return text.substr(0, text.find(' '));
}

std::string_view afterFirstWord(std::string_view text) {
    const std::size_t blank = text.find(' ');
    return blank == std::string_view::npos ? std::string_view() : text.substr(blank + 1);
}

// The comment with its leading evaluation ("+0.35/12 1.2s", ours from an earlier review
// or another program's) replaced.
std::string withEvaluation(const Evaluation& evaluation, std::string_view comment) {
    if (parseEvaluation(comment)) {
        comment = afterFirstWord(comment);
        const std::string_view time = firstWord(comment);
        if (time.size() > 1 && time.ends_with('s')
            && std::isdigit(static_cast<unsigned char>(time[0])) != 0)
            comment = afterFirstWord(comment);
    }
    const std::string text = evaluationComment(evaluation);
    return comment.empty() ? text : text + " " + std::string(comment);
}

bool hasNag(const GameRecord& record, int node, int nag) {
    return std::ranges::count(record.nags(node), nag) > 0;
}

// The child of node playing move, or NONE.
int childPlaying(const GameRecord& record, int node, const std::string& move) {
    for (int child = record.firstChild(node); child != GameRecord::NONE;
         child = record.nextSibling(child))
        if (record.moveText(child) == move) return child;
    return GameRecord::NONE;
}

} // namespace

GameReview::GameReview(const GameRecord& record, SearchLimits limits, int lines)
    : limits_(limits)
    , lines_(std::max(1, lines)) {
    nodes_.push_back(GameRecord::ROOT);
    for (int node : record.mainLine()) nodes_.push_back(node);
    for (int node : nodes_) {
        const Board& board = record.positionAfter(node);
        Board::History history = board.history();
        int moves[MAX_PSEUDO_MOVES];
        terminal_.push_back(board.generateLegalMoves(moves) == 0);
        requests_.push_back({ std::move(history.fen), std::move(history.moves), {},
            SearchMode::Analyse, limits_, lines_ });
    }
}

bool GameReview::step(EngineProcess& engine) {
    if (ended_) return false;
    if (!engine.isRunning()) {
        ended_ = failed_ = true;
        return false;
    }
    if (!searching_) startSearch(engine);
    while (searching_) {
        std::optional<ReceivedLine> received = engine.receive();
        if (!received) break;
        if (!received->reply) continue;
        if (const auto* line = std::get_if<ThinkingLine>(&*received->reply)) {
            if (line->rank == 1 && line->score) best_ = *line;
        } else if (const auto* best = std::get_if<BestMove>(&*received->reply)) {
            finishPosition(best->move);
        } else {
            finishPosition("");
        }
    }
    if (searching_) checkDeadline(engine);
    if (done() == total()) ended_ = true;
    return !ended_;
}

void GameReview::startSearch(EngineProcess& engine) {
    // Positions without a move are judged here: the side to move is mated or stalemated.
    while (done() < total() && terminal_[done()]) {
        const SearchRequest& request = requests_[done()];
        PositionVerdict verdict;
        verdict.redToMove = searchedBoard(request).isRedToMove();
        verdict.score = Score { Score::Kind::Mate, 0 };
        verdicts_.push_back(verdict);
    }
    if (done() == total()) return;
    if (engine.isBusy()) engine.stopSearch(STOP_GRACE_MS);
    best_.reset();
    searching_ = engine.startSearch(requests_[done()]);
    if (!searching_) {
        ended_ = failed_ = true;
        return;
    }
    stopSent_ = false;
    startedAt_ = tickMs();
    deadline_ = tickMs() + (limits_.moveTimeMs ? *limits_.moveTimeMs + OVERRUN_MS : DEPTH_LIMIT_MS);
}

void GameReview::finishPosition(std::string bestMove) {
    PositionVerdict verdict;
    verdict.redToMove = searchedBoard(requests_[done()]).isRedToMove();
    // The time the search took as we saw it: engines count time in different units.
    verdict.timeMs = tickMs() - startedAt_;
    if (best_) {
        verdict.score = best_->score;
        verdict.depth = best_->depth.value_or(0);
    }
    verdict.bestMove = std::move(bestMove);
    verdicts_.push_back(std::move(verdict));
    searching_ = false;
}

void GameReview::checkDeadline(EngineProcess& engine) {
    if (tickMs() < deadline_) return;
    if (!stopSent_) {
        engine.requestStop();
        stopSent_ = true;
        deadline_ = tickMs() + STOP_GRACE_MS;
        return;
    }
    ended_ = failed_ = true;
}

void GameReview::cancel(EngineProcess& engine) {
    if (searching_ && engine.isBusy()) engine.stopSearch(STOP_GRACE_MS);
    searching_ = false;
    ended_ = true;
}

void GameReview::annotate(GameRecord& record) const {
    for (int k = 1; k < done(); ++k) {
        const int node = nodes_[k];
        const PositionVerdict& before = verdicts_[k - 1];
        const PositionVerdict& after = verdicts_[k];
        if (const std::optional<Evaluation> evaluation = evaluationOfMove(after))
            record.setComment(node, withEvaluation(*evaluation, record.comment(node)));
        const std::string played = record.moveText(node);
        if (!before.score || !after.score || before.bestMove.empty() || before.bestMove == played)
            continue;
        // Both from the player's view: what the best move kept, what the move played left.
        const int loss = centipawnsOf(*before.score) + centipawnsOf(*after.score);
        if (loss < MISTAKE_CENTIPAWNS) continue;
        const int nag = loss >= BLUNDER_CENTIPAWNS ? NAG_BLUNDER : NAG_MISTAKE;
        if (!hasNag(record, node, NAG_MISTAKE) && !hasNag(record, node, NAG_BLUNDER))
            record.addNag(node, nag);
        const int parent = record.parentOf(node);
        if (childPlaying(record, parent, before.bestMove) == GameRecord::NONE)
            record.addMove(parent, before.bestMove);
    }
}

} // namespace qinglan
