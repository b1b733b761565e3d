#include "platform/BalloonTip.h"

#include <QToolTip>

namespace qinglan {

void showBalloonTip(QWidget* owner, QPoint globalPos, const QString& text) {
    // Tied to the owner, so the tip goes away when the pointer leaves it or it closes.
    QToolTip::showText(globalPos, text, owner);
}

} // namespace qinglan
