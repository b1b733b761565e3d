// The "bench" command: a fixed search over fixed positions, for speed figures and
// as a fingerprint of the search (the node count changes only when the search does).
#include "EngineLoop.h"
#include "rules/Board.h"

namespace qinglan::bundled {

namespace {

constexpr int BENCH_DEPTH = 12;

constexpr const char* BENCH_POSITIONS[] = {
    "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w - - 0 1",
    "r1bakabnr/9/1cn4c1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C1N2/9/RNBAKAB1R w - - 0 1",
    "r1bakab1r/9/1cn3nc1/p1p1p1p1p/9/9/P1P1P1P1P/1CN3NC1/9/R1BAKAB1R w - - 0 1",
    "2bak4/4a4/4b1n2/p1C1p1p1p/2p6/6P2/P3P3P/1C2B1N2/4A4/c1BAKAB2 w - - 0 1",
    "r1ba1a3/4kn3/2n1b4/pNp1p1p1p/4c4/6P2/P1P2R2P/1CcC5/9/2BAKAB2 w - - 0 1",
    "3k1a3/4a4/4b4/4C4/2n1c4/4R4/9/4B4/4A4/3K1A3 b - - 0 1",
    "2baka3/9/4b4/p3p1p1p/2p6/6P2/P1r1P3P/2N1B4/4A4/2BAK1R2 w - - 0 1",
    "4kab2/4a4/4b4/3N5/6p2/9/9/4B4/4A4/2BAK4 w - - 0 1",
};

} // namespace

void runBench(int depth, int threads, const Searcher::Output& out) {
    if (depth <= 0) depth = BENCH_DEPTH;
    Searcher searcher;
    searcher.setHashSize(16);
    searcher.settings.threads = threads;
    std::uint64_t nodes = 0;
    auto start = Clock::now();
    for (const char* fen : BENCH_POSITIONS) {
        Position pos;
        pos.setFen(fen);
        searcher.newGame();
        SearchSignals signals;
        signals.startClock();
        GoLimits limits;
        limits.depth = depth;
        SearchResult result = searcher.run(pos, {}, limits, signals, [](const SearchInfo&) {});
        out("bench " + std::string(fen) + " bestmove " + moveText(result.best) + " score "
            + std::to_string(result.score) + " nodes " + std::to_string(result.nodes));
        nodes += result.nodes;
    }
    std::int64_t elapsed = std::max<std::int64_t>(1, millisSince(start));
    out("bench nodes " + std::to_string(nodes) + " time " + std::to_string(elapsed) + " nps "
        + std::to_string(nodes * 1000 / std::uint64_t(elapsed)));
}

} // namespace qinglan::bundled
