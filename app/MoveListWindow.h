#pragma once

#include "game/MoveListText.h"
#include "game/RecordKeeper.h"

#include <QImage>
#include <QWidget>
#include <string>

class QPlainTextEdit;

namespace qinglan {

// The move-list window: a frameless tool window owned by the main window, made
// translucent as a whole, with its built-in picture stretched behind the text boxes. It
// browses the record: a click on a move, or the wheel, asks for that position; the
// current move is highlighted and kept in view; the comment box below the list edits
// the current move's comment, and the list's context menu sets a move's annotation.
class MoveListWindow : public QWidget {
    Q_OBJECT
public:
    // Annotation numbers offered by the context menu, with their captions.
    struct AnnotationChoice {
        int nag;
        const char* caption;
    };
    static const AnnotationChoice ANNOTATIONS[7];

    MoveListWindow(const QImage& background, QWidget* owner);

    // "moveListBox": read-only, shows the move list.
    QPlainTextEdit* moveListBox() const { return box_; }
    // "commentBox": the current move's comment.
    QPlainTextEdit* commentBox() const { return commentBox_; }
    // Shows the list with the line of node current highlighted and in view, and that
    // node's comment (left alone while it is the node being edited).
    void showList(const MoveListText& list, int current, const std::string& comment);
    int currentNode() const { return current_; }
    // The node a line of the list shows, -1 for none.
    int nodeOfLine(int line) const { return list_.nodeOfLine(line); }
    // Opacity from an alpha of 0-255.
    void setAlpha(int alpha);
    int alpha() const { return alpha_; }

signals:
    void nodeClicked(int node);
    void stepRequested(BrowseStep step);
    void commentEdited(int node, const std::string& text);
    void annotationChosen(int node, int nag);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void highlightCurrent();
    void showAnnotationMenu(const QPoint& at);
    int nodeAt(const QPoint& viewportPoint) const;

    QImage background_;
    QPlainTextEdit* box_;
    QPlainTextEdit* commentBox_;
    MoveListText list_;
    int current_ = 0;
    bool showingComment_ = false; // the box is being filled, not edited
    int alpha_ = 255;
};

} // namespace qinglan
