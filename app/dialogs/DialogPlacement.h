#pragma once

#include <QRect>

class QDialog;
class QWidget;

namespace qinglan {

// Fixes the dialog's client area at width x height and centres it over the main
// window (left = main left + (main width - dialog width) / 2, top likewise).
void fitAndCentre(QDialog& dialog, int width, int height, const QWidget& mainWindow);

// A control placed at its design rectangle inside its parent.
template<typename Widget> Widget* placed(Widget* widget, QRect rect) {
    widget->setGeometry(rect);
    return widget;
}

} // namespace qinglan

namespace qinglan {

// The dialogs' font: 12-pixel 宋体, or a monospaced CJK face with the same widths
// (a blank half a Chinese character), so captions that leave blanks for edit boxes
// keep their shape.
void useDialogFont(QWidget& dialog);

} // namespace qinglan
