// Message boxes: the test seam, and the real box driven from a timer (flags to buttons
// and icon, and which answer each way of closing gives).
#include "platform/MessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace qinglan;

namespace {

struct SeenBox {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    QString title, text;
    Qt::TextFormat format = Qt::AutoText;
    bool modal = false;
    QWidget* parent = nullptr;
};

// Opens the real box and, once it is up, records it and closes it with the given action.
int answerBox(int flags, SeenBox& seen, std::function<void(QMessageBox*)> act,
    const QString& text = QStringLiteral("引擎异常退出！"),
    const QString& title = QStringLiteral("青岚象棋"), QWidget* owner = nullptr) {
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [&seen, act, poll]() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            QTimer::singleShot(5, *poll);
            return;
        }
        seen.icon = box->icon();
        for (QAbstractButton* button : box->buttons()) seen.buttons << button->text();
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.format = box->textFormat();
        seen.modal = box->isModal();
        seen.parent = box->parentWidget();
        act(box);
    };
    QTimer::singleShot(0, *poll);
    const int result = showMessageBox(owner, text, title, flags);
    *poll = nullptr; // breaks the cycle of the shared function
    return result;
}

void click(QMessageBox* box, const QString& caption) {
    for (QAbstractButton* button : box->buttons())
        if (button->text() == caption) {
            button->click();
            return;
        }
    ADD_FAILURE() << "no button " << caption.toStdString();
    box->reject();
}

const QString YES = QStringLiteral("是(&Y)");
const QString NO = QStringLiteral("否(&N)");
const QString OK = QStringLiteral("确定");

} // namespace

TEST(MessageBoxSeam, ReplacesTheBoxWhileSet) {
    QString seenText, seenTitle;
    int seenFlags = -1;
    setMessageBoxHandler([&](const QString& text, const QString& title, int flags) {
        seenText = text;
        seenTitle = title;
        seenFlags = flags;
        return MESSAGE_NO;
    });
    EXPECT_EQ(showMessageBox(nullptr, QStringLiteral("名称：x\r\n"), QString(), 52), MESSAGE_NO);
    EXPECT_EQ(seenText, QStringLiteral("名称：x\r\n"));
    EXPECT_EQ(seenTitle, QString());
    EXPECT_EQ(seenFlags, 52);
    setMessageBoxHandler({});

    // Restored: the real box opens again.
    SeenBox seen;
    EXPECT_EQ(answerBox(0, seen, [](QMessageBox* box) { click(box, OK); }), MESSAGE_OK);
    EXPECT_EQ(seen.buttons, QStringList { OK });
    EXPECT_EQ(seenFlags, 52);
}

TEST(MessageBox, FlagsChooseButtonsAndIcon) {
    struct Row {
        int flags;
        QMessageBox::Icon icon;
        QStringList buttons;
    };
    const Row rows[] = {
        { 0, QMessageBox::NoIcon, { OK } },
        { 4, QMessageBox::NoIcon, { YES, NO } },
        { 48, QMessageBox::Warning, { OK } },
        { 52, QMessageBox::Warning, { YES, NO } },
        { 64, QMessageBox::Information, { OK } },
        { 68, QMessageBox::Information, { YES, NO } },
    };
    QWidget owner;
    for (const Row& row : rows) {
        SeenBox seen;
        const bool yesNo = row.buttons.size() == 2;
        const int result = answerBox(
            row.flags, seen, [&](QMessageBox* box) { click(box, yesNo ? YES : OK); },
            QStringLiteral("a"), QStringLiteral("b"), &owner);
        EXPECT_EQ(result, yesNo ? MESSAGE_YES : MESSAGE_OK) << row.flags;
        EXPECT_EQ(seen.icon, row.icon) << row.flags;
        EXPECT_EQ(seen.buttons, row.buttons) << row.flags;
        EXPECT_TRUE(seen.modal);
        EXPECT_EQ(seen.parent, &owner);
    }
}

TEST(MessageBox, EveryWayOutOfAYesNoBoxButYesIsNo) {
    SeenBox seen;
    EXPECT_EQ(answerBox(52, seen, [](QMessageBox* box) { click(box, NO); }), MESSAGE_NO);
    EXPECT_EQ(answerBox(52, seen, [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); }),
        MESSAGE_NO);
    EXPECT_EQ(answerBox(4, seen, [](QMessageBox* box) { box->close(); }), MESSAGE_NO);
    // Enter takes the default button, Yes.
    EXPECT_EQ(answerBox(4, seen, [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Return); }),
        MESSAGE_YES);
    EXPECT_EQ(answerBox(48, seen, [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); }),
        MESSAGE_OK);
}

TEST(MessageBox, ShowsTextPlainlyWithTheDefaultTitle) {
    SeenBox seen;
    answerBox(
        64, seen, [](QMessageBox* box) { box->close(); },
        QStringLiteral("名称：<b>引擎</b>\r\n作者：某人\r\n"), QString());
    EXPECT_EQ(seen.title, QStringLiteral("信息："));
    EXPECT_EQ(seen.text, QStringLiteral("名称：<b>引擎</b>\n作者：某人\n"));
    EXPECT_EQ(seen.format, Qt::PlainText);
    answerBox(
        0, seen, [](QMessageBox* box) { box->close(); }, QStringLiteral("x"),
        QStringLiteral("错误！"));
    EXPECT_EQ(seen.title, QStringLiteral("错误！"));
}
