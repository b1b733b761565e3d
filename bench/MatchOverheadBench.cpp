// What the match runner adds to each half-move beyond the engines' own time:
//  1. the runner plays GAMES games between ENGINE and itself at depth 1 (wall time of
//     the whole command, engine start-up included, divided by the half-moves played);
//  2. the same engine alone answers "go depth 1" in every position of those games, one
//     position at a time, each reply awaited on its pipe;
// the difference is the runner's overhead per half-move.
// Usage: bench_match_overhead CLI ENGINE [GAMES]  (CLI may be any qinglan-cli build, so
// that the figure of an older runner can be had with the same program).
#include "enginelink/EngineProcess.h"
#include "records/RecordFile.h"
#include "rules/Board.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <poll.h>
#include <string>
#include <unistd.h>

namespace {

using namespace qinglan;
using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Sends the position and "go depth 1", and waits on the pipe for the reply.
bool searchOnce(EngineProcess& engine, const Board& position) {
    engine.sendLine(position.positionCommand());
    engine.sendLine("go depth 1");
    for (;;) {
        for (std::string line = engine.readLine(); !line.empty(); line = engine.readLine())
            if (line.starts_with("bestmove") || line.starts_with("nobestmove")) return true;
        pollfd output { engine.outputDescriptor(), POLLIN, 0 };
        if (!engine.isRunning() || poll(&output, 1, 5000) <= 0) return false;
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_match_overhead CLI ENGINE [GAMES]\n");
        return 2;
    }
    const std::string cli = argv[1], enginePath = argv[2];
    const int games = argc > 3 ? std::atoi(argv[3]) : 40;
    const std::string pgn = (std::filesystem::temp_directory_path()
        / ("qinglan-overhead-" + std::to_string(::getpid()) + ".pgn"))
                                .string();
    const std::string command = "'" + cli + "' match '" + enginePath + "' '" + enginePath
        + "' --depth 1 --games " + std::to_string(games) + " --pgn '" + pgn + "' > /dev/null";
    const Clock::time_point matchStart = Clock::now();
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "the match failed: %s\n", command.c_str());
        return 1;
    }
    const double matchMs = millisecondsSince(matchStart);
    const RecordFileContents record = readRecordFile(pgn);
    std::filesystem::remove(pgn);

    EngineProcess engine;
    if (!engine.loadProgram(enginePath)) {
        std::fprintf(stderr, "cannot load %s\n", enginePath.c_str());
        return 1;
    }
    long plies = 0;
    double bareMs = 0;
    for (const ReadGame& game : record.games) {
        for (int node : game.game.mainLine()) {
            // The position the mover searched: the one before its move.
            const Board& before = game.game.positionAfter(game.game.parentOf(node));
            const Clock::time_point start = Clock::now();
            if (!searchOnce(engine, before)) {
                std::fprintf(stderr, "the engine did not answer\n");
                return 1;
            }
            bareMs += millisecondsSince(start);
            ++plies;
        }
    }
    if (plies == 0) return 1;
    const double perMove = matchMs / plies, barePerMove = bareMs / plies;
    std::printf("match: %zu games, %ld half-moves, %.0f ms: %.3f ms per half-move\n",
        record.games.size(), plies, matchMs, perMove);
    std::printf("bare engine, same positions: %.3f ms per half-move\n", barePerMove);
    std::printf("runner overhead: %.3f ms per half-move\n", perMove - barePerMove);
    return 0;
}
