#pragma once

#include "enginelink/SearchRequest.h"

#include <QDialog>

class QRadioButton;
class QSpinBox;

namespace qinglan {

// "全局分析": how long each position of the main line is searched, a time or a depth.
class ReviewDialog : public QDialog {
public:
    static constexpr int DEFAULT_MS = 1000;
    static constexpr int DEFAULT_DEPTH = 12;

    explicit ReviewDialog(QWidget* owner);
    // The limits chosen, read once the dialog was confirmed.
    SearchLimits choice() const;

    QRadioButton* timeChoice() const { return byTime_; }
    QSpinBox* timeEdit() const { return time_; }
    QSpinBox* depthEdit() const { return depth_; }

private:
    QRadioButton* byTime_;
    QRadioButton* byDepth_;
    QSpinBox* time_;
    QSpinBox* depth_;
};

} // namespace qinglan
