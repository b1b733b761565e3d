// Iterative deepening with aspiration windows over a principal variation search:
// transposition table, null move, reverse futility, late move reductions and
// pruning, check extensions, and a quiescence search over captures with SEE.
// Repetitions and the no-capture limit are scored as the program adjudicates them.
#include "Search.h"

#include <algorithm>
#include <cmath>
#include <thread>

namespace qinglan::bundled {

namespace {

constexpr int NO_CAPTURE_LIMIT = 101;

int scoreToTt(int score, int ply) {
    if (score >= MATE_BOUND) return score + ply;
    if (score <= -MATE_BOUND) return score - ply;
    return score;
}

int scoreFromTt(int score, int ply) {
    if (score >= MATE_BOUND) return score - ply;
    if (score <= -MATE_BOUND) return score + ply;
    return score;
}

bool isCapture(const Position& pos, Move move) {
    return pos.pieceAt(moveDst(move)) != 0;
}

struct RootLine {
    int score = 0;
    std::vector<Move> pv;
};

// One thread's search. The main worker reports and decides; helpers search the same
// root into the shared table until told to stop (lazy SMP).
struct SearchWorker {
    explicit SearchWorker(TranspositionTable& table, int index)
        : tt(table)
        , helperIndex(index) { }

    TranspositionTable& tt;
    const int helperIndex; // 0: the main worker
    const std::atomic<bool>* helpersStop = nullptr;
    std::atomic<std::uint64_t> publishedNodes { 0 }; // a helper's count, for the reports
    Position ownPosition; // a helper's copy of the root
    OrderingTables tables;
    int lmr[64][64] {};
    Move pv[MAX_PLY + 1][MAX_PLY + 1] {};
    int pvLength[MAX_PLY + 1] {};
    int staticEval[MAX_PLY + 1] {};

    Position* pos = nullptr;
    SearchSettings settings;
    GoLimits limits;
    TimeBudget budget;
    SearchSignals* signals = nullptr;
    std::uint64_t nodes = 0;
    bool aborted = false;
    bool mayAbort = false;
    int rootDepth = 0;
    std::vector<Move> rootMoves;
    size_t pvIndex = 0; // the line being searched: the moves before it are taken
    Move rootBest = 0;

    void initReductions() {
        double scale = settings.pruning == 1 ? 0.5 : settings.pruning == 3 ? 1.3 : 1.0;
        for (int d = 1; d < 64; ++d)
            for (int m = 1; m < 64; ++m)
                lmr[d][m] = settings.pruning == 0
                    ? 0
                    : int(scale * (0.5 + std::log(double(d)) * std::log(double(m)) / 2.25));
    }

    void checkLimits() {
        if (helperIndex) {
            publishedNodes.store(nodes, std::memory_order_relaxed);
            if (helpersStop->load(std::memory_order_relaxed)) aborted = true;
            return;
        }
        if (!mayAbort) return;
        if (signals->stop.load(std::memory_order_relaxed)) aborted = true;
        if (limits.nodes && nodes >= limits.nodes) aborted = true;
        if (budget.hard >= 0 && !signals->pondering.load() && signals->elapsedMs() >= budget.hard)
            aborted = true;
    }

    int drawScore() const {
        return pos->sideToMove() == settings.eval.engineSide ? -settings.contempt
                                                             : settings.contempt;
    }

    // The program's verdicts other than checkmate: too many plies without a capture,
    // nothing left to mate with, and repetition (seen once here, as it will recur),
    // lost by a side that checked with every move of it. True when the node is decided.
    bool ruleVerdict(int ply, int& score) {
        const int top = pos->gamePly();
        const StateInfo& now = pos->stateAt(top);
        if (now.pliesSinceCapture > NO_CAPTURE_LIMIT
            || (pos->attackers(RED) == 0 && pos->attackers(BLACK) == 0)) {
            score = pos->hasLegalMove() ? drawScore() : -MATE + ply;
            return true;
        }
        const int limit = std::min(now.pliesSinceCapture, top);
        bool moverChecks = true, otherChecks = true; // mover: the side that made the last move
        for (int k = 1; k <= limit; ++k) {
            const StateInfo& after = pos->stateAt(top - k + 1);
            if (after.move == 0) return false; // a null move: no real repetition
            ((k % 2) ? moverChecks : otherChecks) &= after.inCheck;
            if (k < 4 || (k % 2) || pos->stateAt(top - k).key != now.key) continue;
            if (moverChecks && !otherChecks)
                score = RULE_WIN - ply;
            else if (otherChecks && !moverChecks)
                score = -RULE_WIN + ply;
            else
                score = drawScore();
            return true;
        }
        return false;
    }

