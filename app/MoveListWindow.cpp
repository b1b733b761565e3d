#include "app/MoveListWindow.h"

#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <algorithm>

namespace qinglan {

MoveListWindow::MoveListWindow(const QImage& background, QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint)
    , background_(background)
    , box_(new QPlainTextEdit(this)) {
    setObjectName(QStringLiteral("MoveListWindow"));
    box_->setObjectName(QStringLiteral("moveListBox"));
    box_->setReadOnly(true);
    box_->setFrameShape(QFrame::NoFrame);
    box_->setLineWrapMode(QPlainTextEdit::NoWrap);
    box_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The text box is see-through so the window's picture shows behind the moves.
    box_->setAttribute(Qt::WA_TranslucentBackground);
    box_->viewport()->setAutoFillBackground(false);
    box_->setStyleSheet(
        QStringLiteral("QPlainTextEdit { background: transparent; color: #3a2410; }"));
    // Focus would let keyboard shortcuts of the main window land in the list.
    box_->setFocusPolicy(Qt::NoFocus);
}

void MoveListWindow::setListText(const std::string& text) {
    QString shown = QString::fromStdString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (box_->toPlainText() != shown) box_->setPlainText(shown);
    box_->verticalScrollBar()->setValue(box_->verticalScrollBar()->maximum());
}

void MoveListWindow::setAlpha(int alpha) {
    alpha_ = std::clamp(alpha, 0, 255);
    setWindowOpacity(alpha_ / 255.0);
}

void MoveListWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (background_.isNull())
        painter.fillRect(rect(), QColor(0xf3, 0xe2, 0xb8));
    else
        painter.drawImage(rect(), background_);
}

void MoveListWindow::resizeEvent(QResizeEvent*) {
    box_->setGeometry(0, 0, width(), height());
}

} // namespace qinglan
