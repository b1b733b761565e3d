#pragma once

#include "settings/SettingsRecords.h"

#include <QDialog>
#include <functional>
#include <string>

class QGroupBox;
class QRadioButton;

namespace qinglan {

struct GlobalState;

// What a confirmed new-game dialog asks for: the side check marks, the board
// orientation, the starting FEN and the level.
struct NewGameChoice {
    bool computerRed = false;
    bool computerBlack = true;
    bool flipped = false;
    std::string fen;
    LevelSettings level;
    // What "更多" stands for at the next opening: the level chosen in this opening's
    // level dialog, else the one the dialog was opened with.
    LevelSettings moreLevel;
};

// "开始对局": sides, handicap and level of the next game. Created afresh at each
// opening, so it always shows the initial choices; choice() is valid once accepted.
// moreLevel is what "更多" stands for until its level dialog chooses another.
class NewGameDialog : public QDialog {
public:
    // openEditor opens the position editor modally over the dialog it is given.
    using EditorOpener = std::function<void(QDialog& owner)>;

    NewGameDialog(QWidget& mainWindow, GlobalState& state, const LevelSettings& moreLevel,
        EditorOpener openEditor = {});

    const NewGameChoice& choice() const { return choice_; }

private:
    QGroupBox* addGroup(const char* name, const char* caption, QRect rect);
    QRadioButton* addRadio(QGroupBox& group, const char* name, const char* caption, int top,
        int width, bool checked = false);
    int selectedIndex(QRadioButton* const (&radios)[4]) const;
    void confirm();
    void openMoreLevels();
    void tipAt(QPoint offset, const char* text);

    QWidget& mainWindow_;
    GlobalState& state_;
    EditorOpener openEditor_;
    QRadioButton* sides_[4] = {};
    QRadioButton* handicaps_[4] = {};
    QRadioButton* levels_[4] = {};
    NewGameChoice choice_;
};

} // namespace qinglan
