#include "app/ThinkingWindow.h"

#include <QMoveEvent>
#include <QPlainTextEdit>
#include <QScrollBar>

namespace qinglan {

namespace {

QPlainTextEdit* makeBox(QWidget* parent, const char* name) {
    auto* box = new QPlainTextEdit(parent);
    box->setObjectName(QString::fromUtf8(name));
    box->setReadOnly(true);
    box->setLineWrapMode(QPlainTextEdit::NoWrap);
    // The rows line up in columns only in a face where a Chinese character is exactly
    // two Latin ones wide.
    QFont font = box->font();
    font.setFamilies({ QStringLiteral("宋体"), QStringLiteral("Noto Sans Mono CJK SC") });
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(14);
    box->setFont(font);
    return box;
}

} // namespace

ThinkingWindow::ThinkingWindow(QWidget* owner)
    : QWidget(owner, Qt::Tool)
    , mainBox_(makeBox(this, "编辑框1"))
    , secondaryBox_(makeBox(this, "编辑框2")) {
    setObjectName(QStringLiteral("ThinkingWindow"));
    setWindowTitle(QStringLiteral("引擎思考信息"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(DESIGN_WIDTH, DESIGN_HEIGHT);
}

bool ThinkingWindow::isEmpty(bool mainEngine) const {
    return box(mainEngine)->document()->isEmpty();
}

void ThinkingWindow::append(bool mainEngine, const std::string& text) {
    QPlainTextEdit* target = box(mainEngine);
    QString shown = QString::fromStdString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QTextCursor cursor(target->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(shown);
    target->verticalScrollBar()->setValue(target->verticalScrollBar()->maximum());
}

void ThinkingWindow::clear(bool mainEngine) {
    box(mainEngine)->clear();
}

void ThinkingWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    emit moved(frameGeometry().topLeft());
}

void ThinkingWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int half = height() / 2;
    mainBox_->setGeometry(0, 0, width(), half);
    secondaryBox_->setGeometry(0, half, width(), half);
}

} // namespace qinglan
