#include "platform/DialogRunner.h"

#include <QDialog>

namespace qinglan {

namespace {

DialogHandler& handler() {
    static DialogHandler instance;
    return instance;
}

} // namespace

void setDialogHandler(DialogHandler replacement) {
    handler() = std::move(replacement);
}

int runModalDialog(QDialog& dialog) {
    if (handler()) {
        dialog.ensurePolished();
        dialog.adjustSize();
        return handler()(dialog);
    }
    return dialog.exec();
}

} // namespace qinglan
