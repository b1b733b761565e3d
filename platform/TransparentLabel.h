#pragma once

#include <QLabel>

namespace qinglan {

// A label that paints only its text, so the board surface beneath shows through.
// The font is "宋体" at 16 pixels; fontconfig substitutes an installed CJK face.
class TransparentLabel : public QLabel {
    Q_OBJECT
public:
    explicit TransparentLabel(QWidget* parent = nullptr);
    // A new label on parent with this one's font, colours, alignment and size; no text,
    // not yet shown.
    TransparentLabel* cloneStyle(QWidget* parent) const;
};

} // namespace qinglan
