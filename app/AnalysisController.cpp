#include "app/AnalysisController.h"

#include "analysis/AnalysisText.h"
#include "app/MoveArrow.h"
#include "game/Game.h"
#include "game/GameHost.h"
#include "game/Players.h"
#include "platform/TextEncoding.h"

#include <algorithm>

namespace qinglan {

namespace {

constexpr int HINT_STOP_WAIT_MS = 500;

std::string positionKey(const Board& board) {
    const Board::History history = board.history();
    std::string key = history.fen;
    for (const std::string& move : history.moves) key += " " + move;
    return key;
}

} // namespace

AnalysisController::AnalysisController(
    Game& game, MoveArrow& arrow, std::function<ThinkingDisplay*()> display, QObject* parent)
    : QObject(parent)
    , game_(game)
    , arrow_(arrow)
    , display_(std::move(display)) { }

bool AnalysisController::setAnalysing(bool on) {
    EngineProcess& engine = game_.studyEngine();
    if (on == live_.active()) return true;
    if (!on) {
        live_.stop(engine);
        arrow_.showMove({});
        return true;
    }
    if (!engine.isRunning()) return false;
    dropHint();
    // An engine studying must never be asked to play as well.
    game_.flow().setComputerSides(false, false);
    game_.flow().stopEngines(LiveAnalysis::STOP_WAIT_MS);
    engine.clearReply();
    live_.show(engine, game_.state().board);
    shownKey_ = positionKey(game_.state().board);
    showLines();
    return true;
}

void AnalysisController::setLines(int lines) {
    live_.setLines(game_.studyEngine(), lines);
    if (live_.active()) showLines();
}

std::int64_t AnalysisController::hintTimeMs() const {
    const LevelSettings& level = game_.state().currentLevel;
    if (level.mode == LEVEL_MOVE_TIME && level.moveTimeTenths > 0)
        return std::min<std::int64_t>(HINT_MS, level.moveTimeTenths * 100LL);
    return HINT_MS;
}

bool AnalysisController::hint() {
    EngineProcess& engine = game_.studyEngine();
    if (live_.active() || hintRunning_ || !engine.isRunning() || engine.isBusy()) return false;
    if (game_.playerToMove() != PLAYER_HUMAN || game_.state().gameOver) return false;
    Board::History history = game_.state().board.history();
    SearchRequest request { std::move(history.fen), std::move(history.moves), {}, SearchMode::Play,
        SearchLimits { hintTimeMs(), {}, {}, {} }, 1 };
    arrow_.showMove({});
    if (!engine.startSearch(request)) return false;
    hintRunning_ = true;
    shownKey_ = positionKey(game_.state().board);
    return true;
}

void AnalysisController::tick() {
    if (!ownsMainEngine()) {
        // A hint's arrow belongs to the position it was asked on.
        if (!arrow_.move().empty()) followPosition();
        return;
    }
    EngineProcess& engine = game_.studyEngine();
    if (!engine.isRunning()) {
        hintRunning_ = false;
        if (live_.active()) {
            live_.stop(engine);
            arrow_.showMove({});
            emit analysisEnded();
        }
        return;
    }
    followPosition();
    if (hintRunning_) pollHint();
    if (live_.active() && live_.poll(engine)) {
        showLines();
        emit linesChanged();
    }
}

void AnalysisController::followPosition() {
    const std::string key = positionKey(game_.state().board);
    if (key == shownKey_) return;
    shownKey_ = key;
    arrow_.showMove({});
    if (hintRunning_) dropHint();
    if (!live_.active()) return;
    live_.show(game_.studyEngine(), game_.state().board);
    // The old position's lines go at once, before the engine says anything new.
    showLines();
}

void AnalysisController::showLines() {
    const std::vector<ThinkingLine>& lines = live_.lines();
    const bool best = !lines.empty() && !lines.front().pv.empty();
    arrow_.showMove(best ? lines.front().pv.front() : std::string());
    ThinkingDisplay* display = display_();
    if (!display) return;
    display->clear(true);
    display->append(true,
        "主引擎 " + displayText(game_.engine(true).name()) + " 分析（"
            + std::to_string(live_.lineCount()) + " 条线，红方视角）：\r\n\r\n"
            + analysisText(game_.state().board, lines));
}

void AnalysisController::pollHint() {
    EngineProcess& engine = game_.studyEngine();
    while (std::optional<ReceivedLine> received = engine.receive()) {
        if (!received->reply) continue;
        if (const auto* best = std::get_if<BestMove>(&*received->reply)) {
            hintRunning_ = false;
            engine.clearReply();
            arrow_.showMove(best->move);
            return;
        }
        if (std::holds_alternative<NoMove>(*received->reply)) {
            hintRunning_ = false;
            engine.clearReply();
            return;
        }
    }
}

void AnalysisController::dropHint() {
    if (!hintRunning_) return;
    hintRunning_ = false;
    EngineProcess& engine = game_.studyEngine();
    if (engine.isBusy()) engine.stopSearch(HINT_STOP_WAIT_MS);
    engine.clearReply();
}

} // namespace qinglan
