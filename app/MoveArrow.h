#pragma once

#include "app/BoardGeometry.h"

#include <QWidget>
#include <optional>
#include <string>

namespace qinglan {

struct GlobalState;

// An arrow over the board from one square to another (the engine's best move), drawn
// on top of the pieces; clicks go through to the board beneath.
class MoveArrow : public QWidget {
    Q_OBJECT
public:
    MoveArrow(const GlobalState& state, QWidget* board);

    // A four-character coordinate move; "" hides the arrow.
    void showMove(const std::string& moveText);
    const std::string& move() const { return move_; }
    // Off: nothing is drawn, whatever move is held.
    void setEnabledByUser(bool on);
    bool drawn() const { return on_ && !move_.empty(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointF centreOf(SquareRef square) const;

    const GlobalState& state_;
    std::string move_;
    bool on_ = true;
};

} // namespace qinglan
