#include "platform/BalloonTip.h"

namespace qinglan {

void showBalloonTip(QWidget*, QPoint, const QString&) { }

} // namespace qinglan
