#pragma once

#include "enginelink/EngineReply.h"
#include "enginelink/SearchRequest.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qinglan {

class EngineProcess;
class GameRecord;

// What the engine made of one position of the line reviewed.
struct PositionVerdict {
    std::optional<Score> score; // from the side to move's view; none when it gave none
    int depth = 0;
    std::int64_t timeMs = 0;
    std::string bestMove; // "" when there is none (mate, stalemate) or it gave none
    bool redToMove = true;
};

// Moves losing at least this much against the engine's best move are marked "?", at
// least the second "??".
inline constexpr int MISTAKE_CENTIPAWNS = 100;
inline constexpr int BLUNDER_CENTIPAWNS = 300;

// The review of a game's main line, position by position, on the caller's thread: step()
// never blocks, so a window's heartbeat or a command-line loop can drive it and show
// progress. A cancelled review keeps what was done.
class GameReview {
public:
    // Searches longer than their limit by this much are stopped; a depth search gets
    // DEPTH_LIMIT_MS. An engine that does not answer a stop in STOP_GRACE_MS fails.
    static constexpr std::int64_t OVERRUN_MS = 3000;
    static constexpr std::int64_t DEPTH_LIMIT_MS = 60000;
    static constexpr std::int64_t STOP_GRACE_MS = 2000;

    // The limits of each search (a time per move or a depth) and the lines wanted.
    GameReview(const GameRecord& record, SearchLimits limits, int lines = 1);

    // Starts the next search or reads the engine's replies; false once the review has
    // ended (done, cancelled or failed).
    bool step(EngineProcess& engine);
    // Stops a search under way and ends the review; what was done stays.
    void cancel(EngineProcess& engine);
    // The engine ended or stopped answering: the review ended early.
    bool failed() const { return failed_; }

    int done() const { return static_cast<int>(verdicts_.size()); }
    int total() const { return static_cast<int>(nodes_.size()); }
    // One per reviewed position of the main line, the start first.
    const std::vector<PositionVerdict>& verdicts() const { return verdicts_; }

    // Writes what was learnt into the record reviewed (its main line unchanged): each move
    // gets the evaluation of the position it left, from its player's view, before its
    // comment; a move that loses MISTAKE_CENTIPAWNS or more is marked and the engine's
    // best move there added as a one-move variation.
    void annotate(GameRecord& record) const;

private:
    void startSearch(EngineProcess& engine);
    void finishPosition(std::string bestMove);
    void checkDeadline(EngineProcess& engine);

    std::vector<int> nodes_; // the root, then the main line's moves
    std::vector<SearchRequest> requests_; // by position
    std::vector<bool> terminal_; // no legal move: nothing to search
    std::vector<PositionVerdict> verdicts_;
    SearchLimits limits_;
    int lines_;
    std::optional<ThinkingLine> best_; // the best line of the search under way
    bool searching_ = false;
    bool ended_ = false;
    bool failed_ = false;
    std::int64_t startedAt_ = 0;
    std::int64_t deadline_ = 0; // when the search under way is stopped, or fails
    bool stopSent_ = false;
};

} // namespace qinglan
