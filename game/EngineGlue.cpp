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

bool startsWith(const std::string& text, std::string_view prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

} // namespace

std::string goCommand(const LevelSettings& level, int plyCount, std::int64_t myTime,
    std::int64_t oppTime, bool ponder) {
    const std::string go = ponder ? "go ponder " : "go ";
    const std::string my = std::to_string(myTime);
    const std::string opp = std::to_string(oppTime);
    switch (level.mode) {
    case LEVEL_NODES:
        return go + "nodes " + std::to_string(level.nodeLimit);
    case LEVEL_DEPTH:
        return go + "depth " + std::to_string(level.depthLimit);
    case LEVEL_TIME_MOVES_TO_GO: {
        // Truncated toward zero, so it may go negative once the moves are spent.
        const std::string togo = std::to_string(static_cast<int>(level.movesToGo - plyCount / 2.0));
        return go + "time " + my + " movestogo " + togo + " opptime " + opp + " oppmovestogo "
            + togo;
    }
    case LEVEL_TIME_INCREMENT: {
        const std::string inc = std::to_string(level.incrementMs);
        return go + "time " + my + " increment " + inc + " opptime " + opp + " oppincrement " + inc;
    }
    case LEVEL_INFINITE:
        return "go infinite";
    default: {
        const std::string t = std::to_string(static_cast<std::int64_t>(level.moveTimeTenths) * 100);
        return go + "time " + t + " increment " + t;
    }
    }
}

bool isNoMoveReply(const std::string& line) {
    return line == "nobestmove" || startsWith(line, "bestmove (none)");
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
    std::int64_t oppTime, bool ponder, const std::string& banLine) {
    if (!engine.isRunning()) return;
    const int flags = engine.getOptions().compatFlags;
    const std::string positionLine
        = position.positionCommand(flags & COMPAT_STARTPOS, flags & COMPAT_RESTART_AT_CAPTURE);
    const bool same = positionLine == engine.lastPositionCommand();
    if (engine.isBusy() && !same && !engine.stopSearch(STOP_FOR_SEARCH_MS)) {
        warn(displayText(engine.name()) + " 暂时无法响应！");
        return;
    }
    switch (engine.state()) {
    case EngineState::Idle:
        if (ThinkingDisplay* display = host_.thinkingDisplay())
            display->clear(state_.isMainEngine(engine));
        if (same && !engine.lastReply().empty()) {
            const std::string reply = engine.lastReply();
            handleEngineLine(engine, reply, LINE_REPLAYED);
            return;
        }
        engine.sendLine(positionLine);
        if (!banLine.empty()) engine.sendLine(banLine);
        engine.sendLine(
            goCommand(state_.currentLevel, position.plyCount(), myTime, oppTime, ponder));
        break;
    case EngineState::Pondering:
        engine.sendLine("ponderhit");
        break;
    default:
        break;
    }
}

void EngineGlue::handleEngineLine(EngineProcess& engine, const std::string& line, int source) {
    if (state_.gameOver || line.empty()) return;
    if (isNoMoveReply(line)) {
        warn(displayText(engine.name()) + " 罢工了！");
        host_.engineFault(state_.isMainEngine(engine), ResultReason::EngineGaveUp);
        return;
    }
    const bool bestMove = startsWith(line, "bestmove ");
    if (!bestMove && !startsWith(line, "info ")) return;
    // A reply may land while the previous move still slides (a ponder search that
    // ended on its own): that move is adjudicated first, and its turn may already
    // replay this very reply.
    if (bestMove && host_.isMoveInFlight()) {
        host_.finishMoveInFlight();
        if (state_.gameOver) return;
    }
    Board scratch;
    scratch.setPosition(engine.lastPositionCommand());
    if (bestMove) {
        handleBestMove(engine, line, scratch);
    } else if (source == LINE_FROM_MAIN || source == LINE_FROM_SECONDARY) {
        if (scratch.toFen() == state_.board.toFen())
            (source == LINE_FROM_MAIN ? state_.mainEngineMoveText : state_.secondaryEngineMoveText)
                .clear();
        host_.engineInfo(source == LINE_FROM_MAIN, line);
        state_.thoughts.note(source == LINE_FROM_MAIN, line, scratch);
        appendThinkingInfo(scratch, line, displayText(engine.name()), source == LINE_FROM_MAIN);
    }
}

void EngineGlue::handleBestMove(EngineProcess& engine, const std::string& line, Board& scratch) {
    const std::string name = displayText(engine.name());
    const std::string searchedFen = scratch.toFen();
    const std::string rest = line.substr(9);
    const std::string move = rest.substr(0, rest.find(' '));
    bool ponderWanted = (engine.getOptions().compatFlags & COMPAT_PONDER)
        && state_.redPlayer() != state_.blackPlayer();
    if (!scratch.makeMoveText(move)) {
        warn(name + " 输出错误信息！");
        host_.engineFault(state_.isMainEngine(engine), ResultReason::IllegalMove);
        return;
    }
    std::string ponderMove;
    if (const std::size_t at = line.find("ponder "); at != std::string::npos)
        ponderMove = line.substr(at + 7);
    else
        ponderWanted = false;
    if (ponderWanted && !scratch.makeMoveText(ponderMove)) {
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
            other.remaining(now), true, "");
        scratch.undoMove();
        guessOf(engine) = scratch.moveToChinese(ponderMove);
    }
    engine.clearReply();
    flow_.playMove(move);
}

void EngineGlue::appendThinkingInfo(
    Board& scratch, const std::string& line, const std::string& name, bool main) {
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
    for (EngineProcess* engine : { &state_.mainEngine, &state_.secondaryEngine }) {
        const int source = engine == &state_.mainEngine ? LINE_FROM_MAIN : LINE_FROM_SECONDARY;
        for (std::string line = engine->readLine(); !line.empty(); line = engine->readLine())
            handleEngineLine(*engine, line, source);
    }
}

void EngineGlue::stopThinking() {
    const int toMove = state_.playerToMove();
    if (toMove == PLAYER_MAIN_ENGINE && state_.mainEngine.isBusy())
        state_.mainEngine.sendLine("stop");
    else if (toMove == PLAYER_SECONDARY_ENGINE && state_.secondaryEngine.isBusy())
        state_.secondaryEngine.sendLine("stop");
}

void EngineGlue::forgetSearch(EngineProcess& engine) {
    if (engine.state() == EngineState::Pondering) engine.stopSearch(STOP_FOR_SEARCH_MS);
    engine.clearReply();
    guessOf(engine).clear();
}

} // namespace qinglan
