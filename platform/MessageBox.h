#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace qinglan {

// Button codes returned by showMessageBox.
constexpr int MESSAGE_OK = 0;
constexpr int MESSAGE_YES = 5;
constexpr int MESSAGE_NO = 6;

// Flags: 0 OK, 4 Yes/No, 48 warning icon, 52 Yes/No with warning, 64 information.
constexpr int MESSAGE_FLAG_YES_NO = 4;
constexpr int MESSAGE_FLAG_WARNING = 48;
constexpr int MESSAGE_FLAG_INFORMATION = 64;

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
