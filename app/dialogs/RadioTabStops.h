#pragma once

#include <vector>

class QRadioButton;

namespace qinglan {

// One Tab stop for a group of radio buttons, on the checked one, as desktop users
// expect: Tab never lands on a choice that Space would then make. The arrow keys
// move (and check) within the group. The stop follows the checked button.
void keepTabStopOnChecked(const std::vector<QRadioButton*>& group);

} // namespace qinglan
