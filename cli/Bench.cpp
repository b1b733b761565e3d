#include "Bench.h"

#include "rules/Board.h"
#include "rules/Perft.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <utility>

namespace qinglan {

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct PerftCase {
    const char* name;
    const char* position;
    int depth;
};

constexpr PerftCase SUITE[] = {
    { "start", "position startpos", 5 },
    { "middlegame", "r1ba1a3/4kn3/2n1b4/pNp1p1p1p/4c4/6P2/P1P2R2P/1CcC5/9/2BAKAB2 w - - 0 1", 5 },
    { "endgame", "3k5/4a4/4ba3/9/2b6/9/4p4/3p5/4K4/2R6 w - - 0 1", 6 },
};

// A reproducible long game: pseudo-random moves that leave the opponent a reply,
// quiet ones preferred so that the repetition walk has much of the game to look at.
void playLongGame(Board& board, int plies) {
    std::uint32_t seed = 12345;
    board.setStartPosition();
    int moves[MAX_PSEUDO_MOVES];
    while (board.plyCount() < plies) {
        int count = board.generateLegalMoves(moves), playable = 0;
        for (int quietOnly = 1; quietOnly >= 0 && playable == 0; --quietOnly)
            for (int i = 0; i < count; ++i) {
                if (quietOnly && board.pieceAt(moveDst(moves[i])) != 0) continue;
                board.makeMoveText(moveToCoord(moves[i]));
                if (board.hasLegalMove()) std::swap(moves[playable++], moves[i]);
                board.undoMove();
            }
        if (playable == 0) return;
        seed = seed * 1664525u + 1013904223u;
        board.makeMoveText(moveToCoord(moves[(seed >> 8) % playable]));
    }
}

void benchAdjudication() {
    Board board;
    playLongGame(board, 300);
    constexpr int ROUNDS = 20000;
    int sink = 0;
    auto start = Clock::now();
    for (int i = 0; i < ROUNDS; ++i) sink += board.gameStatus() + board.repetitionVerdict();
    double ms = millisecondsSince(start);
    std::printf(
        "adjudication at ply %d: %.2f us per gameStatus + repetitionVerdict (checksum %d)\n",
        board.plyCount(), ms * 1000.0 / ROUNDS, sink);
}

} // namespace

int runBench() {
    std::uint64_t totalNodes = 0;
    double totalMs = 0;
    for (const PerftCase& c : SUITE) {
        Board board;
        board.setPosition(c.position);
        auto start = Clock::now();
        std::uint64_t nodes = perft(board, c.depth);
        double ms = millisecondsSince(start);
        std::printf("perft %-10s depth %d: %12llu nodes %9.1f ms %7.1f Mnps\n", c.name, c.depth,
            static_cast<unsigned long long>(nodes), ms, nodes / ms / 1000.0);
        totalNodes += nodes;
        totalMs += ms;
    }
    std::printf("total: %llu nodes %.1f ms %.1f Mnps\n",
        static_cast<unsigned long long>(totalNodes), totalMs, totalNodes / totalMs / 1000.0);
    benchAdjudication();
    return 0;
}

} // namespace qinglan
