#pragma once

#include "Evaluate.h"
#include "Ordering.h"
#include "TimeManager.h"
#include "Tt.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qinglan::bundled {

constexpr int INF = 32000;
constexpr int MATE = 30000;
constexpr int MATE_BOUND = MATE - 1000;
// A repetition the program gives to one side scores as a mate on the spot: a side
// that is lost either way prefers the longer road, where the other side may still err.
constexpr int RULE_WIN = MATE;

// Shared between the search thread and the command reader.
struct SearchSignals {
    std::atomic<bool> stop { false };
    std::atomic<bool> pondering { false };
    // When the time limits start counting: the "go", or the "ponderhit" after it.
    std::atomic<Clock::rep> timeStart { 0 };

    void startClock() { timeStart.store(Clock::now().time_since_epoch().count()); }
    std::int64_t elapsedMs() const {
        return millisSince(Clock::time_point(Clock::duration(timeStart.load())));
    }
};

// The most best lines a search reports (the "multipv" option's maximum).
constexpr int MAX_LINES = 5;
// The most threads one search runs on (the "threads" option's maximum).
constexpr int MAX_THREADS = 8;

// What the options change in the search.
struct SearchSettings {
    EvalParams eval; // engineSide is set at each search
    int pruning = 2; // 0 none .. 3 large
    int contempt = 15; // a draw is worth this much less than nothing to the engine
    int lines = 1; // best lines reported each iteration (MultiPV)
    int threads = 1; // more search the same root with the main one, sharing the table
};

// One line of a finished iteration; the command loop words it in its protocol.
struct SearchInfo {
    int depth = 0;
    int rank = 1; // 1 is the best line
    int lines = 1; // lines reported each iteration
    int score = 0;
    std::int64_t timeMs = 0;
    std::uint64_t nodes = 0;
    std::vector<Move> pv;
};

struct SearchResult {
    Move best = 0;
    Move ponder = 0;
    int score = 0;
    int depth = 0;
    std::uint64_t nodes = 0;
};

class Searcher {
public:
    using Output = std::function<void(const std::string&)>;
    using Report = std::function<void(const SearchInfo&)>;

    Searcher();
    ~Searcher();
    // Notes the size; the table is made by prepare() or the first search.
    void setHashSize(int megabytes);
    void prepare();
    void newGame();

    SearchSettings settings;

    // Searches the position (its history decides repetitions and the no-capture
    // count) among the root moves not banned. The best move is 0 when there is none.
    // Reports each finished iteration; the caller prints the best move.
    SearchResult run(Position& pos, const std::vector<Move>& banned, const GoLimits& limits,
        SearchSignals& signals, const Report& report);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace qinglan::bundled
