#pragma once

#include <QPoint>
#include <QString>

class QWidget;

namespace qinglan {

// Shows a short hint at a screen point, near the widget it belongs to.
void showBalloonTip(QWidget* owner, QPoint globalPos, const QString& text);

} // namespace qinglan
