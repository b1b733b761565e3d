#pragma once

#include "platform/MessageCodes.h"

#include <QString>
#include <functional>

class QWidget;

namespace qinglan {

// A modal message box owned by owner. Returns MESSAGE_OK, MESSAGE_YES or MESSAGE_NO
// (closing a Yes/No box counts as No). An empty title shows "信息：". CR LF in text
// becomes a plain line break.
int showMessageBox(QWidget* owner, const QString& text, const QString& title, int flags);

// Tests replace the box: while a handler is set, showMessageBox calls it instead of
// opening a window (with the arguments as given) and returns its result. An empty
// function restores the real box.
using MessageBoxHandler = std::function<int(const QString& text, const QString& title, int flags)>;
void setMessageBoxHandler(MessageBoxHandler handler);

} // namespace qinglan
