#include "game/EngineGlue.h"

#include "game/GameFlow.h"
#include "game/GameHost.h"
#include "game/GameState.h"
#include "game/ThinkingInfo.h"
#include "platform/MessageCodes.h"
#include "platform/TextEncoding.h"

#include <vector>

namespace qinglan {

namespace {

constexpr const char* BOX_TITLE = "青岚象棋";

} // namespace

SearchLimits searchLimits(
    const LevelSettings& level, int plyCount, std::int64_t myTime, std::int64_t oppTime) {
    SearchLimits limits;
    switch (level.mode) {
    case LEVEL_NODES:
        limits.nodes = level.nodeLimit;
        break;
    case LEVEL_DEPTH:
        limits.depth = level.depthLimit;
        break;
    case LEVEL_TIME_MOVES_TO_GO:
        // Truncated toward zero, so it may go negative once the moves are spent.
        limits.clock = SearchClock { myTime, oppTime, 0, 0,
            static_cast<int>(level.movesToGo - plyCount / 2.0) };
        break;
    case LEVEL_TIME_INCREMENT:
        limits.clock
            = SearchClock { myTime, oppTime, level.incrementMs, level.incrementMs, std::nullopt };
        break;
    case LEVEL_INFINITE:
        break;
    default:
        limits.moveTimeMs = static_cast<std::int64_t>(level.moveTimeTenths) * 100;
    }
    return limits;
}

EngineGlue::EngineGlue(GameState& state, GameHost& host, GameFlow& flow)
    : state_(state)
    , host_(host)
    , flow_(flow) { }

void EngineGlue::warn(const std::string& text) {
    host_.showMessage(text, BOX_TITLE, MESSAGE_FLAG_WARNING);
}

std::string& EngineGlue::guessOf(EngineProcess& engine) {
    return state_.isMainEngine(engine) ? state_.mainEngineMoveText : state_.secondaryEngineMoveText;
}

void EngineGlue::startSearch(EngineProcess& engine, const Board& position, std::int64_t myTime,
    std::int64_t oppTime, bool ponder, const std::vector<std::string>& banned) {
    if (!engine.isRunning()) return;
    Board::History history
        = position.history(engine.getOptions().compatFlags & COMPAT_RESTART_AT_CAPTURE);
    const std::optional<SearchRequest>& searched = engine.searched();
    const bool same = searched && searched->fen == history.fen && searched->moves == history.moves;
    if (engine.isBusy() && !same && !engine.stopSearch(STOP_FOR_SEARCH_MS)) {
        warn(displayText(engine.name()) + " 暂时无法响应！");
        return;
    }
    switch (engine.state()) {
    case EngineState::Idle: {
        if (ThinkingDisplay* display = host_.thinkingDisplay())
            display->clear(state_.isMainEngine(engine));
        if (same && engine.lastReply()) {
            const EngineReply reply = *engine.lastReply();
            handleReply(engine, reply, LINE_REPLAYED);
            return;
        }
        SearchRequest request { std::move(history.fen), std::move(history.moves), banned,
            ponder ? SearchMode::Ponder : SearchMode::Play,
            searchLimits(state_.currentLevel, position.plyCount(), myTime, oppTime), 1 };
        engine.startSearch(request);
        break;
    }
    case EngineState::Pondering:
        engine.ponderHit();
        break;
    default:
        break;
    }
}

void EngineGlue::handleEngineLine(EngineProcess& engine, const std::string& line, int source) {
    if (const std::optional<EngineReply> reply = parseEngineReply(line))
        handleReply(engine, *reply, source);
}

void EngineGlue::handleReply(EngineProcess& engine, const EngineReply& reply, int source) {
    if (state_.gameOver) return;
    if (std::holds_alternative<NoMove>(reply)) {
        warn(displayText(engine.name()) + " 罢工了！");
        host_.engineFault(state_.isMainEngine(engine), ResultReason::EngineGaveUp);
        return;
    }
    const BestMove* best = std::get_if<BestMove>(&reply);
    // A reply may land while the previous move still slides (a ponder search that
    // ended on its own): that move is adjudicated first, and its turn may already
    // replay this very reply.
    if (best && host_.isMoveInFlight()) {
        host_.finishMoveInFlight();
        if (state_.gameOver) return;
    }
    Board scratch;
    if (engine.searched()) scratch = searchedBoard(*engine.searched());
    if (best) {
        handleBestMove(engine, *best, scratch);
    } else if (source == LINE_FROM_MAIN || source == LINE_FROM_SECONDARY) {
        const ThinkingLine& info = std::get<ThinkingLine>(reply);
        if (scratch.toFen() == state_.board.toFen())
            (source == LINE_FROM_MAIN ? state_.mainEngineMoveText : state_.secondaryEngineMoveText)
                .clear();
        host_.engineInfo(source == LINE_FROM_MAIN, info);
        state_.thoughts.note(source == LINE_FROM_MAIN, info, scratch);
        appendThinkingInfo(scratch, info, displayText(engine.name()), source == LINE_FROM_MAIN);
    }
}

void EngineGlue::handleBestMove(EngineProcess& engine, const BestMove& best, Board& scratch) {
    const std::string name = displayText(engine.name());
    const std::string searchedFen = scratch.toFen();
    // Pondering has no end to wait for when the level sets no limit.
    bool ponderWanted = (engine.getOptions().compatFlags & COMPAT_PONDER)
        && state_.redPlayer() != state_.blackPlayer() && !best.ponder.empty()
        && state_.currentLevel.mode != LEVEL_INFINITE;
    if (!scratch.makeMoveText(best.move)) {
        warn(name + " 输出错误信息！");
        host_.engineFault(state_.isMainEngine(engine), ResultReason::IllegalMove);
        return;
    }
    if (ponderWanted && !scratch.makeMoveText(best.ponder)) {
        warn(name + " 输出错误信息！");
        ponderWanted = false;
    }
    if (searchedFen != state_.board.toFen()) return; // a reply to another position
    if (ponderWanted && scratch.gameStatus() == STATUS_GOES_ON) {
        const std::int64_t now = state_.now();
        const bool red = state_.board.isRedToMove();
        const SideClock& mover = red ? state_.redClock : state_.blackClock;
        const SideClock& other = red ? state_.blackClock : state_.redClock;
        startSearch(engine, scratch, mover.remaining(now) + state_.currentLevel.incrementMs,
            other.remaining(now), true);
        scratch.undoMove();
        guessOf(engine) = scratch.moveToChinese(best.ponder);
    }
    engine.clearReply();
    flow_.playMove(best.move);
}

void EngineGlue::appendThinkingInfo(
    Board& scratch, const ThinkingLine& line, const std::string& name, bool main) {
    ThinkingDisplay* display = host_.thinkingDisplay();
    if (!display) return;
    if (display->isEmpty(main)) display->append(main, thinkingHeader(main, name));
    std::string badMove;
    const std::string guess = main ? state_.mainEngineMoveText : state_.secondaryEngineMoveText;
    const std::string row = thinkingRow(scratch, line, guess, badMove);
    if (row.empty()) return;
    display->append(main, row);
    // Told once per loaded engine: an engine whose lines are wrong is wrong on every
    // move, and a box each time would stop the game for nothing new.
    int& warnedProcess = pvWarnedProcess_[main ? 1 : 0];
    const int process = (main ? state_.mainEngine : state_.secondaryEngine).processId();
    if (badMove.empty() || warnedProcess == process) return;
    warnedProcess = process;
    warn(name + " 思考路线有错误！" + badMove);
}

void EngineGlue::pollEngines() {
    pollEngine(state_.mainEngine);
    pollEngine(state_.secondaryEngine);
}

void EngineGlue::pollEngine(bool main) {
    pollEngine(main ? state_.mainEngine : state_.secondaryEngine);
}

void EngineGlue::pollEngine(EngineProcess& engine) {
    const int source = state_.isMainEngine(engine) ? LINE_FROM_MAIN : LINE_FROM_SECONDARY;
    while (std::optional<ReceivedLine> received = engine.receive())
        if (received->reply) handleReply(engine, *received->reply, source);
}

void EngineGlue::stopThinking() {
    const int toMove = state_.playerToMove();
    if (toMove == PLAYER_MAIN_ENGINE)
        state_.mainEngine.requestStop();
    else if (toMove == PLAYER_SECONDARY_ENGINE)
        state_.secondaryEngine.requestStop();
}

void EngineGlue::forgetSearch(EngineProcess& engine) {
    if (engine.state() == EngineState::Pondering) engine.stopSearch(STOP_FOR_SEARCH_MS);
    engine.clearReply();
    guessOf(engine).clear();
}

} // namespace qinglan
