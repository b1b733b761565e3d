#include "app/dialogs/EngineOptionsDialog.h"

#include "app/dialogs/DialogPlacement.h"
#include "app/dialogs/OwnOptionsPage.h"
#include "platform/DialogRunner.h"
#include "platform/FileDialogs.h"
#include "platform/TextEncoding.h"
#include "settings/ProfileFile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>
#include <algorithm>
#include <array>
#include <span>

namespace qinglan {

namespace {

// The option texts an engine receives, in list order, and what the lists show.
constexpr std::array<const char*, 4> AMOUNT_VALUES { "none", "small", "medium", "large" };
constexpr std::array<const char*, 4> AMOUNT_ITEMS { "无", "小", "中", "大" };
constexpr std::array<const char*, 3> STYLE_VALUES { "risky", "normal", "solid" };
constexpr std::array<const char*, 3> STYLE_ITEMS { "冒进", "均衡", "保守" };
constexpr std::array<EngineProtocol, 3> PROTOCOL_VALUES { EngineProtocol::Ucci, EngineProtocol::Uci,
    EngineProtocol::Auto };
constexpr std::array<const char*, 3> PROTOCOL_ITEMS { "UCCI", "UCI", "自动" };

const QString AUTO_TEXT = QStringLiteral("自动");
const QString NO_BOOK_TEXT = QStringLiteral("禁止");
constexpr QChar FULL_WIDTH_SPACE { 0x3000 };

QString q(const char* utf8) {
    return QString::fromUtf8(utf8);
}
QString q(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

template<class Widget> Widget* place(Widget* widget, const char* name, int x, int y, int w, int h) {
    widget->setObjectName(q(name));
    widget->setGeometry(x, y, w, h);
    return widget;
}

QLabel* label(QWidget* parent, const char* name, const char* caption, int x, int y, int w, int h) {
    return place(new QLabel(q(caption), parent), name, x, y, w, h);
}

QPushButton* button(
    QWidget* parent, const char* name, const char* caption, int x, int y, int w, int h) {
    auto* widget = place(new QPushButton(q(caption), parent), name, x, y, w, h);
    widget->setAutoDefault(false);
    return widget;
}

QComboBox* list(QWidget* parent, const char* name, std::span<const char* const> items, int x, int y,
    int w, int h) {
    auto* box = place(new QComboBox(parent), name, x, y, w, h);
    for (const char* item : items) box->addItem(q(item));
    return box;
}

// A text that is none of the values selects the last position.
int positionOf(const std::string& value, std::span<const char* const> values) {
    for (std::size_t i = 0; i < values.size(); ++i)
        if (value == values[i]) return static_cast<int>(i);
    return static_cast<int>(values.size()) - 1;
}

std::string valueAt(const QComboBox* box, std::span<const char* const> values) {
    const int at = box->currentIndex();
    return at >= 0 && at < static_cast<int>(values.size()) ? values[static_cast<std::size_t>(at)]
                                                           : values.back();
}

// 0 reads as "自动", and "自动" (no digits) reads back as 0.
QLineEdit* numberEdit(QWidget* parent, const char* name, int x, int y, int w, int h) {
    auto* edit = place(new QLineEdit(parent), name, x, y, w, h);
    QObject::connect(edit, &QLineEdit::textChanged, edit, [edit](const QString& text) {
        if (text == QStringLiteral("0")) edit->setText(AUTO_TEXT);
    });
    return edit;
}

// A label whose run of blanks is a gap another control lies over: the text after the
// blanks starts at tailX, whatever the width of a blank in the font at hand.
class GappedLabel : public QLabel {
public:
    GappedLabel(const QString& text, QWidget* parent)
        : QLabel(text, parent) { }
    int tailX = 0;

protected:
    void paintEvent(QPaintEvent*) override {
        const QString all = text();
        const qsizetype gap = all.indexOf(QLatin1Char(' '));
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::WindowText));
        const QRect area = contentsRect();
        const int flags = Qt::AlignLeft | Qt::AlignVCenter;
        if (gap < 0) {
            painter.drawText(area, flags, all);
            return;
        }
        painter.drawText(area, flags, all.left(gap));
        painter.drawText(area.adjusted(tailX, 0, 0, 0), flags, all.mid(gap).trimmed());
    }
};

int numberOf(const QLineEdit* edit) {
    return parseProfileInt(edit->text().toStdString());
}

bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == FULL_WIDTH_SPACE;
}

} // namespace

