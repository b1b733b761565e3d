#include "app/dialogs/DialogPlacement.h"

#include <QFont>
#include <QWidget>

namespace qinglan {

void placeDialog(QWidget& dialog, const QWidget* owner, int clientWidth, int clientHeight) {
    dialog.setFixedSize(clientWidth, clientHeight);
    if (!owner) return;
    const QRect main = owner->frameGeometry();
    dialog.move(main.left() + (main.width() - clientWidth) / 2,
        main.top() + (main.height() - clientHeight) / 2);
}

void useDialogFont(QWidget& dialog) {
    QFont font = dialog.font();
    font.setFamilies({ QStringLiteral("宋体"), QStringLiteral("Noto Sans Mono CJK SC") });
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(12);
    dialog.setFont(font);
}

} // namespace qinglan
