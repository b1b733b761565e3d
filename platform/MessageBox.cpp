#include "platform/MessageBox.h"

#include <QMessageBox>
#include <QPushButton>

namespace qinglan {

namespace {

constexpr int BUTTON_MASK = 0x0f;
constexpr int ICON_MASK = 0xf0;
constexpr int ICON_ERROR = 0x10;
constexpr int ICON_QUESTION = 0x20;

MessageBoxHandler& handlerSlot() {
    static MessageBoxHandler handler;
    return handler;
}

QMessageBox::Icon iconFor(int flags) {
    switch (flags & ICON_MASK) {
    case ICON_ERROR:
        return QMessageBox::Critical;
    case ICON_QUESTION:
        return QMessageBox::Question;
    case MESSAGE_FLAG_WARNING:
        return QMessageBox::Warning;
    case MESSAGE_FLAG_INFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

} // namespace

int showMessageBox(QWidget* owner, const QString& text, const QString& title, int flags) {
    if (const MessageBoxHandler& handler = handlerSlot()) return handler(text, title, flags);
    // Messages are built with CR LF line ends, which a Qt label would show as stray glyphs.
    QString body = text;
    body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const QString caption = title.isEmpty() ? QStringLiteral("信息：") : title;

    QMessageBox box(owner);
    box.setWindowModality(Qt::ApplicationModal);
    box.setIcon(iconFor(flags));
    box.setWindowTitle(caption);
    // Engine names end up in these texts; they are shown as written, never as markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(body);

    const bool yesNo = (flags & BUTTON_MASK) == MESSAGE_FLAG_YES_NO;
    if (!yesNo) {
        // Every other button set the program never asks for falls back to a plain OK box.
        QPushButton* ok = box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
        box.setDefaultButton(ok);
        box.setEscapeButton(ok);
        box.exec();
        return MESSAGE_OK;
    }
    QPushButton* yes = box.addButton(QStringLiteral("是(&Y)"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("否(&N)"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    // Escape and the close box answer No.
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes ? MESSAGE_YES : MESSAGE_NO;
}

void setMessageBoxHandler(MessageBoxHandler handler) {
    handlerSlot() = std::move(handler);
}

} // namespace qinglan