std::string confirmedBookText(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && isBlank(text[first])) ++first;
    while (last > first && isBlank(text[last - 1])) --last;
    const QString path = text.mid(first, last - first);
    // A line break would split the "setoption bookfiles" line the engine gets.
    const bool usable
        = !path.isEmpty() && !path.contains(QLatin1Char('\n')) && !path.contains(QLatin1Char('\r'));
    const QFileInfo file(path);
    return usable && file.exists() && !file.isDir() ? path.toStdString()
                                                    : NO_BOOK_TEXT.toStdString();
}

EngineOptionsDialog::EngineOptionsDialog(Game& game, bool main, QWidget* owner)
    : QDialog(owner)
    , engine_(game.engine(main)) {
    const EngineProcess& engine = engine_;
    setObjectName(QStringLiteral("引擎选项设置"));
    placeDialog(*this, owner, CLIENT_WIDTH, CLIENT_HEIGHT);
    setWindowTitle(q(main ? "主引擎 " : "副引擎 ") + q(displayText(engine.name())) + q(" 设置："));
    auto* tabs = place(new QTabWidget(this), "选项页", 5, 5, CLIENT_WIDTH - 10, TABS_HEIGHT);
    auto* general = new QWidget;
    general->setObjectName(q("常规"));
    tabs->addTab(general, q("常规"));
    buildCompatGroup(general);
    buildFeatureGroup(general);
    buildLogRow(general);
    buildProtocolRow(general);
    ownPage_ = new OwnOptionsPage(engine.profile().announced, engine.protocol(),
        engine.profile().ownOptions, game.isEngineRunning(main),
        [&game, main](const std::string& name) { game.pressEngineButton(main, name); });
    tabs->addTab(ownPage_, q("引擎自带选项"));
    const int buttonsY = TABS_HEIGHT + 12;
    auto* ok = button(this, "确定按钮", "确定", CLIENT_WIDTH / 2 - 90, buttonsY, 80, 32);
    auto* cancel = button(this, "取消按钮", "取消", CLIENT_WIDTH / 2 + 10, buttonsY, 80, 32);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &EngineOptionsDialog::confirm);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    showOptions(engine.optionsWithDefaultBook(), engine.profile().protocol);
}

std::optional<EngineOptionsChoice> chooseEngineOptions(Game& game, bool main, QWidget* owner) {
    EngineOptionsDialog dialog(game, main, owner);
    if (runModalDialog(dialog) != QDialog::Accepted) return std::nullopt;
    return dialog.choiceFromControls();
}

void EngineOptionsDialog::buildCompatGroup(QWidget* page) {
    auto* group = place(new QGroupBox(q("引擎兼容选项"), page), "分组框1", 10, 10, 300, 50);
    startpos_
        = place(new QCheckBox(q("启用startpos局面指令"), group), "启用startpos", 10, 20, 160, 20);
    simplePosition_
        = place(new QCheckBox(q("简化局面指令"), group), "简化局面指令", 180, 20, 110, 20);
}

void EngineOptionsDialog::buildFeatureGroup(QWidget* page) {
    auto* group = place(new QGroupBox(q("引擎功能选项"), page), "分组框2", 10, 70, 300, 146);
    label(group, "标签1", "随机性：", 10, 20, 50, 20);
    randomness_ = list(group, "随机性", AMOUNT_ITEMS, 65, 20, 50, 20);
    label(group, "标签2", "裁剪深度：", 166, 20, 60, 20);
    pruning_ = list(group, "裁剪深度", AMOUNT_ITEMS, 236, 20, 50, 20);
    label(group, "标签3", "风格：", 10, 50, 50, 20);
    style_ = list(group, "风格", STYLE_ITEMS, 65, 50, 60, 20);
    ponder_ = place(new QCheckBox(q("开启后台思考"), group), "开启后台思考", 166, 50, 110, 20);
    // The edit lies over the blank of its label: 内存： [edit] MB.
    auto* memory = place(new GappedLabel(q("内存：          MB"), group), "标签4", 10, 80, 132, 20);
    hashSize_ = numberEdit(group, "内存使用", 65, 80, 50, 20);
    memory->tailX = hashSize_->geometry().right() + 4 - memory->x();
    label(group, "标签5", "线程数：", 166, 80, 50, 20);
    threads_ = numberEdit(group, "线程数", 226, 80, 50, 20);
    buildBookRow(group);
}

