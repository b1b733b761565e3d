#pragma once

#include "settings/SettingsRecords.h"

#include <QDialog>
#include <optional>
#include <string>
#include <string_view>

class QLineEdit;
class QRadioButton;

namespace qinglan {

// The level dialog's choices, in the order its radios are tested.
enum class LevelChoice { Beginner, Intermediate, Advanced, Unlimited, GameTime, Depth, Nodes };

// The texts of the edits; each is read only for its own choice.
struct LevelEdits {
    std::string minutes, seconds, increment, depth, nodes;
};

// A decimal number at the start of text: leading blanks, an optional sign, digits
// with an optional fraction; anything else gives 0.
double parseLeadingDecimal(std::string_view text);

// Writes a confirmed choice into level, keeping the fields the choice does not name.
void applyLevelChoice(LevelChoice choice, const LevelEdits& edits, LevelSettings& level);

// "级别设置". Created afresh at each opening; owner is the window it is modal to,
// mainWindow the one it centres over. Opened through chooseLevel.
class LevelDialog : public QDialog {
public:
    LevelDialog(QWidget& owner, const QWidget& mainWindow);

    // The level the controls describe: the choice written over previous (the level
    // chosen last time, whose fields the choice does not name are kept), the mode and
    // time per move starting afresh.
    LevelSettings chosenLevel(LevelSettings previous) const;

private:
    QRadioButton* addRadio(const char* name, const char* caption, QRect rect);
    QLineEdit* addEdit(const char* name, const char* text, QRect rect);
    // The edit placed over the index-th run of blanks (two or more) in the radio's caption.
    QLineEdit* addEditOverBlanks(
        const char* name, const char* text, QRadioButton& radio, int index, int top);
    LevelChoice selectedChoice() const;
    void showUnlimitedTip();

    QRadioButton* radios_[7] = {};
    QLineEdit* minutes_ = nullptr;
    QLineEdit* seconds_ = nullptr;
    QLineEdit* increment_ = nullptr;
    QLineEdit* depth_ = nullptr;
    QLineEdit* nodes_ = nullptr;
};

// Runs the dialog: the level chosen (see chosenLevel) when confirmed, nothing when
// cancelled.
std::optional<LevelSettings> chooseLevel(
    QWidget& owner, const QWidget& mainWindow, const LevelSettings& previous);

} // namespace qinglan
