#pragma once

#include "records/GameRecord.h"

#include <QDialog>
#include <vector>

class QComboBox;
class QLineEdit;

namespace qinglan {

// "棋局信息": the game's tags, each in an edit named after its tag ("Event", "Red", ...),
// the result chosen from a list ("Result"). What was confirmed comes back from tags().
class GameInfoDialog : public QDialog {
public:
    GameInfoDialog(const GameRecord& game, QWidget* owner);
    // Every tag the dialog shows, with its value as it stands in the dialog.
    std::vector<RecordTag> tags() const;

private:
    std::vector<std::pair<std::string_view, QLineEdit*>> edits_;
    QComboBox* result_;
};

} // namespace qinglan
