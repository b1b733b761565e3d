#include "game/HeadlessHost.h"

#include "game/Game.h"
#include "platform/MessageCodes.h"

namespace qinglan {

void HeadlessHost::startMoveAnimation(const std::string& moveText) {
    movesPlayed.push_back(moveText);
    inFlight_ = true;
}

void HeadlessHost::finishMoveInFlight() {
    if (!inFlight_) return;
    inFlight_ = false;
    if (game_) game_->flow().nextTurn();
}

int HeadlessHost::showMessage(const std::string& text, const std::string& title, int flags) {
    messages.push_back({ text, title, flags });
    if (answer) return answer(messages.back());
    return (flags & MESSAGE_FLAG_YES_NO) ? MESSAGE_NO : MESSAGE_OK;
}

std::string HeadlessHost::askOpenFileName(const std::string& caption, const std::string&) {
    return chooseFile ? chooseFile(caption) : std::string();
}

} // namespace qinglan