    void updatePv(int ply, Move move) {
        pv[ply][0] = move;
        for (int i = 0; i < pvLength[ply + 1]; ++i) pv[ply][i + 1] = pv[ply + 1][i];
        pvLength[ply] = pvLength[ply + 1] + 1;
    }

    int quiescence(int alpha, int beta, int ply) {
        pvLength[ply] = 0;
        if ((++nodes & 1023) == 0) checkLimits();
        if (aborted) return 0;
        const bool inCheck = pos->inCheck();
        if (ply >= MAX_PLY) return inCheck ? 0 : evaluate(*pos, settings.eval);

        int best = -INF, standPat = -INF;
        if (!inCheck) {
            standPat = best = evaluate(*pos, settings.eval);
            if (best >= beta) return best;
            alpha = std::max(alpha, best);
        }
        const TtEntry* entry = tt.probe(pos->key());
        Move ttMove = entry ? entry->move : 0;
        if (ttMove && !inCheck && !isCapture(*pos, ttMove)) ttMove = 0;
        MovePicker picker(
            *pos, tables, ttMove && pos->isPseudoLegal(ttMove) ? ttMove : 0, ply, true);
        int legal = 0;
        bool bad;
        for (Move move = picker.next(bad); move; move = picker.next(bad)) {
            if (!inCheck) {
                if (bad) break; // captures that lose material come last and are skipped
                int victim = TYPE_VALUE[pieceType(pos->pieceAt(moveDst(move)))];
                if (standPat + victim + 200 < alpha && victim < TYPE_VALUE[0]) continue;
            }
            if (!pos->makeMove(move)) continue;
            ++legal;
            int score = -quiescence(-beta, -alpha, ply + 1);
            pos->unmakeMove();
            if (aborted) return 0;
            if (score > best) {
                best = score;
                if (score > alpha) {
                    alpha = score;
                    updatePv(ply, move);
                    if (score >= beta) break;
                }
            }
        }
        if (inCheck && legal == 0) return -MATE + ply;
        return best;
    }

    bool mayTryNull(int depth, bool inCheck, int eval, int beta) const {
        const int side = pos->sideToMove();
        return settings.pruning > 0 && !inCheck && depth >= 2 && eval >= beta
            && pos->lastMove() != 0 && std::abs(beta) < MATE_BOUND
            && pos->count(side + CHARIOT) + pos->count(side + HORSE) + pos->count(side + CANNON)
            > 0;
    }

