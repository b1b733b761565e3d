#pragma once

#include "match/CrossTable.h"
#include "match/GameSlot.h"
#include "match/Schedule.h"
#include "match/Sprt.h"

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qinglan {

struct TournamentOptions {
    std::vector<EngineEntry> engines;
    ScheduleKind kind = ScheduleKind::Match;
    int gamesPerPairing = 2;
    int concurrency = 1;
    LevelSettings level;
    std::vector<std::string> openings; // start positions; none: the standard start
    // The sequential test on the pairs of the first pairing; it ends the run once
    // decided.
    std::optional<Sprt> sprt;
};

// A pair (both games of one opening and pairing) once its second game is in.
struct PairReport {
    int pair = 0; // 1-based, in the order pairs were scheduled
    int halfPoints = 0; // the pairing's first engine's, 0..4
    Pentanomial sofar; // every finished pair of the first pairing
    double llr = 0; // of the SPRT after this pair; 0 without one
};

// Plays a schedule of games between engines, as many at once as asked, each on its own
// Game. One thread waits on every running engine's output at once (up to the nearest
// clock or reply deadline), so a game reacts to an engine's line as soon as it comes;
// getting a slot ready between games runs on the slot's own thread.
class Tournament {
public:
    explicit Tournament(TournamentOptions options);
    // Unloads every engine, the slots side by side.
    ~Tournament();
    Tournament(const Tournament&) = delete;
    Tournament& operator=(const Tournament&) = delete;

    // Called on the running thread as games and pairs finish.
    std::function<void(const MatchGame&, const ScheduledGame&)> onGame;
    std::function<void(const PairReport&)> onPair;

    // Plays until the schedule is done, the SPRT decides or stop turns true (games under
    // way are then left unfinished and uncounted). False, with
    // error set, when an engine could not be loaded before its first game.
    bool run(const std::atomic<bool>& stop, std::string& error);

    int gamesScheduled() const { return static_cast<int>(schedule_.size()); }
    int gamesFinished() const { return finished_; }
    const CrossTable& table() const { return table_; }
    // Each engine's name as it gave it (its path until loaded).
    const std::vector<std::string>& names() const { return names_; }
    const Pentanomial& pairs() const { return pairs_; }
    double llr() const { return llr_; }
    SprtVerdict verdict() const { return verdict_; }

private:
    void startNext(GameSlot& slot);
    void record(const MatchGame& game, const ScheduledGame& scheduled);
    bool checkLoads(const GameSlot& slot, std::string& error);
    void unloadAll();

    TournamentOptions options_;
    std::vector<ScheduledGame> schedule_;
    std::size_t nextGame_ = 0;
    int finished_ = 0;
    int wakePipe_[2] = { -1, -1 };
    std::vector<std::unique_ptr<GameSlot>> slots_;
    CrossTable table_;
    std::vector<std::string> names_;
    std::vector<bool> everLoaded_;
    std::vector<int> firstHalfPoints_; // by pair: the first game's half points, -1 before
    Pentanomial pairs_;
    double llr_ = 0;
    SprtVerdict verdict_ = SprtVerdict::Undecided;
};

} // namespace qinglan
