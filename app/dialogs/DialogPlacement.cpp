#include "app/dialogs/DialogPlacement.h"

#include <QDialog>
#include <QFont>

namespace qinglan {

void fitAndCentre(QDialog& dialog, int width, int height, const QWidget& mainWindow) {
    dialog.setFixedSize(width, height);
    // Before the dialog is shown its frame is unknown: the frame it will get is the
    // one its geometry already leaves around it (none yet), so centre the client.
    const QSize outer = dialog.frameGeometry().size();
    const QRect main = mainWindow.frameGeometry();
    dialog.move(main.left() + (main.width() - outer.width()) / 2,
        main.top() + (main.height() - outer.height()) / 2);
}

} // namespace qinglan

namespace qinglan {

void useDialogFont(QWidget& dialog) {
    QFont font = dialog.font();
    font.setFamilies({ QStringLiteral("宋体"), QStringLiteral("Noto Sans Mono CJK SC") });
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(12);
    dialog.setFont(font);
}

} // namespace qinglan
