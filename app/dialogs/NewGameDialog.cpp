#include "app/dialogs/NewGameDialog.h"

#include "app/GlobalState.h"
#include "app/dialogs/DialogPlacement.h"
#include "app/dialogs/LevelDialog.h"
#include "app/dialogs/RadioTabStops.h"
#include "platform/BalloonTip.h"
#include "platform/DialogRunner.h"

#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

namespace qinglan {

namespace {

// Red moves first and gives the handicap, whoever plays red.
constexpr const char* HANDICAP_FENS[] = {
    "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w ",
    "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/R1BAKABNR w ",
    "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/R1BAKAB1R w ",
};
constexpr int CUSTOM_POSITION = 3;
constexpr int MORE_LEVELS = 3;
enum Side { PERSON_RED, COMPUTER_RED, NO_COMPUTER, COMPUTER_BOTH };

} // namespace

NewGameDialog::NewGameDialog(QWidget& mainWindow, GlobalState& state,
    const LevelSettings& moreLevel, EditorOpener openEditor)
    : QDialog(&mainWindow)
    , mainWindow_(mainWindow)
    , state_(state)
    , openEditor_(std::move(openEditor)) {
    choice_.moreLevel = moreLevel;
    setWindowTitle(QStringLiteral("开始对局"));
    useDialogFont(*this);
    QGroupBox& sides = *addGroup("分组框1", "红黑选择", { 13, 15, 95, 120 });
    sides_[PERSON_RED] = addRadio(sides, "我执红", "我执红", 20, 60, true);
    sides_[COMPUTER_RED] = addRadio(sides, "电脑执红", "电脑执红", 43, 70);
    sides_[NO_COMPUTER] = addRadio(sides, "不用电脑", "不用电脑", 66, 70);
    sides_[COMPUTER_BOTH] = addRadio(sides, "电脑对局", "电脑对局", 89, 70);
    QGroupBox& handicap = *addGroup("分组框2", "先走让子", { 118, 15, 90, 120 });
    handicaps_[0] = addRadio(handicap, "不让子", "不让子", 20, 60, true);
    handicaps_[1] = addRadio(handicap, "让单马", "让单马", 43, 60);
    handicaps_[2] = addRadio(handicap, "让双马", "让双马", 66, 60);
    handicaps_[3] = addRadio(handicap, "自定义", "自定义", 89, 60);
    QGroupBox& levels = *addGroup("分组框3", "电脑级别", { 218, 15, 90, 120 });
    levels_[0] = addRadio(levels, "初级", "初级", 20, 60);
    levels_[1] = addRadio(levels, "中级", "中级", 43, 60, true);
    levels_[2] = addRadio(levels, "高级", "高级", 66, 60);
    levels_[3] = addRadio(levels, "更多级别", "更多", 90, 60);
    for (QRadioButton** group : { sides_, handicaps_, levels_ })
        keepTabStopOnChecked({ group, group + 4 });

    auto* ok = placed(new QPushButton(QStringLiteral("确定"), this), { 74, 145, 80, 30 });
    ok->setObjectName(QStringLiteral("确定按钮"));
    ok->setDefault(true);
    auto* cancel = placed(new QPushButton(QStringLiteral("取消"), this), { 170, 145, 80, 30 });
    cancel->setObjectName(QStringLiteral("取消按钮"));
    connect(ok, &QPushButton::clicked, this, &NewGameDialog::confirm);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    connect(levels_[2], &QRadioButton::clicked, this, [this] {
        tipAt({ 250, 110 }, "高级级别会很慢，如果没有耐心，可以在 电脑=>级别设置 菜单中改变");
    });
    connect(sides_[COMPUTER_BOTH], &QRadioButton::clicked, this, [this] {
        tipAt({ 50, 130 }, "如果您想参与，可以在 电脑 菜单中停止电脑执红或执黑");
    });
    connect(levels_[MORE_LEVELS], &QRadioButton::clicked, this, &NewGameDialog::openMoreLevels);
    connect(handicaps_[CUSTOM_POSITION], &QRadioButton::clicked, this, [this] {
        if (openEditor_) openEditor_(*this);
    });

    placeDialog(*this, &mainWindow, 325, 185);
}

QGroupBox* NewGameDialog::addGroup(const char* name, const char* caption, QRect rect) {
    auto* group = placed(new QGroupBox(QString::fromUtf8(caption), this), rect);
    group->setObjectName(QString::fromUtf8(name));
    return group;
}

QRadioButton* NewGameDialog::addRadio(
    QGroupBox& group, const char* name, const char* caption, int top, int width, bool checked) {
    auto* radio
        = placed(new QRadioButton(QString::fromUtf8(caption), &group), { 10, top, width, 20 });
    radio->setObjectName(QString::fromUtf8(name));
    radio->setChecked(checked);
    return radio;
}

int NewGameDialog::selectedIndex(QRadioButton* const (&radios)[4]) const {
    for (int i = 0; i < 4; ++i)
        if (radios[i]->isChecked()) return i;
    return 0;
}

void NewGameDialog::confirm() {
    const int side = selectedIndex(sides_);
    choice_.computerRed = side == COMPUTER_RED || side == COMPUTER_BOTH;
    choice_.computerBlack = side == PERSON_RED || side == COMPUTER_BOTH;
    choice_.flipped = side == COMPUTER_RED;

    const int handicap = selectedIndex(handicaps_);
    // The editor's board as it stands now, edited in this opening or not.
    choice_.fen
        = handicap == CUSTOM_POSITION ? state_.editorBoard.toFen() : HANDICAP_FENS[handicap];

    const int level = selectedIndex(levels_);
    choice_.level = LevelSettings {};
    if (level == MORE_LEVELS)
        choice_.level = choice_.moreLevel;
    else
        choice_.level.moveTimeTenths = PRESET_LEVEL_TENTHS[level];
    accept();
}

void NewGameDialog::openMoreLevels() {
    if (std::optional<LevelSettings> level = chooseLevel(*this, mainWindow_, choice_.moreLevel))
        choice_.moreLevel = *level;
}

void NewGameDialog::tipAt(QPoint offset, const char* text) {
    showBalloonTip(this, frameGeometry().topLeft() + offset, QString::fromUtf8(text));
}

} // namespace qinglan
