#pragma once

#include "app/BoardGeometry.h"

#include <string>

namespace qinglan {

// What the game flow asks of the window that shows the game.
class GameHost {
public:
    virtual ~GameHost() = default;

    // Slides the piece on from to the square to; the board still holds the position
    // before the move.
    virtual void startMoveAnimation(SquareRef from, SquareRef to) = 0;
    // Drops a slide in flight without finishing it: its move is being undone.
    virtual void cancelMoveAnimation() = 0;
    virtual void redrawPieces(bool fromBoard) = 0;
    // Hides the two square markers.
    virtual void hideMarkers() = 0;
    virtual void refreshStatus(bool full) = 0;
    // The move list in the global state has changed; show it.
    virtual void moveListChanged() = 0;
    // A modal box; returns 0 for OK, 5 for Yes, 6 for No.
    virtual int showMessage(const std::string& text, const std::string& title, int flags) = 0;
    // The player answered Yes to "重新开始吗？".
    virtual void offerNewGame() = 0;
};

} // namespace qinglan
