#include "match/GameSlot.h"

#include "platform/TextEncoding.h"
#include "platform/Ticks.h"

#include <algorithm>
#include <csignal>
#include <pthread.h>
#include <unistd.h>

namespace qinglan {

namespace {

// Longest a search may run past its budget before its engine loses.
constexpr std::int64_t REPLY_MARGIN_MS = 2000;
constexpr std::int64_t DEPTH_SEARCH_LIMIT_MS = 60000;
// How often an engine whose output closed is checked for its end.
constexpr std::int64_t EXIT_CHECK_MS = 10;

// Signals are for the thread that runs the tournament: a worker that took Ctrl-C
// would leave that thread asleep in its wait.
void blockSignalsOfThisThread() {
    sigset_t all;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, nullptr);
}

} // namespace

GameSlot::GameSlot(const std::vector<EngineEntry>& engines, const LevelSettings& level, int wakeFd)
    : engines_(engines)
    , level_(level)
    , wakeFd_(wakeFd) {
    host_.attach(game_);
}

GameSlot::~GameSlot() {
    if (worker_.joinable()) worker_.join();
}

void GameSlot::prepare(const std::optional<ScheduledGame>& next, const std::string& fen) {
    if (worker_.joinable()) worker_.join();
    phase_ = Phase::Preparing;
    workerDone_ = false;
    if (next) scheduled_ = *next;
    // Only this thread touches the slot's game until collectPreparation joins it.
    worker_ = std::thread([this, next, fen] {
        blockSignalsOfThisThread();
        getReady(next, fen);
        workerDone_ = true;
        const char byte = 0;
        [[maybe_unused]] const ssize_t written = ::write(wakeFd_, &byte, 1);
    });
}

bool GameSlot::collectPreparation() {
    if (phase_ != Phase::Preparing || !workerDone_) return false;
    worker_.join();
    phase_ = readyToPlay_ ? Phase::Playing : Phase::Idle;
    waitIndex_[0] = waitIndex_[1] = -1;
    return true;
}

void GameSlot::getReady(const std::optional<ScheduledGame>& next, const std::string& fen) {
    failedLoads_.clear();
    for (bool main : { true, false })
        if (unloadAfter_[main]) {
            game_.engine(main).unload();
            unloadAfter_[main] = false;
        }
    game_.flow().stopEngines(EngineGlue::STOP_FOR_SEARCH_MS);
    readyToPlay_ = next.has_value();
    if (!next) return;
    placeEngines(*next);
    begin(fen);
}

void GameSlot::placeEngines(const ScheduledGame& next) {
    // Engines already loaded stay in their seat; colours are a matter of sides.
    const bool redInMain = loaded_[1] == next.red || loaded_[0] == next.black
        || !(loaded_[1] == next.black || loaded_[0] == next.red);
    const int wanted[2] = { redInMain ? next.black : next.red, redInMain ? next.red : next.black };
    for (bool main : { true, false }) {
        const bool running = game_.engine(main).isRunning();
        if (loaded_[main] != wanted[main] || !running) load(main, wanted[main]);
    }
    mainIsRed_ = redInMain;
}

bool GameSlot::load(bool main, int engineIndex) {
    const EngineEntry& entry = engines_.at(static_cast<std::size_t>(engineIndex));
    EngineProcess& engine = game_.engine(main);
    EngineOptions o = engine.getOptions();
    o.compatFlags = COMPAT_STARTPOS;
    o.protocol = entry.protocol;
    o.ownOptions = entry.ownOptions;
    engine.setOptions(o);
    outputClosed_[main] = false;
    if (!engine.loadProgram(entry.path)) {
        loaded_[main] = -1;
        failedLoads_.push_back(engineIndex);
        names_[main] = displayText(entry.path);
        return false;
    }
    loaded_[main] = engineIndex;
    for (const std::string& line : entry.initLines) engine.sendLine(line);
    const std::string& name = engine.name();
    names_[main] = displayText(name.empty() ? entry.path : name);
    return true;
}

void GameSlot::begin(const std::string& fen) {
    game_.flow().setComputerRed(false);
    game_.flow().setComputerBlack(false);
    host_.messages.clear();
    host_.faults.clear();
    for (std::optional<ThinkingLine>& info : host_.lastInfo) info.reset();
    comments_.clear();
    fault_.reset();
    game_.flow().newGame(fen, level_);
    game_.flow().setSecondaryPlaysRed(!mainIsRed_);
    game_.flow().setComputerRed(true);
    game_.flow().setComputerBlack(true);
    watch();
}

