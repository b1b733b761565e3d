#pragma once

#include "settings/SettingsRecords.h"

#include <string>

namespace qinglan {

enum class EngineState : int { Unloaded = 0, Idle = 1, Pondering = 2, Thinking = 3, Exited = 4 };

// One engine slot: the options it holds, its identity and its state. Starting and
// talking to the engine program is added by the process layer; until a program is
// loaded the slot is Unloaded, so nothing is running, nothing is sent and no line
// is ever read.
class EngineProcess {
public:
    EngineProcess() = default;

    EngineState state() const { return state_; }
    bool isRunning() const {
        return state_ != EngineState::Unloaded && state_ != EngineState::Exited;
    }
    bool isBusy() const {
        return isRunning() && (state_ == EngineState::Thinking || state_ == EngineState::Pondering);
    }
    int processId() const { return 0; }

    const std::string& identity() const { return engineName_; }
    const std::string& programPath() const { return programPath_; }
    const std::string& lastReply() const { return lastReply_; }
    const std::string& lastPositionCommand() const { return lastPositionCommand_; }

    EngineOptions getOptions() const { return options_; }
    void setOptions(const EngineOptions& options) { options_ = options; }

    // Stops a running search, waiting at most timeoutMs; true when none is running.
    bool stopSearch(int timeoutMs);
    void clearReply() { lastReply_.clear(); }
    // Sends one line to a running engine; ignored when none runs.
    void sendLine(const std::string& line);
    // One complete line from the engine, or "" when none is waiting.
    std::string readLine();

private:
    EngineState state_ = EngineState::Unloaded;
    EngineOptions options_;
    std::string engineName_;
    std::string programPath_;
    std::string lastReply_;
    std::string lastPositionCommand_;
};

} // namespace qinglan
