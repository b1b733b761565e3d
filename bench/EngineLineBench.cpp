// The engine link's costs without a window, through the same Game the window drives:
//  - handleEngineLine for one "info" line when the searched position has 20, 200 and
//    400 plies (it replays the position line on a scratch board);
//  - the delay from sending "go" to playing the reply, polling every 50 ms as the
//    heartbeat does, against an engine that answers at once.
// Usage: bench_engine_line [ENGINE] (default: the fake test engine beside this program).
#include "game/Game.h"
#include "game/HeadlessHost.h"
#include "platform/Ticks.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <thread>
#include <vector>

namespace {

using namespace qinglan;
using Clock = std::chrono::steady_clock;

// A line of legal moves nplies long from the start (no side is left without moves).
std::vector<std::string> randomGame(int plies) {
    for (unsigned seed = 1;; ++seed) {
        std::mt19937 random(seed);
        Board board;
        board.setStartPosition();
        std::vector<std::string> moves;
        while (static_cast<int>(moves.size()) < plies) {
            int buffer[256];
            const int n = board.generateLegalMoves(buffer);
            if (n == 0) break;
            const std::string move = moveToCoord(buffer[random() % static_cast<unsigned>(n)]);
            board.makeMoveText(move);
            moves.push_back(move);
        }
        if (static_cast<int>(moves.size()) == plies && board.hasLegalMove()) return moves;
    }
}

double infoLineMicroseconds(const std::string& enginePath, int plies) {
    HeadlessHost host; // not attached: moves are played without turns or verdicts
    host.showThinking = true;
    Game game(host);
    if (!game.engineSlot(true).loadProgram(enginePath)) return -1;
    game.flow().newGame();
    for (const std::string& move : randomGame(plies)) {
        if (!game.flow().playMove(move)) return -1;
        host.finishMoveInFlight();
    }
    LevelSettings infinite;
    infinite.mode = LEVEL_INFINITE;
    game.setLevel(infinite);
    game.engines().startSearch(game.engineSlot(true), game.state().board, 1000, 1000, false);
    // A variation of five legal moves from the searched position.
    Board pvBoard = game.state().board;
    std::string pv;
    for (int i = 0; i < 5; ++i) {
        int buffer[256];
        if (pvBoard.generateLegalMoves(buffer) == 0) break;
        const std::string move = moveToCoord(buffer[0]);
        pvBoard.makeMoveText(move);
        pv += " " + move;
    }
    const std::string line = "info depth 9 score 31 time 120 nodes 45000 pv" + pv;
    constexpr int ROUNDS = 2000;
    const auto start = Clock::now();
    for (int i = 0; i < ROUNDS; ++i) {
        if (i % 100 == 0) host.clear(true); // keep the box from growing without end
        game.engines().handleEngineLine(game.engineSlot(true), line, LINE_FROM_MAIN);
    }
    const double us
        = std::chrono::duration<double, std::micro>(Clock::now() - start).count() / ROUNDS;
    if (host.thinking[1].find(" 的思考信息") == std::string::npos) return -1; // nothing was shown
    game.engineSlot(true).stopSearch(1000);
    return us;
}

void replyDelay(const std::string& enginePath, int moves) {
    HeadlessHost host;
    Game game(host);
    host.attach(game);
    if (!game.engineSlot(true).loadProgram(enginePath)) return;
    LevelSettings depth;
    depth.mode = LEVEL_DEPTH;
    depth.depthLimit = 1;
    game.flow().newGame(std::nullopt, depth);
    std::vector<double> delays;
    for (int i = 0; i < moves && !game.state().gameOver; ++i) {
        // The engine plays red: hand it the move, then wait for its reply.
        game.flow().setComputerRed(true);
        const std::int64_t sent = tickMs();
        const std::size_t before = host.movesPlayed.size();
        while (host.movesPlayed.size() == before && tickMs() - sent < 5000) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            game.engines().pollEngines();
        }
        if (host.movesPlayed.size() == before) break;
        delays.push_back(static_cast<double>(tickMs() - sent));
        game.flow().setComputerRed(false);
        host.cancelMoveAnimation();
        game.flow().takeBack();
    }
    if (delays.empty()) return;
    std::sort(delays.begin(), delays.end());
    std::printf("go -> move played, 50 ms polling: median %.0f ms, max %.0f ms over %zu replies\n",
        delays[delays.size() / 2], delays.back(), delays.size());
}

} // namespace

int main(int argc, char** argv) {
    const std::string engine = argc > 1
        ? argv[1]
        : (std::filesystem::path(argv[0]).parent_path() / "qinglan-fake-engine").string();
    for (int plies : { 20, 200, 400 }) {
        const double us = infoLineMicroseconds(engine, plies);
        if (us < 0) {
            std::printf("cannot load %s\n", engine.c_str());
            return 1;
        }
        std::printf("handleEngineLine(info) at %3d plies: %.1f us\n", plies, us);
    }
    replyDelay(engine, 20);
    return 0;
}
