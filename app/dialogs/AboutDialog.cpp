#include "app/dialogs/AboutDialog.h"

#include "game/Game.h"
#include "platform/TextEncoding.h"
#include "resources/Resources.h"
#include "version/Version.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace qinglan {

namespace {

std::string engineLine(const char* slot, const AboutEngine& engine) {
    if (!engine.loaded) return std::string(slot) + "：未加载\n";
    return std::string(slot) + "：" + engine.name + "\n    " + engine.path + "\n";
}

AboutEngine aboutEngineOf(Game& game, bool main) {
    if (!game.isEngineRunning(main)) return {};
    const EngineProcess& engine = game.engine(main);
    return { true, displayText(engine.name()), displayText(engine.programPath()) };
}

} // namespace

std::string aboutText(const AboutEngine& mainEngine, const AboutEngine& secondaryEngine) {
    std::string text = "青岚象棋 " + programVersion() + "测试版\n";
    text += "与 UCCI、UCI 引擎对弈的中国象棋程序。\n\n";
    text += "版本：" + versionText() + "\n";
    text += "许可证：" + programLicence() + "\n";
    text += "青岚象棋开发组制作。\n\n";
    text += engineLine("主引擎", mainEngine);
    text += engineLine("副引擎", secondaryEngine);
    text += std::string("\n界面库：Qt ") + qVersion() + "\n";
    return text;
}

AboutDialog::AboutDialog(Game& game, QWidget* owner)
    : QDialog(owner)
    , text_(new QLabel(this)) {
    setWindowTitle(QStringLiteral("青岚象棋"));
    setObjectName(QStringLiteral("关于"));
    auto* icon = new QLabel(this);
    icon->setPixmap(QIcon(res::APP_ICON).pixmap(64, 64));
    icon->setAlignment(Qt::AlignTop);
    text_->setText(
        QString::fromStdString(aboutText(aboutEngineOf(game, true), aboutEngineOf(game, false))));
    // Engine names are the engines' own text: never markup.
    text_->setTextFormat(Qt::PlainText);
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* row = new QHBoxLayout;
    row->addWidget(icon);
    row->addWidget(text_, 1);
    auto* column = new QVBoxLayout(this);
    column->addLayout(row);
    column->addWidget(buttons);
    setSizeGripEnabled(false);
}

} // namespace qinglan
