#pragma once

#include <functional>

class QDialog;

namespace qinglan {

// Runs a modal dialog and returns its result (QDialog::Accepted or Rejected). Every
// modal dialog of the program opens through here, so tests can drive the dialog's
// controls and close it instead of blocking in its event loop.
int runModalDialog(QDialog& dialog);

// While a handler is set, runModalDialog calls it with the dialog (already laid out,
// not shown) and returns its answer. An empty function restores the real loop.
using DialogHandler = std::function<int(QDialog& dialog)>;
void setDialogHandler(DialogHandler handler);

} // namespace qinglan
