#include "app/dialogs/SaveOptionsDialog.h"

#include "app/dialogs/DialogPlacement.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>

namespace qinglan {

namespace {
constexpr int CLIENT_WIDTH = 260;
constexpr int CLIENT_HEIGHT = 110;
} // namespace

SaveOptionsDialog::SaveOptionsDialog(QWidget* owner)
    : QDialog(owner)
    , notation_(new QComboBox(this))
    , encoding_(new QComboBox(this)) {
    setWindowTitle(QStringLiteral("保存选项"));
    useDialogFont(*this);
    notation_->setObjectName(QStringLiteral("notation"));
    notation_->addItem(QStringLiteral("中文记谱（炮二平五）"), int(Notation::Chinese));
    notation_->addItem(QStringLiteral("WXF（C2.5）"), int(Notation::Wxf));
    notation_->addItem(QStringLiteral("ICCS（H2-E2）"), int(Notation::Iccs));
    encoding_->setObjectName(QStringLiteral("encoding"));
    encoding_->addItem(QStringLiteral("UTF-8"), false);
    encoding_->addItem(QStringLiteral("GBK"), true);
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("记谱方式："), notation_);
    form->addRow(QStringLiteral("文字编码："), encoding_);
    QDialogButtonBox* buttons = okCancelButtons(*this);
    form->addRow(buttons);
    placeDialog(*this, owner, CLIENT_WIDTH, CLIENT_HEIGHT);
}

SaveOptions SaveOptionsDialog::choice() const {
    return { static_cast<Notation>(notation_->currentData().toInt()),
        encoding_->currentData().toBool() };
}

} // namespace qinglan
