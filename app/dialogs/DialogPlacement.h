#pragma once

#include <QRect>

class QDialog;
class QDialogButtonBox;
class QWidget;

namespace qinglan {

// Gives a dialog its fixed client size and centres it over its owner window
// (left = owner left + (owner width - dialog width) / 2, top likewise, truncated).
void placeDialog(QWidget& dialog, const QWidget* owner, int clientWidth, int clientHeight);

// A control placed at its design rectangle inside its parent.
template<typename Widget> Widget* placed(Widget* widget, QRect rect) {
    widget->setGeometry(rect);
    return widget;
}

// The dialogs' font: 12-pixel 宋体, or a monospaced CJK face with the same widths
// (a blank half a Chinese character), so captions that leave blanks for edit boxes
// keep their shape.
void useDialogFont(QWidget& dialog);

// OK ("确定按钮", captioned okCaption) and "取消" buttons that accept and reject dialog,
// for the dialogs laid out by layouts.
QDialogButtonBox* okCancelButtons(QDialog& dialog, const char* okCaption = "确定");

} // namespace qinglan
