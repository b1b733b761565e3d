#include "EngineProcess.h"

namespace qinglan {

bool EngineProcess::stopSearch(int /*timeoutMs*/) {
    return !isBusy();
}

void EngineProcess::sendLine(const std::string& /*line*/) { }

std::string EngineProcess::readLine() {
    return {};
}

} // namespace qinglan
