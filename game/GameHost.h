#pragma once

#include "enginelink/EngineReply.h"
#include "game/GameResult.h"

#include <string>

namespace qinglan {

// Where the engines' thinking is shown: one box per engine slot.
class ThinkingDisplay {
public:
    virtual ~ThinkingDisplay() = default;
    virtual bool isEmpty(bool mainEngine) const = 0;
    virtual void append(bool mainEngine, const std::string& text) = 0;
    virtual void clear(bool mainEngine) = 0;
};

// What the game asks of whatever shows it: the window, a test, the match runner.
class GameHost {
public:
    virtual ~GameHost() = default;

    // Slides the piece of a move; the board still holds the position before it.
    virtual void startMoveAnimation(const std::string& moveText) = 0;
    // Drops a slide in flight without finishing it: its move is being undone.
    virtual void cancelMoveAnimation() = 0;
    virtual bool isMoveInFlight() const = 0;
    // Ends a slide in flight at once; its end runs the turn change as usual.
    virtual void finishMoveInFlight() = 0;
    virtual void redrawPieces(bool fromBoard) = 0;
    // Hides the two square markers.
    virtual void hideMarkers() = 0;
    // Forgets a picked-up piece: its square may be empty now.
    virtual void clearSelection() = 0;
    virtual void refreshStatus(bool full) = 0;
    // The move list of the game state has changed; show it.
    virtual void moveListChanged() = 0;
    // A modal box; returns 0 for OK, 5 for Yes, 6 for No.
    virtual int showMessage(const std::string& text, const std::string& title, int flags) = 0;
    // The player answered Yes to "重新开始吗？".
    virtual void offerNewGame() = 0;
    // The thinking display, or null while it is not shown.
    virtual ThinkingDisplay* thinkingDisplay() = 0;
    // Every thinking line an engine gives; the match runner keeps the last one as the
    // evaluation of the engine's next move.
    virtual void engineInfo(bool /*mainEngine*/, const ThinkingLine& /*line*/) { }
    // An engine's fault on its move (an illegal move, "nobestmove"), after the warning
    // box: a referee that judges engines (the match runner) may end the game with it.
    virtual void engineFault(bool /*mainEngine*/, ResultReason /*fault*/) { }
    // A modal open-file dialog; "" when nothing was chosen.
    virtual std::string askOpenFileName(const std::string& caption, const std::string& filter) = 0;
};

} // namespace qinglan
