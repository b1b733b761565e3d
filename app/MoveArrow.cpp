#include "app/MoveArrow.h"

#include "app/GlobalState.h"

#include <QEvent>
#include <QLineF>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace qinglan {

namespace {
constexpr int PIECE_HALF = 27; // a piece image is 55 logical pixels wide
const QColor ARROW_COLOUR(30, 120, 40, 170);
} // namespace

MoveArrow::MoveArrow(const GlobalState& state, QWidget* board)
    : QWidget(board)
    , state_(state) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setObjectName(QStringLiteral("最佳着法箭头"));
    // It covers the board whatever size the board takes.
    setGeometry(board->rect());
    board->installEventFilter(this);
    hide();
}

void MoveArrow::showMove(const std::string& moveText) {
    move_ = squaresOfMove(moveText).from.isNone() ? std::string() : moveText;
    setVisible(drawn());
    raise();
    update();
}

void MoveArrow::setEnabledByUser(bool on) {
    on_ = on;
    setVisible(drawn());
}

QPointF MoveArrow::centreOf(SquareRef square) const {
    double x = squareX(square.file) + PIECE_HALF;
    double y = squareY(square.row) + PIECE_HALF;
    if (state_.checks.flipped) {
        x = FLIP_X - squareX(square.file) + PIECE_HALF;
        y = FLIP_Y - squareY(square.row) + PIECE_HALF;
    }
    return { x * state_.scaleX, y * state_.scaleY };
}

void MoveArrow::paintEvent(QPaintEvent*) {
    if (!drawn()) return;
    const MoveSquares squares = squaresOfMove(move_);
    const QLineF line(centreOf(squares.from), centreOf(squares.to));
    if (line.length() < 1) return;
    const double width = std::max(3.0, 10 * state_.scaleX);
    const double head = width * 2.6;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(ARROW_COLOUR, width, Qt::SolidLine, Qt::RoundCap));
    const QLineF unit = line.unitVector();
    const QPointF along(unit.dx(), unit.dy());
    const QPointF across(-unit.dy(), unit.dx());
    const QPointF tip = line.p2();
    const QPointF base = tip - along * head;
    painter.drawLine(line.p1(), base);
    QPainterPath arrowHead;
    arrowHead.moveTo(tip);
    arrowHead.lineTo(base + across * head * 0.6);
    arrowHead.lineTo(base - across * head * 0.6);
    arrowHead.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.fillPath(arrowHead, ARROW_COLOUR);
}

bool MoveArrow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parent() && event->type() == QEvent::Resize) setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

} // namespace qinglan
