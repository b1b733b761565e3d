#include "app/dialogs/OwnOptionsPage.h"

#include "platform/FileDialogs.h"
#include "platform/TextEncoding.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>

namespace qinglan {

namespace {

QString q(const char* utf8) {
    return QString::fromUtf8(utf8);
}
QString q(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

// The engine's own options: names cut to this width, controls named by this prefix.
constexpr int OWN_NAME_WIDTH = 130;
const QString OWN_PREFIX = QStringLiteral("自带选项:");

QString ownName(const std::string& name) {
    return OWN_PREFIX + q(displayText(name));
}

int clampedToInt(long long value) {
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

// The control that holds the value of an option other than a button.
QWidget* valueControl(const AnnouncedOption& option, QWidget* parent) {
    switch (option.kind) {
    case OptionKind::Spin: {
        auto* spin = new QSpinBox(parent);
        spin->setRange(clampedToInt(option.min), clampedToInt(option.max));
        return spin;
    }
    case OptionKind::Check:
        return new QCheckBox(parent);
    case OptionKind::Combo: {
        auto* box = new QComboBox(parent);
        for (const std::string& choice : option.choices) box->addItem(q(choice));
        // Nothing to choose from: the default is shown, never sent.
        if (option.choices.empty()) {
            box->addItem(q(option.defaultValue));
            box->setEnabled(false);
        }
        return box;
    }
    default: // a string
        return new QLineEdit(parent);
    }
}

// Shows value as near as the control can: a number clamped into the box's range, the
// first item for text that is none of the list's.
void showOwnValue(QWidget* control, const std::string& value) {
    if (auto* spin = qobject_cast<QSpinBox*>(control))
        spin->setValue(clampedToInt(optionInteger(value).value_or(0)));
    else if (auto* check = qobject_cast<QCheckBox*>(control))
        check->setChecked(q(value).compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0);
    else if (auto* box = qobject_cast<QComboBox*>(control))
        box->setCurrentIndex(std::max(0, box->findText(q(value))));
    else if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->setText(q(value));
}

std::string ownValueOf(const QWidget* control) {
    if (auto* spin = qobject_cast<const QSpinBox*>(control)) return std::to_string(spin->value());
    if (auto* check = qobject_cast<const QCheckBox*>(control))
        return check->isChecked() ? "true" : "false";
    if (auto* box = qobject_cast<const QComboBox*>(control))
        return box->currentText().toStdString();
    if (auto* edit = qobject_cast<const QLineEdit*>(control)) return edit->text().toStdString();
    return {};
}

QLabel* nameLabel(const std::string& name, QWidget* parent) {
    const QString full = q(displayText(name));
    auto* label = new QLabel(parent);
    label->setObjectName(q("选项名:") + full);
    label->setFixedWidth(OWN_NAME_WIDTH);
    label->setText(label->fontMetrics().elidedText(full, Qt::ElideRight, OWN_NAME_WIDTH));
    label->setToolTip(full);
    return label;
}

} // namespace

OwnOptionsPage::OwnOptionsPage(const std::vector<AnnouncedOption>& announced, EngineProtocol speaks,
    const std::map<std::string, std::string>& stored, bool running,
    std::function<void(const std::string&)> press, QWidget* parent)
    : QWidget(parent)
    , press_(std::move(press)) {
    setObjectName(q("引擎自带选项"));
    auto* layout = new QVBoxLayout(this);
    std::vector<AnnouncedOption> shown;
    for (const AnnouncedOption& option : announced)
        if (!isProgramOption(option.name, speaks) && !switchesProtocol(option.name))
            shown.push_back(option);
    if (running && !shown.empty()) {
        layout->addWidget(buildList(shown, stored));
        return;
    }
    auto* note = new QLabel(q(running ? "引擎没有其他选项" : "引擎未加载"), this);
    note->setObjectName(q("自带选项说明"));
    note->setAlignment(Qt::AlignCenter);
    layout->addWidget(note);
}

// One row per option in a scrolled list, so that hundreds stay usable.
QWidget* OwnOptionsPage::buildList(
    const std::vector<AnnouncedOption>& shown, const std::map<std::string, std::string>& stored) {
    auto* scroll = new QScrollArea;
    scroll->setObjectName(q("自带选项列表"));
    scroll->setWidgetResizable(true);
    auto* list = new QWidget(scroll);
    auto* grid = new QGridLayout(list);
    int row = 0;
    for (const AnnouncedOption& option : shown) {
        grid->addWidget(nameLabel(option.name, list), row, 0);
        grid->addWidget(control(option, storedOptionValue(stored, option.name), list), row++, 1);
    }
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(row, 1);
    scroll->setWidget(list);
    return scroll;
}

QWidget* OwnOptionsPage::control(
    const AnnouncedOption& option, const std::string* stored, QWidget* parent) {
    if (option.kind == OptionKind::Button) {
        auto* press = new QPushButton(q("执行"), parent);
        press->setObjectName(ownName(option.name));
        press->setAutoDefault(false);
        connect(press, &QPushButton::clicked, this, [this, name = option.name] { press_(name); });
        return press;
    }
    QWidget* control = valueControl(option, parent);
    control->setObjectName(ownName(option.name));
    if (std::optional<std::string> fixed = fixedOptionValue(option)) {
        // Set by the program after every handshake: shown, never chosen or stored.
        showOwnValue(control, *fixed);
        control->setEnabled(false);
        control->setToolTip(q("本程序只下中国象棋，此项固定"));
        return control;
    }
    showOwnValue(control, option.defaultValue);
    rows_.push_back({ option, control, ownValueOf(control) });
    if (stored && acceptsOptionValue(option, *stored)) showOwnValue(control, *stored);
    watchTouches(control, rows_.size() - 1);
    auto* edit = qobject_cast<QLineEdit*>(control);
    return edit && looksLikePath(option) ? pathControl(edit, option.name, parent) : control;
}

// The edit with a "..." button that picks a file for it.
QWidget* OwnOptionsPage::pathControl(QLineEdit* edit, const std::string& name, QWidget* parent) {
    auto* row = new QWidget(parent);
    auto* line = new QHBoxLayout(row);
    line->setContentsMargins(0, 0, 0, 0);
    edit->setParent(row);
    line->addWidget(edit, 1);
    auto* choose = new QPushButton(q("..."), row);
    choose->setObjectName(q("自带选项文件:") + q(displayText(name)));
    choose->setAutoDefault(false);
    choose->setFixedWidth(30);
    line->addWidget(choose);
    connect(choose, &QPushButton::clicked, this, [this, edit, name] {
        const std::string path
            = askOpenFileName(this, "选择文件：" + displayText(name), "所有文件（*）|*");
        if (!path.empty()) edit->setText(q(path));
    });
    return row;
}

void OwnOptionsPage::watchTouches(QWidget* control, std::size_t row) {
    const auto touch = [this, row] { rows_[row].touched = true; };
    // Picking the item already shown counts too: activated, not a change of index.
    if (auto* box = qobject_cast<QComboBox*>(control))
        connect(box, &QComboBox::activated, this, touch);
    else if (auto* spin = qobject_cast<QSpinBox*>(control))
        connect(spin, &QSpinBox::valueChanged, this, touch);
    else if (auto* check = qobject_cast<QCheckBox*>(control))
        connect(check, &QCheckBox::clicked, this, touch);
    else if (auto* edit = qobject_cast<QLineEdit*>(control))
        connect(edit, &QLineEdit::textChanged, this, touch);
}

void OwnOptionsPage::putInto(std::map<std::string, std::string>& own, bool protocolChanges) const {
    for (const Row& row : rows_) {
        eraseStoredOption(own, row.option.name);
        const std::string value = ownValueOf(row.control);
        // Also against what the control showed for the default: a default it cannot
        // show (out of its range, none of the choices) is no change by the user.
        const bool changed = value != row.option.defaultValue && value != row.shownDefault;
        const bool chosen = changed || (protocolChanges && row.touched);
        if (chosen && acceptsOptionValue(row.option, value)) own[row.option.name] = value;
    }
}

} // namespace qinglan
