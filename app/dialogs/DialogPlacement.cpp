#include "app/dialogs/DialogPlacement.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFont>
#include <QPushButton>
#include <QWidget>

namespace qinglan {

void placeDialog(QWidget& dialog, const QWidget* owner, int clientWidth, int clientHeight) {
    dialog.setFixedSize(clientWidth, clientHeight);
    if (!owner) return;
    const QRect main = owner->frameGeometry();
    dialog.move(main.left() + (main.width() - clientWidth) / 2,
        main.top() + (main.height() - clientHeight) / 2);
}

QDialogButtonBox* okCancelButtons(QDialog& dialog, const char* okCaption) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setText(QString::fromUtf8(okCaption));
    ok->setObjectName(QStringLiteral("确定按钮"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    return buttons;
}

void useDialogFont(QWidget& dialog) {
    QFont font = dialog.font();
    font.setFamilies({ QStringLiteral("宋体"), QStringLiteral("Noto Sans Mono CJK SC") });
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(12);
    dialog.setFont(font);
}

} // namespace qinglan
