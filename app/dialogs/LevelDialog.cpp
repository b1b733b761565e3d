#include "app/dialogs/LevelDialog.h"

#include "app/dialogs/DialogPlacement.h"
#include "app/dialogs/RadioTabStops.h"
#include "platform/BalloonTip.h"
#include "platform/DialogRunner.h"
#include "settings/ProfileFile.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <climits>
#include <cmath>

namespace qinglan {

namespace {

constexpr int DEFAULT_TENTHS = 30;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Truncation toward zero, held inside the int range (a typed "1e9" minutes must not
// overflow into a negative clock).
int truncatedMs(double seconds) {
    const double ms = std::trunc(seconds * 1000.0);
    if (std::isnan(ms)) return 0;
    if (ms >= double(INT_MAX)) return INT_MAX;
    if (ms <= double(INT_MIN)) return INT_MIN;
    return int(ms);
}

} // namespace

double parseLeadingDecimal(std::string_view text) {
    size_t at = 0;
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
    double value = 0;
    for (; at < text.size() && isDigit(text[at]); ++at) value = value * 10 + (text[at] - '0');
    if (at < text.size() && text[at] == '.') {
        double scale = 0.1;
        for (++at; at < text.size() && isDigit(text[at]); ++at, scale /= 10)
            value += (text[at] - '0') * scale;
    }
    return negative ? -value : value;
}

void applyLevelChoice(LevelChoice choice, const LevelEdits& edits, LevelSettings& level) {
    level.mode = LEVEL_MOVE_TIME;
    switch (choice) {
    case LevelChoice::Beginner:
    case LevelChoice::Intermediate:
    case LevelChoice::Advanced:
        level.moveTimeTenths = PRESET_LEVEL_TENTHS[int(choice)];
        break;
    case LevelChoice::Unlimited:
        level.mode = LEVEL_INFINITE;
        break;
    case LevelChoice::GameTime:
        level.mode = LEVEL_TIME_INCREMENT;
        level.gameTimeMs = truncatedMs(
            parseLeadingDecimal(edits.minutes) * 60 + parseLeadingDecimal(edits.seconds));
        level.incrementMs = truncatedMs(parseLeadingDecimal(edits.increment));
        break;
    case LevelChoice::Depth:
        level.mode = LEVEL_DEPTH;
        level.depthLimit = parseProfileInt(edits.depth);
        break;
    case LevelChoice::Nodes:
        level.mode = LEVEL_NODES;
        level.nodeLimit = parseProfileInt(edits.nodes);
        break;
    }
}

LevelDialog::LevelDialog(QWidget& owner, const QWidget& mainWindow)
    : QDialog(&owner) {
    setWindowTitle(QStringLiteral("级别设置"));
    useDialogFont(*this);
    radios_[0] = addRadio("初级", "初级", { 10, 10, 60, 20 });
    radios_[1] = addRadio("中级", "中级", { 73, 10, 60, 20 });
    radios_[2] = addRadio("高级", "高级", { 136, 10, 60, 20 });
    radios_[3] = addRadio("无敌", "无敌", { 200, 10, 60, 20 });
    radios_[4] = addRadio("限时", "限时     分     秒 每步加     秒", { 10, 45, 260, 20 });
    radios_[5] = addRadio("限制深度", "限制深度         层", { 10, 80, 158, 20 });
    radios_[6] = addRadio("限制节点数", "限制节点", { 10, 115, 80, 20 });
    radios_[1]->setChecked(true);
    keepTabStopOnChecked({ std::begin(radios_), std::end(radios_) });
    minutes_ = addEditOverBlanks("局时分", "10", *radios_[4], 0, 45);
    seconds_ = addEditOverBlanks("局时秒", "0", *radios_[4], 1, 45);
    increment_ = addEditOverBlanks("加时", "2", *radios_[4], 2, 45);
    depth_ = addEditOverBlanks("深度", "9", *radios_[5], 0, 80);
    nodes_ = addEdit("节点数", "500000", { 90, 115, 70, 20 });

    auto* ok = placed(new QPushButton(QStringLiteral("确定"), this), { 40, 147, 80, 30 });
    ok->setObjectName(QStringLiteral("确定按钮"));
    ok->setDefault(true);
    auto* cancel = placed(new QPushButton(QStringLiteral("取消"), this), { 136, 147, 80, 30 });
    cancel->setObjectName(QStringLiteral("取消按钮"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(radios_[3], &QRadioButton::clicked, this, &LevelDialog::showUnlimitedTip);

    placeDialog(*this, &mainWindow, 260, 190);
}

std::optional<LevelSettings> chooseLevel(
    QWidget& owner, const QWidget& mainWindow, const LevelSettings& previous) {
    LevelDialog dialog(owner, mainWindow);
    if (runModalDialog(dialog) != QDialog::Accepted) return std::nullopt;
    return dialog.chosenLevel(previous);
}

QRadioButton* LevelDialog::addRadio(const char* name, const char* caption, QRect rect) {
    auto* radio = placed(new QRadioButton(QString::fromUtf8(caption), this), rect);
    radio->setObjectName(QString::fromUtf8(name));
    return radio;
}

QLineEdit* LevelDialog::addEdit(const char* name, const char* text, QRect rect) {
    auto* edit = placed(new QLineEdit(QString::fromUtf8(text), this), rect);
    edit->setObjectName(QString::fromUtf8(name));
    return edit;
}

QLineEdit* LevelDialog::addEditOverBlanks(
    const char* name, const char* text, QRadioButton& radio, int index, int top) {
    // Where the caption's text starts inside the radio, then the index-th blank run.
    QStyleOptionButton option;
    option.initFrom(&radio);
    option.text = radio.text();
    const int textLeft
        = radio.style()->subElementRect(QStyle::SE_RadioButtonContents, &option, &radio).left();
    const QString caption = radio.text();
    int start = -1;
    int end = 0;
    // A single blank separates words; only the wider runs are room for an edit.
    for (int run = 0; run <= index;) {
        start = int(caption.indexOf(QLatin1Char(' '), end));
        if (start < 0) return addEdit(name, text, { radio.geometry().right(), top, 30, 20 });
        for (end = start; end < caption.size() && caption[end] == QLatin1Char(' ');) ++end;
        if (end - start > 1) ++run;
    }
    const QFontMetrics metrics(radio.font());
    const int left = radio.x() + textLeft + metrics.horizontalAdvance(caption.left(start));
    const int width = metrics.horizontalAdvance(caption.mid(start, end - start));
    return addEdit(name, text, { left, top, width, 20 });
}

LevelChoice LevelDialog::selectedChoice() const {
    for (int i = 0; i < 7; ++i)
        if (radios_[i]->isChecked()) return LevelChoice(i);
    return LevelChoice::Intermediate;
}

LevelSettings LevelDialog::chosenLevel(LevelSettings previous) const {
    const LevelEdits edits { minutes_->text().toStdString(), seconds_->text().toStdString(),
        increment_->text().toStdString(), depth_->text().toStdString(),
        nodes_->text().toStdString() };
    previous.mode = LEVEL_MOVE_TIME;
    previous.moveTimeTenths = DEFAULT_TENTHS;
    applyLevelChoice(selectedChoice(), edits, previous);
    return previous;
}

void LevelDialog::showUnlimitedTip() {
    const QPoint at = frameGeometry().topLeft() + QPoint(radios_[3]->x() + 10, 35);
    showBalloonTip(this, at,
        QStringLiteral("引擎直到算出杀棋才会走棋，也可以用 电脑=>停止思考 菜单来让引擎立即走棋。"));
}

} // namespace qinglan