    int search(int alpha, int beta, int depth, int ply, bool cutNode) {
        if (depth <= 0) return quiescence(alpha, beta, ply);
        pvLength[ply] = 0;
        if ((++nodes & 1023) == 0) checkLimits();
        if (aborted) return 0;
        const bool pvNode = beta - alpha > 1;

        int ruleScore;
        if (ruleVerdict(ply, ruleScore)) return ruleScore;
        if (ply >= MAX_PLY - 1) return evaluate(*pos, settings.eval);
        alpha = std::max(alpha, -MATE + ply);
        beta = std::min(beta, MATE - ply - 1);
        if (alpha >= beta) return alpha;

        const TtEntry* entry = tt.probe(pos->key());
        Move ttMove = entry && pos->isPseudoLegal(entry->move) ? entry->move : 0;
        if (entry && !pvNode && entry->depth >= depth) {
            int score = scoreFromTt(entry->score, ply);
            Bound bound = entry->bound();
            if (bound == BOUND_EXACT || (bound == BOUND_LOWER && score >= beta)
                || (bound == BOUND_UPPER && score <= alpha))
                return score;
        }

        const bool inCheck = pos->inCheck();
        int eval = inCheck ? -INF : entry ? entry->eval : evaluate(*pos, settings.eval);
        staticEval[ply] = eval;
        const bool improving = !inCheck && ply >= 2 && eval > staticEval[ply - 2];

        if (settings.pruning > 0 && !pvNode && !inCheck && depth <= 5 && std::abs(beta) < MATE_BOUND
            && eval - (100 - (improving ? 30 : 0)) * depth >= beta)
            return eval;

        if (!pvNode && mayTryNull(depth, inCheck, eval, beta)) {
            int reduction
                = 3 + depth / 4 + (settings.pruning == 3 ? 1 : 0) - (settings.pruning == 1 ? 1 : 0);
            pos->makeNullMove();
            int score = -search(-beta, -beta + 1, depth - 1 - reduction, ply + 1, !cutNode);
            pos->unmakeNullMove();
            if (aborted) return 0;
            if (score >= beta) return score >= MATE_BOUND ? beta : score;
        }

        // Without a table move in a principal line, a shallower search finds one.
        if (pvNode && !ttMove && depth >= 5) {
            search(alpha, beta, depth - 3, ply, cutNode);
            const TtEntry* again = tt.probe(pos->key());
            if (again && pos->isPseudoLegal(again->move)) ttMove = again->move;
        }

        MovePicker picker(*pos, tables, ttMove, ply, false);
        const int oldAlpha = alpha;
        int best = -INF, legal = 0;
        Move bestMove = 0;
        Move quietsTried[64];
        int quietCount = 0;
        bool bad;
        for (Move move = picker.next(bad); move; move = picker.next(bad)) {
            const bool capture = isCapture(*pos, move);
            const bool quiet = !capture;
            // Late quiet moves at shallow depth are not worth a look.
            if (settings.pruning > 0 && !pvNode && !inCheck && quiet && legal > 0
                && best > -MATE_BOUND) {
                int lateLimit
                    = (3 + depth * depth) * (settings.pruning == 3 ? 1 : 2) / (improving ? 1 : 2);
                if (depth <= 4 && legal >= lateLimit + 2) continue;
                if (depth <= 3 && eval + 120 * depth + 60 <= alpha) continue;
            }
            if (!pos->makeMove(move)) continue;
            ++legal;
            const bool givesCheck = pos->inCheck();
            int extension = givesCheck && ply < 2 * rootDepth + 8 ? 1 : 0;
            int newDepth = depth - 1 + extension;
            int score;
            if (legal == 1) {
                score = -search(-beta, -alpha, newDepth, ply + 1, false);
            } else {
                int reduction = 0;
                if (depth >= 3 && quiet && !givesCheck && !inCheck) {
                    reduction = lmr[std::min(depth, 63)][std::min(legal, 63)];
                    reduction += (cutNode ? 1 : 0) - (pvNode ? 1 : 0) - (improving ? 0 : -1);
                    if (move == tables.killers[ply][0] || move == tables.killers[ply][1])
                        reduction -= 1;
                    reduction = std::clamp(reduction, 0, newDepth - 1);
                } else if (depth >= 3 && bad && !givesCheck && settings.pruning > 0) {
                    reduction = 1;
                }
                score = -search(-alpha - 1, -alpha, newDepth - reduction, ply + 1, true);
                if (score > alpha && reduction > 0)
                    score = -search(-alpha - 1, -alpha, newDepth, ply + 1, !cutNode);
                if (score > alpha && score < beta)
                    score = -search(-beta, -alpha, newDepth, ply + 1, false);
            }
            pos->unmakeMove();
            if (aborted) return 0;

            if (score > best) {
                best = score;
                if (score > alpha) {
                    alpha = score;
                    bestMove = move;
                    if (pvNode) updatePv(ply, move);
                    if (score >= beta) {
                        if (quiet) {
                            tables.rewardQuiet(*pos, move, depth, ply);
                            for (int i = 0; i < quietCount; ++i)
                                tables.punishQuiet(*pos, quietsTried[i], depth);
                        }
                        break;
                    }
                }
            }
            if (quiet && quietCount < 64) quietsTried[quietCount++] = move;
        }
        // No legal move loses, in check or not.
        if (legal == 0) return -MATE + ply;

        Bound bound = best >= beta ? BOUND_LOWER : alpha > oldAlpha ? BOUND_EXACT : BOUND_UPPER;
        tt.store(pos->key(), scoreToTt(best, ply), inCheck ? 0 : eval, bestMove, depth, bound);
        return best;
    }

