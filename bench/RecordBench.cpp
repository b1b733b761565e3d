// Reading and replaying a large multi-game PGN: games per second, MB per second, and the
// peak memory of the reading process against the file's size. The file is made first by
// writing random games (Chinese notation, a comment and a variation in each), then read in
// a child process of its own so that the peak memory is the reader's alone.
// Usage: bench_records [GAMES] [FILE]   (default 20000 games, a file in /tmp)
//        bench_records read FILE        (reads an existing file the same way)
#include "records/PgnReader.h"
#include "records/PgnWriter.h"
#include "records/RecordFile.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <malloc.h>
#include <random>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace qinglan;
using Clock = std::chrono::steady_clock;

GameRecord randomGame(std::mt19937& random) {
    GameRecord game;
    game.setTag(tags::EVENT, "基准测试");
    game.setTag(tags::RED, "红方");
    game.setTag(tags::BLACK, "黑方");
    game.setTag(tags::RESULT, "1/2-1/2");
    const int plies = 80 + static_cast<int>(random() % 80);
    int node = GameRecord::ROOT;
    for (int ply = 0; ply < plies; ++ply) {
        int moves[MAX_PSEUDO_MOVES];
        const int count = game.positionAfter(node).generateLegalMoves(moves);
        if (count == 0) break;
        const unsigned pick = random() % count;
        const int next = game.addMove(node, moveToCoord(moves[pick]));
        if (ply == 20 && count > 1) game.addMove(node, moveToCoord(moves[(pick + 1) % count]));
        if (ply == 10) game.setComment(next, "+0.35/12 1.2s");
        node = next;
    }
    return game;
}

// CPU time of this process so far: on a shared machine a steadier measure than the clock.
// Each measurement runs in a fresh child, so this is the reading alone.
double cpuSeconds() {
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec
        + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long residentKib() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// Runs measure in a child process and prints its peak resident memory: in all, and above
// what the child held when it started (the program itself).
template<class Measure> void inChild(Measure measure, double megabytes) {
    std::fflush(stdout);
    const pid_t pid = fork();
    if (pid == 0) {
        const long before = residentKib();
        measure();
        rusage usage {};
        getrusage(RUSAGE_SELF, &usage);
        const double peak = usage.ru_maxrss / 1024.0, reading = (usage.ru_maxrss - before) / 1024.0;
        std::printf("  peak memory %.1f MB, %.1f MB of it for reading (%.2f x the file)\n", peak,
            reading, reading / megabytes);
        std::fflush(stdout);
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
}

void readStreaming(const std::string& path, double megabytes) {
    const auto start = Clock::now();
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    std::string text(static_cast<std::size_t>(in.tellg()), '\0');
    in.seekg(0);
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    PgnReader reader(text);
    GameRecord game;
    std::string problem;
    long games = 0, plies = 0, problems = 0;
    while (reader.next(game, problem)) {
        const std::vector<int> line = game.mainLine();
        plies += static_cast<long>(line.size());
        if (!line.empty() && game.positionAfter(line.back()).toFen().empty()) ++problems;
        problems += problem.empty() ? 0 : 1;
        ++games;
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("read one game at a time: %ld games, %ld plies, %ld problems in %.2f s: "
                "%.0f games/s, %.1f MB/s (%.1f MB per second of CPU time)\n",
        games, plies, problems, seconds, games / seconds, megabytes / seconds,
        megabytes / cpuSeconds());
}

void readWhole(const std::string& path, double megabytes) {
    const auto start = Clock::now();
    const RecordFileContents contents = readRecordFile(path);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("read all games into memory: %zu games in %.2f s: %.0f games/s, %.1f MB/s "
                "(%.1f MB per second of CPU time)\n",
        contents.games.size(), seconds, contents.games.size() / seconds, megabytes / seconds,
        megabytes / cpuSeconds());
}

} // namespace

double megabytesOf(const std::string& path) {
    std::ifstream sized(path, std::ios::binary | std::ios::ate);
    return static_cast<double>(sized.tellg()) / (1 << 20);
}

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "read") {
        readStreaming(argv[2], megabytesOf(argv[2]));
        return 0;
    }
    const int games = argc > 1 ? std::atoi(argv[1]) : 20000;
    const std::string path = argc > 2 ? argv[2] : "/tmp/qinglan-bench-records.pgn";
    {
        std::mt19937 random(2026);
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        for (int i = 0; i < games; ++i) out << writePgn(randomGame(random), Notation::Chinese);
    }
    malloc_trim(0);
    const double megabytes = megabytesOf(path);
    std::printf("file: %d games, %.1f MB\n", games, megabytes);
    inChild([&] { readStreaming(path, megabytes); }, megabytes);
    inChild([&] { readWhole(path, megabytes); }, megabytes);
    if (argc <= 2) std::remove(path.c_str());
    return 0;
}
