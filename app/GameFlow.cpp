#include "app/GameFlow.h"

#include "app/GameHost.h"
#include "app/GlobalState.h"
#include "platform/MessageBox.h"

namespace qinglan {

namespace {
constexpr const char* BOX_TITLE = "青岚象棋";
} // namespace

std::string resultMessage(int status, int verdict) {
    switch (status) {
    case STATUS_NATURAL_DRAW:
        return "自然作和，重新开始吗？";
    case STATUS_NO_CAPTURE_DRAW:
        return "50回合不吃子作和，重新开始吗？";
    case STATUS_RED_WINS:
        return "红胜，重新开始吗？";
    case STATUS_BLACK_WINS:
        return "黑胜，重新开始吗？";
    default:
        break;
    }
    if ((verdict & 24) == RED) return "红方犯规，黑胜，重新开始吗？";
    if ((verdict & 24) == BLACK) return "黑方犯规，红胜，重新开始吗？";
    if (verdict != 0) return "双方不变着作和，重新开始吗？";
    return {};
}

GameFlow::GameFlow(GlobalState& state, GameHost& host)
    : state_(state)
    , host_(host) { }

bool GameFlow::playMove(const std::string& moveText) {
    Board& board = state_.board;
    if (!board.isLegalMoveText(moveText)) return false;
    const MoveSquares squares = squaresOfMove(moveText);
    const bool red = board.isRedToMove();
    (red ? state_.redClock : state_.blackClock).addToLimit(state_.currentLevel.incrementMs);
    state_.moveList.append(MoveList::lineFor(board.plyCount(), red, board.moveToChinese(moveText)));
    host_.moveListChanged();
    pauseClocks();
    state_.selection = {};
    host_.startMoveAnimation(squares.from, squares.to);
    return board.makeMoveText(moveText);
}

void GameFlow::nextTurn(const std::string& extraText) {
    // A finished game starts no turn and gets no second result, whatever is toggled
    // or taken back afterwards.
    if (state_.gameOver || checkGameEnd()) return;
    const SideChecks& sides = state_.checks.sides;
    if (!sides.computerRed && !sides.computerBlack) stopEngines(100);
    const bool computerToMove
        = state_.board.isRedToMove() ? sides.computerRed : sides.computerBlack;
    if (!computerToMove) return;
    if (!state_.mainEngine.isRunning() && !state_.secondaryEngine.isRunning()) {
        host_.showMessage("没有加载引擎！", BOX_TITLE, MESSAGE_FLAG_INFORMATION);
        return;
    }
    const std::int64_t now = state_.now();
    const bool red = state_.board.isRedToMove();
    const std::int64_t own = (red ? state_.redClock : state_.blackClock).remaining(now);
    const std::int64_t other = (red ? state_.blackClock : state_.redClock).remaining(now);
    EngineProcess* engine = nullptr;
    switch (state_.playerToMove()) {
    case PLAYER_MAIN_ENGINE:
        engine = &state_.mainEngine;
        break;
    case PLAYER_SECONDARY_ENGINE:
        engine = &state_.secondaryEngine;
        break;
    default:
        return;
    }
    if (startSearch_) startSearch_(*engine, own, other, extraText);
}

bool GameFlow::checkGameEnd() {
    const int status = state_.board.gameStatus();
    const int verdict = state_.board.repetitionVerdict();
    if (status != 0 || verdict != 0) {
        pauseClocks();
        stopEngines(100);
        announceResult(resultMessage(status, verdict));
        return true;
    }
    state_.clockToMove().resume(state_.now());
    return false;
}

void GameFlow::announceResult(const std::string& message) {
    // Set before the box: both timers keep firing inside its message loop.
    state_.gameOver = 1;
    askRestart(message);
}

void GameFlow::askRestart(const std::string& message) {
    if (host_.showMessage(message, BOX_TITLE, MESSAGE_FLAG_YES_NO) == MESSAGE_YES)
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
    state_.selection = {};
    state_.moveList.clear();
    host_.moveListChanged();
    host_.hideMarkers();
    host_.redrawPieces(true);
    state_.mainEngineMoveText.clear();
    state_.secondaryEngineMoveText.clear();
    host_.refreshStatus(true);
    stopEngines(1000);
    state_.mainEngine.sendLine("setoption newgame");
    state_.secondaryEngine.sendLine("setoption newgame");
    state_.gameOver = 0;
    for (SideClock* clock : { &state_.redClock, &state_.blackClock }) {
        clock->reset();
        clock->setLimit(state_.currentLevel.gameTimeMs);
    }
    nextTurn();
}

void GameFlow::takeBack() {
    Board& board = state_.board;
    host_.cancelMoveAnimation();
    if (board.plyCount() > 0) {
        stopEngines(1000);
        board.undoMove();
        state_.moveList.removeLast();
    }
    if (board.plyCount() > 0) {
        board.undoMove();
        state_.moveList.removeLast();
    }
    host_.moveListChanged();
    // The side that was to move stops counting; nextTurn starts the clock of the side
    // now to move. Without this both clocks would run at once.
    pauseClocks();
    host_.redrawPieces(true);
    host_.refreshStatus(true);
    nextTurn();
}

void GameFlow::banLastMove() {
    Board& board = state_.board;
    if (board.plyCount() <= 0) return;
    const SideChecks& sides = state_.checks.sides;
    const bool lastMoverIsComputer = board.isRedToMove() ? sides.computerBlack : sides.computerRed;
    if (!lastMoverIsComputer) return;
    const std::string extraText = "banmoves " + board.lastMoveText();
    host_.cancelMoveAnimation();
    board.undoMove();
    state_.moveList.removeLast();
    host_.moveListChanged();
    stopEngines(1000);
    state_.mainEngine.clearReply();
    state_.secondaryEngine.clearReply();
    pauseClocks();
    // Show the position that the engine will search again, not the banned one.
    host_.redrawPieces(true);
    host_.refreshStatus(true);
    nextTurn(extraText);
}

void GameFlow::setComputerRed(bool on) {
    state_.checks.sides.computerRed = on;
    host_.refreshStatus(true);
    nextTurn();
}

void GameFlow::setComputerBlack(bool on) {
    state_.checks.sides.computerBlack = on;
    host_.refreshStatus(true);
    nextTurn();
}

std::optional<std::string> GameFlow::checkTimeouts() {
    if (state_.gameOver || !state_.currentLevel.isCountdown()) return std::nullopt;
    const std::int64_t now = state_.now();
    std::optional<std::string> message;
    if (state_.redClock.remaining(now) < 0)
        message = "红方超时作负，重新开始吗？";
    else if (state_.blackClock.remaining(now) < 0)
        message = "黑方超时作负，重新开始吗？";
    // The clocks keep their state: the loser's time goes on counting on the panel.
    if (message) state_.gameOver = 1;
    return message;
}

void GameFlow::stopEngines(int timeoutMs) {
    state_.mainEngine.stopSearch(timeoutMs);
    state_.secondaryEngine.stopSearch(timeoutMs);
}

void GameFlow::pauseClocks() {
    const std::int64_t now = state_.now();
    state_.redClock.pause(now);
    state_.blackClock.pause(now);
}

} // namespace qinglan