    // The root moves from pvIndex on (the lines before it are already ranked); the best
    // one found moves to pvIndex.
    int searchRoot(int alpha, int beta, int depth) {
        pvLength[0] = 0;
        int best = -INF;
        for (size_t i = pvIndex; i < rootMoves.size(); ++i) {
            const Move move = rootMoves[i];
            pos->makeMove(move);
            const bool givesCheck = pos->inCheck();
            int newDepth = depth - 1 + (givesCheck ? 1 : 0);
            int score;
            if (i == pvIndex) {
                score = -search(-beta, -alpha, newDepth, 1, false);
            } else {
                score = -search(-alpha - 1, -alpha, newDepth, 1, true);
                if (score > alpha && score < beta)
                    score = -search(-beta, -alpha, newDepth, 1, false);
            }
            pos->unmakeMove();
            if (aborted) break;
            if (score > best) {
                best = score;
                if (score > alpha) {
                    alpha = score;
                    if (pvIndex == 0) rootBest = move;
                    updatePv(0, move);
                    std::rotate(rootMoves.begin() + pvIndex, rootMoves.begin() + i,
                        rootMoves.begin() + i + 1);
                    if (score >= beta) break;
                }
            }
        }
        return best;
    }

    // A window round the last iteration's score, widened until the score falls inside.
    int aspiration(int depth, int previous) {
        int delta = 25, alpha = -INF, beta = INF;
        if (depth >= 4 && std::abs(previous) < MATE_BOUND)
            alpha = previous - delta, beta = previous + delta;
        for (;;) {
            const int found = searchRoot(alpha, beta, depth);
            if (aborted) return found;
            if (found <= alpha) {
                beta = (alpha + beta) / 2;
                alpha = std::max(found - delta, -INF);
            } else if (found >= beta) {
                beta = std::min(found + delta, INF);
            } else {
                return found;
            }
            delta += delta;
        }
    }

    // One iteration over the best lines: each searches the root moves the lines before it
    // left, then the lines are ranked by score. False when the search was cut short.
    bool searchLines(int depth, std::vector<RootLine>& lines) {
        for (pvIndex = 0; pvIndex < lines.size(); ++pvIndex) {
            const int found = aspiration(depth, lines[pvIndex].score);
            if (aborted) return false;
            lines[pvIndex].score = found;
            lines[pvIndex].pv.assign(pv[0], pv[0] + pvLength[0]);
        }
        if (lines.size() > 1) {
            // A later line may come out better than an earlier one searched with less to go on.
            std::stable_sort(lines.begin(), lines.end(),
                [](const RootLine& a, const RootLine& b) { return a.score > b.score; });
            for (size_t k = 0; k < lines.size(); ++k) rootMoves[k] = lines[k].pv[0];
            rootBest = rootMoves[0];
        }
        return true;
    }

    // Takes the root: the moves not banned, the table's move first. False when none is left.
    bool start(Position& root, const std::vector<Move>& banned, const SearchSettings& chosen,
        const GoLimits& goLimits, SearchSignals& goSignals) {
        pos = &root;
        settings = chosen;
        settings.eval.engineSide = root.sideToMove();
        limits = goLimits;
        budget = planTime(goLimits);
        signals = &goSignals;
        nodes = 0;
        publishedNodes = 0;
        aborted = false;
        mayAbort = false;
        initReductions();
        tables.ageHistory();
        MoveList list;
        root.generate(list, false);
        rootMoves.clear();
        for (int i = 0; i < list.count; ++i) {
            Move move = list.moves[i];
            if (std::find(banned.begin(), banned.end(), move) == banned.end() && root.isLegal(move))
                rootMoves.push_back(move);
        }
        if (rootMoves.empty()) return false;
        if (const TtEntry* entry = tt.probe(root.key())) {
            auto at = std::find(rootMoves.begin(), rootMoves.end(), entry->move);
            if (at != rootMoves.end()) std::rotate(rootMoves.begin(), at, at + 1);
        }
        rootBest = rootMoves[0];
        return true;
    }

    // A helper deepens one line until told to stop, every other one a ply ahead.
    void help() {
        std::vector<RootLine> lines(1);
        mayAbort = true;
        for (int depth = 1 + helperIndex % 2; depth <= MAX_PLY - 8; ++depth) {
            rootDepth = depth;
            if (!searchLines(depth, lines)) return;
        }
    }
};

} // namespace

struct Searcher::Impl {
    TranspositionTable tt;
    std::vector<std::unique_ptr<SearchWorker>> workers;
    std::atomic<bool> helpersStop { false };

