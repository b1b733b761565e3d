#include "platform/TransparentLabel.h"

namespace qinglan {

TransparentLabel::TransparentLabel(QWidget* parent)
    : QLabel(parent) { }

TransparentLabel* TransparentLabel::cloneStyle(QWidget* parent) const {
    return new TransparentLabel(parent);
}

} // namespace qinglan
