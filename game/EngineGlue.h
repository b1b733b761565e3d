#pragma once

#include "enginelink/EngineReply.h"
#include "enginelink/SearchRequest.h"
#include "settings/SettingsRecords.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qinglan {

class Board;
class EngineProcess;
class GameFlow;
class GameHost;
struct GameState;

// Source of a reply handed to handleReply.
enum EngineLineSource : int { LINE_REPLAYED = 0, LINE_FROM_MAIN = 1, LINE_FROM_SECONDARY = 2 };

// The limits of a search at a level: myTime and oppTime are the remaining times (ms) of
// the searching side and its opponent, plyCount that of the searched position.
SearchLimits searchLimits(
    const LevelSettings& level, int plyCount, std::int64_t myTime, std::int64_t oppTime);

// The engines' side of a game: starting searches, pondering, and acting on what the
// engines print.
class EngineGlue {
public:
    static constexpr int STOP_FOR_SEARCH_MS = 1000;

    EngineGlue(GameState& state, GameHost& host, GameFlow& flow);

    // Makes engine search position (or turns its ponder search into a real one, or
    // replays a reply it already gave for that position).
    void startSearch(EngineProcess& engine, const Board& position, std::int64_t myTime,
        std::int64_t oppTime, bool ponder, const std::vector<std::string>& banned = {});
    // Acts on one reply of an engine; source says which engine gave it.
    void handleReply(EngineProcess& engine, const EngineReply& reply, int source);
    // handleReply for a line in UCCI form (tests and benchmarks feed lines directly).
    void handleEngineLine(EngineProcess& engine, const std::string& line, int source);
    // The heartbeat's duty: every waiting line of the main engine, then the secondary.
    void pollEngines();
    // Every waiting line of one engine, for a driver woken by that engine's output.
    void pollEngine(EngineProcess& engine);
    void pollEngine(bool main);
    // "停止思考/立即走棋": the engine to move plays its best move now.
    void stopThinking();
    // A stored reply and a pondered guess belong to the search that made them: after a
    // level, option or program change the engine stops pondering and forgets both. A
    // search for the side to move goes on.
    void forgetSearch(EngineProcess& engine);

private:
    void handleBestMove(EngineProcess& engine, const BestMove& best, Board& scratch);
    void appendThinkingInfo(
        Board& scratch, const ThinkingLine& line, const std::string& name, bool main);
    void warn(const std::string& text);
    std::string& guessOf(EngineProcess& engine);

    GameState& state_;
    GameHost& host_;
    GameFlow& flow_;
    // The process of each engine ([0] secondary, [1] main) already told of a wrong line.
    int pvWarnedProcess_[2] = { 0, 0 };
};

} // namespace qinglan
