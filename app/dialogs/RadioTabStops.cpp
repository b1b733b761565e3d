#include "app/dialogs/RadioTabStops.h"

#include <QRadioButton>
#include <algorithm>

namespace qinglan {

void keepTabStopOnChecked(const std::vector<QRadioButton*>& group) {
    // The toolkit moves the stop only once a button of the group had the focus; until
    // then every button is one, and the first is usually not the checked one.
    const auto follow = [group] {
        const bool anyChecked
            = std::ranges::any_of(group, [](const QRadioButton* r) { return r->isChecked(); });
        for (QRadioButton* radio : group)
            radio->setFocusPolicy(
                radio->isChecked() || !anyChecked ? Qt::StrongFocus : Qt::ClickFocus);
    };
    for (QRadioButton* radio : group)
        QObject::connect(radio, &QRadioButton::toggled, radio, [follow](bool on) {
            if (on) follow();
        });
    follow();
}

} // namespace qinglan
