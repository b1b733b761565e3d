#pragma once

#include "game/GameHost.h"

#include <functional>
#include <string>
#include <vector>

namespace qinglan {

class Game;

// A host with no window, for the match runner and tests. A played move counts as in
// flight until the driver calls finishMoveInFlight (or runTurn), which then runs the
// turn change as the end of a slide does in the window. Boxes are recorded and
// answered by a function (No by default), thinking rows kept as text.
class HeadlessHost : public GameHost, public ThinkingDisplay {
public:
    struct Message {
        std::string text;
        std::string title;
        int flags = 0;
    };

    void attach(Game& game) { game_ = &game; }

    void startMoveAnimation(const std::string& moveText) override;
    void cancelMoveAnimation() override { inFlight_ = false; }
    bool isMoveInFlight() const override { return inFlight_; }
    void finishMoveInFlight() override;
    void redrawPieces(bool) override { }
    void hideMarkers() override { }
    void clearSelection() override { }
    void refreshStatus(bool) override { }
    void moveListChanged() override { }
    int showMessage(const std::string& text, const std::string& title, int flags) override;
    void offerNewGame() override { ++newGamesOffered; }
    ThinkingDisplay* thinkingDisplay() override { return showThinking ? this : nullptr; }
    std::string askOpenFileName(const std::string& caption, const std::string& filter) override;
    void engineFault(bool mainEngine, ResultReason fault) override {
        faults.push_back({ mainEngine, fault });
    }

    bool isEmpty(bool mainEngine) const override { return thinking[mainEngine].empty(); }
    void append(bool mainEngine, const std::string& text) override { thinking[mainEngine] += text; }
    void clear(bool mainEngine) override { thinking[mainEngine].clear(); }

    struct EngineFault {
        bool mainEngine = true;
        ResultReason reason = ResultReason::IllegalMove;
    };

    std::vector<Message> messages;
    std::vector<EngineFault> faults;
    std::vector<std::string> movesPlayed;
    std::function<int(const Message&)> answer;
    std::function<std::string(const std::string& caption)> chooseFile;
    bool showThinking = false;
    std::string thinking[2]; // [0] secondary engine, [1] main engine
    int newGamesOffered = 0;

private:
    Game* game_ = nullptr;
    bool inFlight_ = false;
};

} // namespace qinglan
