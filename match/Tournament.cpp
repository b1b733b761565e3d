#include "match/Tournament.h"

#include "platform/Ticks.h"
#include "rules/Board.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace qinglan {

namespace {

// The longest wait without any deadline, so a stop request is seen soon enough.
constexpr std::int64_t LONGEST_WAIT_MS = 200;

// The first engine's half points in one game of its pairing: 0, 1 or 2.
int firstEngineHalfPoints(const ScheduledGame& game, Winner winner) {
    if (winner == Winner::Draw) return 1;
    return (winner == Winner::Red) == (game.red == game.first) ? 2 : 0;
}

} // namespace

Tournament::Tournament(TournamentOptions options)
    : options_(std::move(options))
    , table_(static_cast<int>(options_.engines.size())) {
    if (options_.openings.empty()) options_.openings.emplace_back(START_FEN);
    schedule_ = makeSchedule(options_.kind, static_cast<int>(options_.engines.size()),
        options_.gamesPerPairing, static_cast<int>(options_.openings.size()));
    for (const EngineEntry& engine : options_.engines) names_.push_back(engine.path);
    everLoaded_.assign(options_.engines.size(), false);
    int pairCount = 0;
    for (const ScheduledGame& game : schedule_) pairCount = std::max(pairCount, game.pair + 1);
    firstHalfPoints_.assign(static_cast<std::size_t>(pairCount), -1);
}

Tournament::~Tournament() {
    unloadAll();
    for (int fd : wakePipe_)
        if (fd >= 0) ::close(fd);
}

void Tournament::unloadAll() {
    // Each slot waits for its own engines' grace; side by side, leaving takes as long
    // as the slowest slot.
    std::vector<std::thread> unloading;
    for (auto& slot : slots_) unloading.emplace_back([&slot] { slot->unloadEngines(); });
    for (std::thread& thread : unloading) thread.join();
    slots_.clear();
}

void Tournament::startNext(GameSlot& slot) {
    if (nextGame_ >= schedule_.size() || verdict_ != SprtVerdict::Undecided) {
        slot.prepare(std::nullopt, "");
        return;
    }
    const ScheduledGame& game = schedule_[nextGame_++];
    slot.prepare(game, options_.openings[static_cast<std::size_t>(game.opening)]);
}

bool Tournament::run(const std::atomic<bool>& stop, std::string& error) {
    if (pipe2(wakePipe_, O_CLOEXEC | O_NONBLOCK) != 0) {
        error = "cannot create a pipe";
        return false;
    }
    const std::size_t slotCount = std::min<std::size_t>(
        static_cast<std::size_t>(std::max(1, options_.concurrency)), schedule_.size());
    for (std::size_t k = 0; k < slotCount; ++k) {
        slots_.push_back(
            std::make_unique<GameSlot>(options_.engines, options_.level, wakePipe_[1]));
        startNext(*slots_.back());
    }
    std::vector<pollfd> fds;
    bool failed = false;
    // A decided test ends the run at once: games still under way would only add to a
    // verdict already reached.
    while (!stop && !failed && verdict_ == SprtVerdict::Undecided) {
        const bool busy = std::ranges::any_of(
            slots_, [](const auto& slot) { return slot->phase() != GameSlot::Phase::Idle; });
        if (!busy) break;
        fds.assign(1, pollfd { wakePipe_[0], POLLIN, 0 });
        const std::int64_t now = tickMs();
        std::int64_t deadline = now + LONGEST_WAIT_MS;
        for (auto& slot : slots_)
            if (slot->phase() == GameSlot::Phase::Playing) slot->addWaits(fds, deadline);
        const int timeout = static_cast<int>(std::max<std::int64_t>(0, deadline - now));
        if (poll(fds.data(), fds.size(), timeout) < 0 && errno != EINTR) break;
        char drained[64];
        while (::read(wakePipe_[0], drained, sizeof drained) > 0) { }
        for (auto& slot : slots_) {
            // Not even a game that ended at the same time counts after the verdict.
            if (verdict_ != SprtVerdict::Undecided) break;
            if (slot->collectPreparation() && !checkLoads(*slot, error)) failed = true;
            if (failed || slot->phase() != GameSlot::Phase::Playing) continue;
            if (std::optional<MatchGame> game = slot->step(fds)) {
                record(*game, slot->game());
                startNext(*slot);
            }
        }
    }
    unloadAll();
    return !failed;
}

bool Tournament::checkLoads(const GameSlot& slot, std::string& error) {
    const ScheduledGame& game = slot.game();
    for (int engine : { game.red, game.black })
        if (std::ranges::find(slot.failedLoads(), engine) == slot.failedLoads().end())
            everLoaded_[static_cast<std::size_t>(engine)] = true;
    // A program that never loaded is not an engine that lost: the run cannot go on. One
    // that loaded before and fails now loses its games for want of replies.
    for (int engine : slot.failedLoads())
        if (!everLoaded_[static_cast<std::size_t>(engine)]) {
            error = "cannot load " + options_.engines[static_cast<std::size_t>(engine)].path
                + " (no handshake)";
            return false;
        }
    return true;
}

void Tournament::record(const MatchGame& game, const ScheduledGame& scheduled) {
    ++finished_;
    table_.add(scheduled, game.outcome.winner);
    names_[static_cast<std::size_t>(scheduled.red)] = game.red;
    names_[static_cast<std::size_t>(scheduled.black)] = game.black;
    if (onGame) onGame(game, scheduled);
    int& first = firstHalfPoints_[static_cast<std::size_t>(scheduled.pair)];
    const int halfPoints = firstEngineHalfPoints(scheduled, game.outcome.winner);
    if (first < 0) {
        first = halfPoints;
        return;
    }
    PairReport report;
    report.pair = scheduled.pair + 1;
    report.halfPoints = first + halfPoints;
    if (scheduled.first == 0 && scheduled.second == 1) {
        pairs_.add(report.halfPoints);
        if (options_.sprt) {
            llr_ = pentanomialLlr(pairs_, options_.sprt->elo0, options_.sprt->elo1);
            verdict_ = options_.sprt->verdict(llr_);
        }
    }
    report.sofar = pairs_;
    report.llr = llr_;
    if (onPair) onPair(report);
}

} // namespace qinglan
