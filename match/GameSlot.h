#pragma once

#include "game/Game.h"
#include "game/HeadlessHost.h"
#include "match/MatchStats.h"
#include "match/Schedule.h"

#include <atomic>
#include <map>
#include <optional>
#include <poll.h>
#include <string>
#include <thread>
#include <vector>

namespace qinglan {

// An engine program of a tournament and how it is to be driven.
struct EngineEntry {
    std::string path;
    EngineProtocol protocol = EngineProtocol::Auto;
    // Own options by name, sent after the handshake when the engine announces them.
    std::map<std::string, std::string> ownOptions;
    std::vector<std::string> initLines; // sent as they stand after the handshake
};

// One game at a time on one Game with a headless host. While a game is played the
// slot only reacts to what its engines print (the caller waits on their descriptors).
// Between games it gets ready on a thread of its own: the last game's engines are
// stopped (a hung one unloaded), the next game's engines loaded where they differ and
// the game begun, so no other game's clock waits for any of that.
class GameSlot {
public:
    enum class Phase { Idle, Preparing, Playing };

    // wakeFd gets one byte when a preparation ends.
    GameSlot(const std::vector<EngineEntry>& engines, const LevelSettings& level, int wakeFd);
    // Waits for a preparation under way; the engines are unloaded by the Game.
    ~GameSlot();
    GameSlot(const GameSlot&) = delete;
    GameSlot& operator=(const GameSlot&) = delete;

    Phase phase() const { return phase_; }
    // From Idle or after a game: starts getting ready on the slot's thread, for next
    // from fen when given, else only to rest.
    void prepare(const std::optional<ScheduledGame>& next, const std::string& fen);
    // True once a preparation has ended (its thread joined): the slot is then Playing,
    // or Idle when no game was given.
    bool collectPreparation();
    // Engines (indexes) whose program could not be loaded in the last preparation.
    const std::vector<int>& failedLoads() const { return failedLoads_; }
    // While Playing: the engines' output descriptors to wait on, and the tick by which
    // step must run even when they stay quiet (a clock or reply deadline).
    void addWaits(std::vector<pollfd>& fds, std::int64_t& deadline);
    // While Playing, after the wait: takes the engines' lines and judges the game; the
    // record of a finished game (the slot is then Idle), or nothing.
    std::optional<MatchGame> step(const std::vector<pollfd>& fds);
    const ScheduledGame& game() const { return scheduled_; }
    // Both engines told to quit and waited for; for the end of a tournament.
    void unloadEngines();

private:
    // A fault an engine committed on its move, judged once the line that caused it is
    // fully handled.
    struct Fault {
        GameResult result;
        int plies = 0;
    };
      // A headless host that keeps each engine's last scored thinking line.
    class Host : public HeadlessHost {
    public:
        void engineInfo(bool mainEngine, const ThinkingLine& line) override {
            if (line.score) lastInfo[mainEngine] = line;
        }
        std::optional<ThinkingLine> lastInfo[2]; // [1] main slot, [0] secondary
    };

    void getReady(const std::optional<ScheduledGame>& next, const std::string& fen);
    void placeEngines(const ScheduledGame& next);
    bool load(bool main, int engineIndex);
    void begin(const std::string& fen);
    int plies() const { return game_.state().board.plyCount(); }
    bool redIsMain() const { return mainIsRed_; }
    void noteEvaluation();
    void watch();
    std::int64_t replyLimitMs() const;
    MatchGame finish(const GameResult& result);

    const std::vector<EngineEntry>& engines_;
    LevelSettings level_;
    int wakeFd_;
    Host host_;
    Game game_ { host_ };
    Phase phase_ = Phase::Idle;
    std::thread worker_;
    std::atomic<bool> workerDone_ { false };
    bool readyToPlay_ = false; // written by the worker, read once it is joined
    std::vector<int> failedLoads_;
    ScheduledGame scheduled_;
    int loaded_[2] = { -1, -1 }; // the engine index in [1] main slot, [0] secondary
    std::string names_[2]; // as the loaded engines named themselves
    bool mainIsRed_ = true;
    bool unloadAfter_[2] = { false, false }; // hung: started afresh for the next game
    bool outputClosed_[2] = { false, false }; // closed but not yet ended: not waited on
    int waitIndex_[2] = { -1, -1 }; // where addWaits put each engine's descriptor
    std::optional<Fault> fault_;
    std::vector<std::string> comments_; // by ply, see noteEvaluation
    int watchedPlies_ = 0;
    std::int64_t watchedSince_ = 0;
};

} // namespace qinglan
