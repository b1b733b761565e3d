#include "app/dialogs/ReviewDialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QRadioButton>
#include <QSpinBox>

namespace qinglan {

ReviewDialog::ReviewDialog(QWidget* owner)
    : QDialog(owner)
    , byTime_(new QRadioButton(QStringLiteral("每步时间（毫秒）"), this))
    , byDepth_(new QRadioButton(QStringLiteral("每步深度"), this))
    , time_(new QSpinBox(this))
    , depth_(new QSpinBox(this)) {
    setWindowTitle(QStringLiteral("全局分析"));
    time_->setRange(10, 600000);
    time_->setSingleStep(100);
    time_->setValue(DEFAULT_MS);
    depth_->setRange(1, 99);
    depth_->setValue(DEFAULT_DEPTH);
    byTime_->setChecked(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* grid = new QGridLayout(this);
    grid->addWidget(byTime_, 0, 0);
    grid->addWidget(time_, 0, 1);
    grid->addWidget(byDepth_, 1, 0);
    grid->addWidget(depth_, 1, 1);
    grid->addWidget(buttons, 2, 0, 1, 2);
}

SearchLimits ReviewDialog::choice() const {
    SearchLimits limits;
    if (byTime_->isChecked())
        limits.moveTimeMs = time_->value();
    else
        limits.depth = depth_->value();
    return limits;
}

} // namespace qinglan
