#pragma once

class QWidget;

namespace qinglan {

// Gives a dialog its fixed client size and centres it over its owner window
// (left = owner left + (owner width - dialog width) / 2, top likewise, truncated).
void placeDialog(QWidget& dialog, const QWidget* owner, int clientWidth, int clientHeight);

} // namespace qinglan
