#pragma once

#include "game/RecordFiles.h"

#include <QDialog>

class QComboBox;

namespace qinglan {

// "保存选项": the notation ("notation") and the encoding ("encoding") of a saved game;
// Chinese and UTF-8 unless changed. choice() is what was chosen.
class SaveOptionsDialog : public QDialog {
public:
    explicit SaveOptionsDialog(QWidget* owner);
    SaveOptions choice() const;

private:
    QComboBox* notation_;
    QComboBox* encoding_;
};

} // namespace qinglan