void EngineOptionsDialog::buildBookRow(QWidget* group) {
    label(group, "标签6", "开局库：", 10, 115, 50, 20);
    book_ = place(new QLineEdit(group), "开局库", 65, 115, 120, 20);
    auto* choose = button(group, "设置开局库", "...", 188, 115, 30, 20);
    auto* byDefault = button(group, "默认开局库", "默认", 220, 115, 35, 20);
    auto* disable = button(group, "禁用开局库", "禁用", 258, 115, 35, 20);
    connect(choose, &QPushButton::clicked, this, &EngineOptionsDialog::chooseBook);
    connect(byDefault, &QPushButton::clicked, this,
        [this] { book_->setText(q(engine_.defaultBookFile())); });
    connect(disable, &QPushButton::clicked, this, [this] { book_->setText(q("禁用")); });
}

void EngineOptionsDialog::buildLogRow(QWidget* page) {
    label(page, "标签7", "通讯记录：", 20, 230, 65, 20);
    logFile_ = place(new QLineEdit(page), "日志文件", 90, 230, 180, 20);
    auto* choose = button(page, "设置日志文件", "...", 275, 230, 30, 20);
    connect(choose, &QPushButton::clicked, this, &EngineOptionsDialog::chooseLogFile);
}

void EngineOptionsDialog::buildProtocolRow(QWidget* page) {
    label(page, "标签8", "通讯协议：", 20, 260, 65, 20);
    protocol_ = list(page, "通讯协议", PROTOCOL_ITEMS, 90, 260, 70, 20);
}

void EngineOptionsDialog::showOptions(const EngineOptions& options, EngineProtocol protocol) {
    startpos_->setChecked(options.compatFlags & COMPAT_STARTPOS);
    simplePosition_->setChecked(options.compatFlags & COMPAT_RESTART_AT_CAPTURE);
    ponder_->setChecked(options.compatFlags & COMPAT_PONDER);
    style_->setCurrentIndex(positionOf(options.style, STYLE_VALUES));
    randomness_->setCurrentIndex(positionOf(options.randomness, AMOUNT_VALUES));
    pruning_->setCurrentIndex(positionOf(options.pruning, AMOUNT_VALUES));
    hashSize_->setText(QString::number(options.hashSizeMb));
    threads_->setText(QString::number(options.threads));
    book_->setText(q(options.bookFile));
    logFile_->setText(q(options.logFile));
    const auto shown = std::ranges::find(PROTOCOL_VALUES, protocol);
    protocol_->setCurrentIndex(static_cast<int>(shown - PROTOCOL_VALUES.begin()));
}

EngineOptionsChoice EngineOptionsDialog::choiceFromControls() const {
    EngineOptionsChoice choice;
    EngineOptions& options = choice.options;
    options.compatFlags = (startpos_->isChecked() ? COMPAT_STARTPOS : 0)
        | (simplePosition_->isChecked() ? COMPAT_RESTART_AT_CAPTURE : 0)
        | (ponder_->isChecked() ? COMPAT_PONDER : 0);
    options.randomness = valueAt(randomness_, AMOUNT_VALUES);
    options.pruning = valueAt(pruning_, AMOUNT_VALUES);
    options.style = valueAt(style_, STYLE_VALUES);
    options.threads = numberOf(threads_);
    options.hashSizeMb = numberOf(hashSize_);
    options.bookFile = book_->text().toStdString();
    options.logFile = logFile_->text().toStdString();
    choice.protocol = PROTOCOL_VALUES[static_cast<std::size_t>(protocol_->currentIndex())];
    // The engine is loaded again in the protocol chosen (Game::applyChosenProtocol).
    const bool protocolChanges
        = choice.protocol != EngineProtocol::Auto && choice.protocol != engine_.protocol();
    // Values of options the page does not show are kept as they were.
    choice.ownOptions = engine_.profile().ownOptions;
    ownPage_->putInto(choice.ownOptions, protocolChanges);
    return choice;
}

void EngineOptionsDialog::chooseBook() {
    const std::string path = askOpenFileName(this, "打开开局库文件", "所有文件（*）|*");
    if (!path.empty()) book_->setText(q(path));
}

void EngineOptionsDialog::chooseLogFile() {
    const std::string path
        = askSaveFileName(this, "保存通讯记录", "网页文件（*.htm）|*.htm", "htm");
    if (!path.empty()) logFile_->setText(q(path));
}

void EngineOptionsDialog::confirm() {
    book_->setText(q(confirmedBookText(book_->text())));
    accept();
}

} // namespace qinglan