    SearchWorker& worker(int index) {
        while (int(workers.size()) <= index)
            workers.push_back(std::make_unique<SearchWorker>(tt, int(workers.size())));
        return *workers[size_t(index)];
    }
    // The main worker's nodes and what the helpers have published.
    std::uint64_t nodes(int threads) {
        std::uint64_t sum = worker(0).nodes;
        for (int i = 1; i < threads; ++i) sum += worker(i).publishedNodes.load();
        return sum;
    }
    SearchResult iterate(int threads, const Report& report);
};

Searcher::Searcher()
    : impl_(std::make_unique<Impl>()) {
    impl_->tt.resize(64);
}

Searcher::~Searcher() = default;

void Searcher::setHashSize(int megabytes) {
    impl_->tt.resize(megabytes <= 0 ? 64 : megabytes);
}

void Searcher::prepare() {
    impl_->tt.prepare();
}

void Searcher::newGame() {
    impl_->tt.clear();
    for (auto& worker : impl_->workers) worker->tables.clear();
}

namespace {

// The reply the engine expects: the second move of the line, or the table's move
// after the best one when the line is shorter.
Move ponderMove(Position& pos, TranspositionTable& tt, const std::vector<Move>& line, Move best) {
    if (best == 0 || !pos.makeMove(best)) return 0;
    Move guess = line.size() >= 2 && line[0] == best ? line[1] : 0;
    if (!guess)
        if (const TtEntry* entry = tt.probe(pos.key())) guess = entry->move;
    if (guess && !pos.isLegal(guess)) guess = 0;
    pos.unmakeMove();
    return guess;
}

} // namespace

SearchResult Searcher::run(Position& pos, const std::vector<Move>& banned, const GoLimits& limits,
    SearchSignals& signals, const Report& report) {
    Impl& impl = *impl_;
    impl.tt.prepare();
    impl.tt.newSearch();
    SearchSettings chosen = settings;
    if (chosen.eval.noise > 0) chosen.eval.seed = Clock::now().time_since_epoch().count();
    const int threads = std::clamp(settings.threads, 1, MAX_THREADS);
    if (!impl.worker(0).start(pos, banned, chosen, limits, signals)) return {};

    impl.helpersStop = false;
    std::vector<std::thread> helpers;
    for (int i = 1; i < threads; ++i) {
        SearchWorker& helper = impl.worker(i);
        helper.ownPosition = pos;
        helper.helpersStop = &impl.helpersStop;
        helper.start(helper.ownPosition, banned, chosen, limits, signals);
        helpers.emplace_back(&SearchWorker::help, &helper);
    }
    SearchResult result = impl.iterate(threads, report);
    impl.helpersStop = true;
    for (std::thread& helper : helpers) helper.join();
    return result;
}

SearchResult Searcher::Impl::iterate(int threads, const Report& report) {
    SearchWorker& s = worker(0);
    SearchResult result;
    std::vector<RootLine> lines(
        std::min<size_t>(std::max(1, s.settings.lines), s.rootMoves.size()));
    const int maxDepth = s.limits.depth > 0 ? std::min(s.limits.depth, MAX_PLY - 8) : MAX_PLY - 8;
    Move previousBest = 0;
    for (int depth = 1; depth <= maxDepth; ++depth) {
        s.rootDepth = depth;
        if (!s.searchLines(depth, lines)) break;
        const int score = lines[0].score;
        result.depth = depth;
        result.score = score;
        const std::int64_t elapsed = s.signals->elapsedMs();
        for (size_t k = 0; k < lines.size(); ++k)
            report(SearchInfo { depth, int(k + 1), int(lines.size()), lines[k].score, elapsed,
                nodes(threads), lines[k].pv });
        s.mayAbort = true;

        const bool stable = s.rootBest == previousBest;
        previousBest = s.rootBest;
        if (s.signals->stop.load()) break;
        if (std::abs(score) >= MATE_BOUND && depth > 2 * (MATE - std::abs(score)) + 4) break;
        if (s.signals->pondering.load() || s.limits.infinite || s.budget.soft < 0) continue;
        if (s.budget.fixed ? elapsed >= s.budget.hard
                           : elapsed >= s.budget.soft * (stable ? 55 : 120) / 100)
            break;
        if (s.rootMoves.size() == 1 && depth >= 4) break;
    }
    result.best = s.rootBest;
    result.ponder = ponderMove(*s.pos, tt, lines[0].pv, result.best);
    result.nodes = nodes(threads);
    return result;
}

} // namespace qinglan::bundled
