#include "platform/MessageBox.h"

namespace qinglan {

int showMessageBox(QWidget*, const QString&, const QString&, int) {
    return MESSAGE_OK;
}
void setMessageBoxHandler(MessageBoxHandler) { }

} // namespace qinglan
