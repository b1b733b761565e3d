#include "engine/EngineProcess.h"

// The slot until the process layer lands: nothing is ever started, so every engine
// stays Unloaded and nothing is sent or read.
namespace qinglan {

class ChildProcess { };

EngineProcess::EngineProcess() = default;
EngineProcess::~EngineProcess() = default;
void EngineProcess::reset() { }
void EngineProcess::appendLog(const std::string&, const char*) const { }
void EngineProcess::pollExit() { }
bool EngineProcess::isRunning() {
    return false;
}
bool EngineProcess::isBusy() {
    return false;
}
EngineState EngineProcess::state() {
    return state_;
}
int EngineProcess::processId() const {
    return 0;
}
void EngineProcess::drainOutput() { }
bool EngineProcess::stopSearch(int) {
    return false;
}
void EngineProcess::sendLine(const std::string&) { }
std::string EngineProcess::readLine() {
    return {};
}
bool EngineProcess::unload() {
    return true;
}
bool EngineProcess::loadProgram(const std::string&) {
    return false;
}
bool EngineProcess::setOptions(EngineOptions& options) {
    options_ = options;
    return false;
}
void EngineProcess::truncateLog(const std::string&) const { }

} // namespace qinglan
