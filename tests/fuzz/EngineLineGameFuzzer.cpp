// libFuzzer target over engine lines acted on by a game without a window: the input's
// lines are handed to the game as if the main engine (a real fake-engine process,
// started once) had printed them while it searches for red. Whatever it says, the game
// stays consistent, and a wrong line of play is told at most once per loaded engine.
#include "FuzzSupport.h"
#include "game/Game.h"
#include "game/HeadlessHost.h"
#include "rules/Board.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

using namespace qinglan;
using fuzz::require;

namespace {

struct Table {
    HeadlessHost host;
    Game game { host };
    int wrongLinesTold = 0;

    Table() {
        host.attach(game);
        host.showThinking = true;
        require(game.engineSlot(true).loadProgram(QINGLAN_FAKE_ENGINE));
    }
};

Table& table() {
    static Table* shared = new Table; // kept to the end: its engine is started only once
    return *shared;
}

void countWrongLines(Table& t) {
    for (const HeadlessHost::Message& message : t.host.messages)
        if (message.text.find("思考路线有错误") != std::string::npos) ++t.wrongLinesTold;
    t.host.messages.clear();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    Table& t = table();
    const std::uint8_t flags = data[0];
    const std::vector<std::string_view> lines
        = fuzz::splitLines(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));

    EngineProcess& engine = t.game.engineSlot(true);
    engine.drainOutput(); // the fake engine's own replies are not part of the input
    t.game.flow().newGame();
    t.game.flow().setComputerRed(true);
    const int source = (flags & 1) ? LINE_FROM_SECONDARY
        : (flags & 2)              ? LINE_REPLAYED
                                   : LINE_FROM_MAIN;
    for (std::string_view line : lines) {
        t.game.engines().handleEngineLine(engine, std::string(line), source);
        if (flags & 4) t.host.finishMoveInFlight();
    }
    t.host.finishMoveInFlight();

    const GameState& state = t.game.state();
    require(state.board.isConsistent());
    countWrongLines(t);
    require(t.wrongLinesTold <= 1);
    require(engine.isRunning());
    t.game.flow().setComputerRed(false);
    t.host.movesPlayed.clear();
    t.host.thinking[0].clear();
    t.host.thinking[1].clear();
    return 0;
}
