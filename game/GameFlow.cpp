#include "game/GameFlow.h"

#include "game/GameHost.h"
#include "game/GameState.h"
#include "game/PositionFile.h"
#include "platform/MessageCodes.h"

namespace qinglan {

namespace {
constexpr const char* BOX_TITLE = "青岚象棋";
constexpr int STOP_FOR_NEW_POSITION_MS = 1000;
constexpr int STOP_AT_REST_MS = 100;
constexpr const char* BRANCH_QUESTION = "这一步之后棋谱里已有着法。\r\n"
                                        "是：把这步棋添加为变着（原有着法保留）\r\n"
                                        "否：替换这一步之后的全部着法";
} // namespace

GameFlow::GameFlow(GameState& state, GameHost& host)
    : state_(state)
    , host_(host)
    , records_(state) {
    records_.startFromBoard();
}

bool GameFlow::playMove(const std::string& moveText) {
    // The previous move is adjudicated before this one is played, whoever sends it.
    if (host_.isMoveInFlight()) host_.finishMoveInFlight();
    Board& board = state_.board;
    if (!board.isLegalMoveText(moveText)) return false;
    if (state_.gameOver) {
        // Where the game ended nothing more is played; a position browsed back is
        // played on as a game of its own.
        if (state_.record.game.firstChild(state_.record.current) == GameRecord::NONE) return false;
        resetForNewPosition();
    }
    recordMove(moveText);
    const bool red = board.isRedToMove();
    (red ? state_.redClock : state_.blackClock).addToLimit(state_.currentLevel.incrementMs);
    host_.moveListChanged();
    pauseClocks();
    host_.clearSelection();
    host_.startMoveAnimation(moveText);
    return board.makeMoveText(moveText);
}

void GameFlow::recordMove(const std::string& moveText) {
    Branching how = Branching::AddVariation;
    if (records_.needsBranchChoice(moveText)
        && host_.showMessage(BRANCH_QUESTION, BOX_TITLE, MESSAGE_FLAG_YES_NO) == MESSAGE_NO)
        how = Branching::ReplaceRest;
    std::optional<Evaluation> evaluation;
    const int mover = state_.playerToMove();
    if (mover == PLAYER_MAIN_ENGINE || mover == PLAYER_SECONDARY_ENGINE)
        evaluation = state_.thoughts.take(mover == PLAYER_MAIN_ENGINE, state_.board);
    records_.recordMove(moveText, how, evaluation);
}

void GameFlow::browseTo(int node) {
    if (node == state_.record.current || node < 0 || node >= state_.record.game.nodeCount()) return;
    // A slide in flight has its move on the board already; its turn is not run.
    host_.cancelMoveAnimation();
    pauseClocks();
    stopEngines(STOP_AT_REST_MS);
    records_.moveTo(node);
    host_.clearSelection();
    host_.moveListChanged();
    host_.hideMarkers();
    host_.redrawPieces(true);
    host_.refreshStatus(true);
}

void GameFlow::openRecord(GameRecord game) {
    host_.cancelMoveAnimation();
    records_.open(std::move(game));
    resetForNewPosition();
    pauseClocks();
}

void GameFlow::nextTurn(const std::vector<std::string>& banned) {
    // A finished game starts no turn and gets no second result, whatever is toggled
    // or taken back afterwards; a slide in flight runs the turn when it ends.
    if (state_.gameOver || host_.isMoveInFlight() || checkGameEnd()) return;
    const SideChecks& sides = state_.sides;
    if (!sides.computerRed && !sides.computerBlack) stopEngines(STOP_AT_REST_MS);
    const bool red = state_.board.isRedToMove();
    if (!(red ? sides.computerRed : sides.computerBlack)) return;
    if (!state_.mainEngine.isRunning() && !state_.secondaryEngine.isRunning()) {
        host_.showMessage("没有加载引擎！", BOX_TITLE, MESSAGE_FLAG_INFORMATION);
        return;
    }
    EngineProcess* engine = state_.engineOf(state_.playerToMove());
    if (!engine || !startSearch_) return;
    const std::int64_t now = state_.now();
    const std::int64_t own = (red ? state_.redClock : state_.blackClock).remaining(now);
    const std::int64_t other = (red ? state_.blackClock : state_.redClock).remaining(now);
    startSearch_(*engine, own, other, banned);
}

bool GameFlow::checkGameEnd() {
    if (const std::optional<GameResult> result = boardResult(state_.board)) {
        pauseClocks();
        stopEngines(STOP_AT_REST_MS);
        announceResult(*result);
        return true;
    }
    state_.clockToMove().resume(state_.now());
    return false;
}

void GameFlow::announceResult(const GameResult& result) {
    // Set before the box: both timers keep firing inside its message loop.
    state_.gameOver = 1;
    state_.result = result;
    noteResult(result);
    askRestart(result);
}

void GameFlow::noteResult(const GameResult& result) {
    records_.noteResult(result, state_.redPlayerName(), state_.blackPlayerName());
}

void GameFlow::askRestart(const GameResult& result) {
    if (host_.showMessage(restartQuestion(result), BOX_TITLE, MESSAGE_FLAG_YES_NO) == MESSAGE_YES)
        host_.offerNewGame();
}

void GameFlow::newGame(
    const std::optional<std::string>& fen, const std::optional<LevelSettings>& level) {
    host_.cancelMoveAnimation();
    if (fen)
        state_.board.setPosition(*fen);
    else
        state_.board.setStartPosition();
    if (level) state_.currentLevel = *level;
    records_.startFromBoard();
    restart();
}

void GameFlow::openPosition(std::string_view text) {
    host_.cancelMoveAnimation();
    loadPositionText(text, state_.board, state_.moveList);
    records_.startFromBoard();
    restart();
}

void GameFlow::restart() {
    resetForNewPosition();
    nextTurn();
}

void GameFlow::resetForNewPosition() {
    host_.clearSelection();
    host_.moveListChanged();
    host_.hideMarkers();
    host_.redrawPieces(true);
    state_.mainEngineMoveText.clear();
    state_.secondaryEngineMoveText.clear();
    if (ThinkingDisplay* display = host_.thinkingDisplay()) {
        display->clear(true);
        display->clear(false);
    }
    host_.refreshStatus(true);
    stopEngines(STOP_FOR_NEW_POSITION_MS);
    // The replies the stop fetched belong to the old game: the same position in this one
    // (the start, mostly) is searched afresh at this game's level.
    forgetReplies();
    state_.mainEngine.sendLine("setoption newgame");
    state_.secondaryEngine.sendLine("setoption newgame");
    state_.gameOver = 0;
    state_.result.reset();
    for (SideClock* clock : { &state_.redClock, &state_.blackClock }) {
        clock->reset();
        clock->setLimit(state_.currentLevel.gameTimeMs);
    }
    state_.thoughts.clear();
}

void GameFlow::takeBack() {
    host_.cancelMoveAnimation();
    if (state_.board.plyCount() > 0) {
        stopEngines(STOP_FOR_NEW_POSITION_MS);
        dropLastPly();
    }
    if (state_.board.plyCount() > 0) dropLastPly();
    host_.moveListChanged();
    // The side that was to move stops counting; nextTurn starts the clock of the side
    // now to move. Without this both clocks would run at once.
    pauseClocks();
    host_.clearSelection();
    host_.redrawPieces(true);
    host_.refreshStatus(true);
    nextTurn();
}

void GameFlow::banLastMove() {
    Board& board = state_.board;
    if (board.plyCount() <= 0) return;
    const SideChecks& sides = state_.sides;
    const bool lastMoverIsComputer = board.isRedToMove() ? sides.computerBlack : sides.computerRed;
    if (!lastMoverIsComputer) return;
    const std::vector<std::string> banned { board.lastMoveText() };
    host_.cancelMoveAnimation();
    dropLastPly();
    host_.moveListChanged();
    stopEngines(STOP_FOR_NEW_POSITION_MS);
    forgetReplies();
    pauseClocks();
    // Show the position that the engine will search again, not the banned one.
    host_.clearSelection();
    host_.redrawPieces(true);
    host_.refreshStatus(true);
    nextTurn(banned);
}

void GameFlow::dropLastPly() {
    records_.takeBackPly();
}

void GameFlow::setComputerRed(bool on) {
    state_.sides.computerRed = on;
    host_.refreshStatus(true);
    nextTurn();
}

void GameFlow::setComputerBlack(bool on) {
    state_.sides.computerBlack = on;
    host_.refreshStatus(true);
    nextTurn();
}

void GameFlow::setComputerSides(bool red, bool black) {
    state_.sides.computerRed = red;
    state_.sides.computerBlack = black;
}

void GameFlow::setSecondaryPlaysRed(bool on) {
    state_.sides.secondaryRed = on;
    host_.refreshStatus(true);
}

std::optional<GameResult> GameFlow::checkTimeouts() {
    if (state_.gameOver || !state_.currentLevel.isCountdown()) return std::nullopt;
    const std::int64_t now = state_.now();
    if (state_.redClock.remaining(now) < 0)
        state_.result = lossOf(true, ResultReason::Time);
    else if (state_.blackClock.remaining(now) < 0)
        state_.result = lossOf(false, ResultReason::Time);
    // The clocks keep their state: the loser's time goes on counting on the panel.
    if (state_.result) {
        state_.gameOver = 1;
        noteResult(*state_.result);
    }
    return state_.result;
}

void GameFlow::stopEngines(int timeoutMs) {
    state_.mainEngine.stopSearch(timeoutMs);
    state_.secondaryEngine.stopSearch(timeoutMs);
}

void GameFlow::forgetReplies() {
    state_.mainEngine.clearReply();
    state_.secondaryEngine.clearReply();
}

void GameFlow::pauseClocks() {
    const std::int64_t now = state_.now();
    state_.redClock.pause(now);
    state_.blackClock.pause(now);
}

} // namespace qinglan
