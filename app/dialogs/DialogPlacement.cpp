#include "app/dialogs/DialogPlacement.h"

#include <QWidget>

namespace qinglan {

void placeDialog(QWidget& dialog, const QWidget* owner, int clientWidth, int clientHeight) {
    dialog.setFixedSize(clientWidth, clientHeight);
    if (!owner) return;
    const QRect main = owner->frameGeometry();
    dialog.move(main.left() + (main.width() - clientWidth) / 2,
        main.top() + (main.height() - clientHeight) / 2);
}

} // namespace qinglan
