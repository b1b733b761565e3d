#include "app/dialogs/DisplaySettingsDialog.h"

#include "app/dialogs/DialogPlacement.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBox.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

namespace qinglan {

namespace {

// The animation slider runs against the step count: right is faster.
constexpr int SLIDER_MAX = 100;

QString q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

template<class Widget> Widget* place(Widget* widget, const char* name, int x, int y, int w, int h) {
    widget->setObjectName(q(name));
    widget->setGeometry(x, y, w, h);
    return widget;
}

QPushButton* button(
    QWidget* parent, const char* name, const char* caption, int x, int y, int w, int h) {
    auto* widget = place(new QPushButton(q(caption), parent), name, x, y, w, h);
    widget->setAutoDefault(false);
    return widget;
}

QSlider* slider(
    QWidget* parent, const char* labelName, const char* caption, const char* name, int y) {
    place(new QLabel(q(caption), parent), labelName, 10, y, 80, 20);
    auto* widget = place(new QSlider(Qt::Horizontal, parent), name, 100, y, 200, 20);
    widget->setRange(0, SLIDER_MAX);
    return widget;
}

} // namespace

DisplaySettingsDialog::DisplaySettingsDialog(
    const DisplaySettings& current, Apply apply, QWidget* owner)
    : QDialog(owner)
    , apply_(std::move(apply)) {
    setObjectName(q("显示设置"));
    setWindowTitle(q("显示设置"));
    setModal(false);
    buildRows();
    showSettings(current);
    placeDialog(*this, owner, CLIENT_WIDTH, CLIENT_HEIGHT);
}

void DisplaySettingsDialog::buildRows() {
    place(new QLabel(q("窗口底图："), this), "标签1", 10, 10, 80, 20);
    background_ = place(new QLineEdit(this), "底图文件名", 90, 10, 100, 20);
    auto* choose = button(this, "设置底图按钮", "...", 195, 10, 30, 20);
    auto* byDefault = button(this, "设置底图按钮1", "默认", 227, 10, 35, 20);
    auto* clear = button(this, "设置底图按钮2", "清空", 265, 10, 35, 20);
    boardTransparency_ = slider(this, "标签2", "棋盘透明度：", "棋盘透明度", 40);
    pieceTransparency_ = slider(this, "标签3", "棋子透明度：", "棋子透明度", 70);
    listTransparency_ = slider(this, "标签4", "列表透明度：", "列表透明度", 100);
    animationSpeed_ = slider(this, "标签5", "动画速度：", "动画速度", 130);
    auto* ok = button(this, "确定按钮", "确定", 16, 160, 80, 32);
    auto* cancel = button(this, "取消按钮", "取消", 116, 160, 80, 32);
    auto* applyButton = button(this, "应用按钮", "应用", 216, 160, 80, 32);
    ok->setDefault(true);

    connect(choose, &QPushButton::clicked, this, &DisplaySettingsDialog::chooseBackground);
    connect(byDefault, &QPushButton::clicked, this, [this] { background_->setText(q("默认")); });
    connect(clear, &QPushButton::clicked, this, [this] { background_->clear(); });
    connect(applyButton, &QPushButton::clicked, this, &DisplaySettingsDialog::applyControls);
    connect(ok, &QPushButton::clicked, this, [this] {
        applyControls();
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void DisplaySettingsDialog::showSettings(const DisplaySettings& settings) {
    background_->setText(QString::fromStdString(settings.backgroundImage));
    pieceTransparency_->setValue(settings.pieceTransparency);
    boardTransparency_->setValue(settings.boardTransparency);
    listTransparency_->setValue(settings.listTransparency);
    animationSpeed_->setValue(SLIDER_MAX - settings.animationSteps);
}

DisplaySettings DisplaySettingsDialog::settingsFromControls() const {
    DisplaySettings settings;
    settings.backgroundImage = background_->text().toStdString();
    settings.boardTransparency = boardTransparency_->value();
    settings.pieceTransparency = pieceTransparency_->value();
    settings.listTransparency = listTransparency_->value();
    settings.animationSteps = SLIDER_MAX - animationSpeed_->value();
    return settings;
}

void DisplaySettingsDialog::chooseBackground() {
    const std::string path
        = askOpenFileName(this, "设置窗口底图", "图片文件|*bmp;*.gif;*.png;*.jpg;*.jpeg");
    if (!path.empty()) background_->setText(QString::fromStdString(path));
}

void DisplaySettingsDialog::applyControls() {
    const DisplaySettings settings = settingsFromControls();
    // The picture on screen stays; the person learns why the new one did not appear.
    if (!apply_(settings))
        showMessageBox(this,
            q("无法读取底图文件：") + QString::fromStdString(settings.backgroundImage),
            q("青岚象棋"), 0);
}

} // namespace qinglan
