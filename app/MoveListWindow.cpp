#include "app/MoveListWindow.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QWheelEvent>
#include <algorithm>

namespace qinglan {

namespace {
// The comment box takes this share of the window's height.
constexpr int COMMENT_SHARE_PERCENT = 35;
} // namespace

const MoveListWindow::AnnotationChoice MoveListWindow::ANNOTATIONS[7]
    = { { 1, "好着 !" }, { 3, "妙着 !!" }, { 5, "有趣 !?" }, { 6, "可疑 ?!" }, { 2, "坏着 ?" },
          { 4, "败着 ??" }, { 0, "清除评注" } };

MoveListWindow::MoveListWindow(const QImage& background, QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint)
    , background_(background)
    , box_(new QPlainTextEdit(this))
    , commentBox_(new QPlainTextEdit(this)) {
    setObjectName(QStringLiteral("MoveListWindow"));
    box_->setObjectName(QStringLiteral("moveListBox"));
    box_->setReadOnly(true);
    box_->setLineWrapMode(QPlainTextEdit::NoWrap);
    box_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    commentBox_->setObjectName(QStringLiteral("commentBox"));
    commentBox_->setPlaceholderText(QStringLiteral("注释"));
    for (QPlainTextEdit* edit : { box_, commentBox_ }) {
        edit->setFrameShape(QFrame::NoFrame);
        // The text boxes are see-through so the window's picture shows behind them.
        edit->setAttribute(Qt::WA_TranslucentBackground);
        edit->viewport()->setAutoFillBackground(false);
        edit->setStyleSheet(
            QStringLiteral("QPlainTextEdit { background: transparent; color: #3a2410; }"));
    }
    commentBox_->setStyleSheet(QStringLiteral("QPlainTextEdit { background: transparent; color: "
                                              "#3a2410; border-top: 1px solid #a08050; }"));
    // Focus would let keyboard shortcuts of the main window land in the list.
    box_->setFocusPolicy(Qt::NoFocus);
    box_->viewport()->installEventFilter(this);
    box_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(box_, &QWidget::customContextMenuRequested, this, &MoveListWindow::showAnnotationMenu);
    connect(commentBox_, &QPlainTextEdit::textChanged, this, [this] {
        if (!showingComment_)
            emit commentEdited(current_, commentBox_->toPlainText().toStdString());
    });
}

void MoveListWindow::showList(const MoveListText& list, int current, const std::string& comment) {
    const bool moved = current != current_;
    list_ = list;
    current_ = current;
    QString shown = QString::fromStdString(list.text());
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (box_->toPlainText() != shown) box_->setPlainText(shown);
    highlightCurrent();
    // Files break comment lines with CR LF; the box wants one break for each.
    const QString text = QString::fromStdString(comment).remove(QLatin1Char('\r'));
    // Typing goes on in the box as it is; another move shows its own comment.
    if (moved || (!commentBox_->hasFocus() && commentBox_->toPlainText() != text)) {
        showingComment_ = true;
        commentBox_->setPlainText(text);
        showingComment_ = false;
    }
}

void MoveListWindow::highlightCurrent() {
    const int line = std::max(0, list_.lineOfNode(current_));
    const QTextBlock block = box_->document()->findBlockByNumber(line);
    QTextEdit::ExtraSelection selection;
    selection.format.setBackground(QColor(0xd8, 0xb0, 0x70));
    selection.format.setProperty(QTextFormat::FullWidthSelection, true);
    selection.cursor = QTextCursor(block);
    box_->setExtraSelections({ selection });
    box_->setTextCursor(QTextCursor(block));
    box_->centerCursor();
    // At the end of the list the last line is kept in view as it always was.
    if (line + 1 >= box_->document()->blockCount())
        box_->verticalScrollBar()->setValue(box_->verticalScrollBar()->maximum());
}

int MoveListWindow::nodeAt(const QPoint& viewportPoint) const {
    return list_.nodeOfLine(box_->cursorForPosition(viewportPoint).blockNumber());
}

bool MoveListWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == box_->viewport()) {
        if (event->type() == QEvent::MouseButtonPress) {
            const auto* press = static_cast<QMouseEvent*>(event);
            if (press->button() == Qt::LeftButton) {
                const int node = nodeAt(press->position().toPoint());
                if (node >= 0) emit nodeClicked(node);
                return true;
            }
        } else if (event->type() == QEvent::Wheel) {
            const int delta = static_cast<QWheelEvent*>(event)->angleDelta().y();
            if (delta != 0) emit stepRequested(delta > 0 ? BrowseStep::Back : BrowseStep::Forward);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void MoveListWindow::showAnnotationMenu(const QPoint& at) {
    const int node = nodeAt(at);
    if (node <= 0) return;
    QMenu menu(this);
    for (const AnnotationChoice& choice : ANNOTATIONS) {
        QAction* action = menu.addAction(QString::fromUtf8(choice.caption));
        connect(action, &QAction::triggered, this,
            [this, node, nag = choice.nag] { emit annotationChosen(node, nag); });
    }
    menu.exec(box_->viewport()->mapToGlobal(at));
}

void MoveListWindow::setAlpha(int alpha) {
    alpha_ = std::clamp(alpha, 0, 255);
    setWindowOpacity(alpha_ / 255.0);
}

void MoveListWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (background_.isNull())
        painter.fillRect(rect(), QColor(0xf3, 0xe2, 0xb8));
    else
        painter.drawImage(rect(), background_);
}

void MoveListWindow::resizeEvent(QResizeEvent*) {
    const int commentHeight = height() * COMMENT_SHARE_PERCENT / 100;
    box_->setGeometry(0, 0, width(), height() - commentHeight);
    commentBox_->setGeometry(0, height() - commentHeight, width(), commentHeight);
}

} // namespace qinglan
