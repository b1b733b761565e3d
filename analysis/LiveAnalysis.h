#pragma once

#include "enginelink/EngineReply.h"
#include "enginelink/SearchRequest.h"

#include <string>
#include <vector>

namespace qinglan {

class Board;
class EngineProcess;

// An engine studying the position shown, without end and without playing: each new
// position stops the search under way and starts one on it as soon as the engine has
// answered the stop. Only lines about the position shown are kept, ranked.
class LiveAnalysis {
public:
    static constexpr int MAX_LINES = 5;

    // Studies position from now on (nothing happens when it is the one studied).
    void show(EngineProcess& engine, const Board& position);
    // How many best lines to ask for, 1 to MAX_LINES; a change restarts the search.
    void setLines(EngineProcess& engine, int lines);
    int lineCount() const { return lines_; }
    // Reads what the engine said and starts the search waiting for it; true when the
    // lines shown changed.
    bool poll(EngineProcess& engine);
    // Ends the study: the engine is stopped (its reply waited for briefly).
    void stop(EngineProcess& engine);
    bool active() const { return active_; }

    // The best lines of the position shown, best first; a rank the engine has not
    // reported yet is an empty line.
    const std::vector<ThinkingLine>& lines() const { return shown_; }
    // The position studied, as searched.
    const SearchRequest& request() const { return wanted_; }

    static constexpr int STOP_WAIT_MS = 1000;

private:
    void restart(EngineProcess& engine);
    bool searchingWanted(EngineProcess& engine) const;

    SearchRequest wanted_;
    std::vector<ThinkingLine> shown_;
    int lines_ = 1;
    bool active_ = false;
};

} // namespace qinglan
