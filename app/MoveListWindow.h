#pragma once

#include <QImage>
#include <QWidget>

class QPlainTextEdit;

namespace qinglan {

// The move-list window: a frameless tool window owned by the main window, made
// translucent as a whole, with its built-in picture stretched behind the text box.
class MoveListWindow : public QWidget {
    Q_OBJECT
public:
    MoveListWindow(const QImage& background, QWidget* owner);

    // "moveListBox": read-only, shows the move list.
    QPlainTextEdit* moveListBox() const { return box_; }
    // Shows text whose lines are separated by "\r\n", keeping the last line in view.
    void setListText(const std::string& text);
    // Opacity from an alpha of 0-255.
    void setAlpha(int alpha);
    int alpha() const { return alpha_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QImage background_;
    QPlainTextEdit* box_;
    int alpha_ = 255;
};

} // namespace qinglan