void GameSlot::addWaits(std::vector<pollfd>& fds, std::int64_t& deadline) {
    const std::int64_t now = tickMs();
    for (bool main : { true, false }) {
        waitIndex_[main] = -1;
        const int fd = game_.engine(main).outputDescriptor();
        if (fd < 0) continue;
        if (outputClosed_[main]) {
            deadline = std::min(deadline, now + EXIT_CHECK_MS);
            continue;
        }
        waitIndex_[main] = static_cast<int>(fds.size());
        fds.push_back({ fd, POLLIN, 0 });
    }
    if (fault_) deadline = now;
    deadline = std::min(deadline, watchedSince_ + replyLimitMs() + 1);
    const GameState& state = game_.state();
    if (level_.isCountdown() && !state.gameOver) {
        const SideClock& clock = state.board.isRedToMove() ? state.redClock : state.blackClock;
        deadline = std::min(deadline, now + std::max<std::int64_t>(0, clock.remaining(now) + 1));
    }
}

std::optional<MatchGame> GameSlot::step(const std::vector<pollfd>& fds) {
    if (phase_ != Phase::Playing) return std::nullopt;
    for (bool main : { true, false })
        if (game_.takeExitedEngine(main))
            return finish(lossOf(main == mainIsRed_, ResultReason::EngineCrash));
    for (bool main : { true, false }) {
        if (waitIndex_[main] < 0) continue;
        const short events = fds[static_cast<std::size_t>(waitIndex_[main])].revents;
        if (events & POLLIN) game_.engines().pollEngine(game_.engine(main));
        // Closed without data and not yet seen to end: no longer waited on, or the
        // wait would return at once until the process is gone.
        if ((events & (POLLHUP | POLLERR)) && !(events & POLLIN)) outputClosed_[main] = true;
    }
    if (fault_ && fault_->plies == plies()) return finish(fault_->result);
    fault_.reset();
    for (const HeadlessHost::EngineFault& fault : host_.faults)
        fault_ = Fault { lossOf(fault.mainEngine == mainIsRed_, fault.reason), plies() };
    host_.faults.clear();
    host_.finishMoveInFlight();
    game_.flow().checkTimeouts();
    if (const std::optional<GameResult>& result = game_.state().result) return finish(*result);
    if (plies() != watchedPlies_) {
        noteEvaluation();
        watch();
    }
    if (tickMs() - watchedSince_ > replyLimitMs()) {
        const bool red = game_.state().board.isRedToMove();
        // A hung engine starts afresh for its next game.
        unloadAfter_[red == mainIsRed_] = true;
        return finish(lossOf(red, ResultReason::NoReply));
    }
    return std::nullopt;
}

void GameSlot::noteEvaluation() {
    const Board& board = game_.state().board;
    const bool redMoved = !board.isRedToMove();
    const bool main = redMoved == mainIsRed_;
    const int timeMs = static_cast<int>(tickMs() - watchedSince_);
    while (static_cast<int>(comments_.size()) < plies() - 1) comments_.emplace_back();
    comments_.push_back(evaluationOfInfo(host_.lastInfo[main], timeMs));
    host_.lastInfo[main].reset();
}

void GameSlot::watch() {
    watchedPlies_ = plies();
    watchedSince_ = tickMs();
}

std::int64_t GameSlot::replyLimitMs() const {
    if (level_.mode == LEVEL_DEPTH) return DEPTH_SEARCH_LIMIT_MS;
    if (level_.mode == LEVEL_TIME_INCREMENT) return level_.gameTimeMs + REPLY_MARGIN_MS;
    return 2LL * level_.moveTimeTenths * 100 + REPLY_MARGIN_MS;
}

MatchGame GameSlot::finish(const GameResult& result) {
    if (plies() != watchedPlies_) noteEvaluation(); // the move that ended the game
    MatchGame record;
    record.round = scheduled_.round;
    record.red = names_[mainIsRed_];
    record.black = names_[!mainIsRed_];
    record.outcome = result;
    record.result = pgnResultToken(result);
    record.reason = resultReasonText(result, record.red, record.black);
    const Board& board = game_.state().board;
    record.fen = board.startFen();
    for (const MoveRecordEntry& entry : board.record())
        record.moves.push_back(moveToCoord(entry.move));
    record.comments = comments_;
    // A result the runner declares ends the game as the program's own verdicts do,
    // so no later toggle starts another search in it.
    if (!game_.state().gameOver) game_.flow().announceResult(result);
    // The engines are stopped by the next preparation, on the slot's thread.
    phase_ = Phase::Idle;
    return record;
}

void GameSlot::unloadEngines() {
    if (worker_.joinable()) worker_.join();
    EngineProcess* engines[] = { &game_.engine(true), &game_.engine(false) };
    EngineProcess::unloadTogether(engines);
    loaded_[0] = loaded_[1] = -1;
}

} // namespace qinglan
