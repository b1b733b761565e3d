#pragma once

#include "game/GameHost.h"

#include <QWidget>

class QPlainTextEdit;

namespace qinglan {

// "引擎思考信息": one read-only box per engine, the main engine's above the
// secondary's, each half the client height. It lives from the menu command that opens
// it until it is closed, and reports every move of its own so the main window can keep
// the offset.
class ThinkingWindow : public QWidget, public ThinkingDisplay {
    Q_OBJECT
public:
    static constexpr int DESIGN_WIDTH = 526;
    static constexpr int DESIGN_HEIGHT = 440;

    explicit ThinkingWindow(QWidget* owner);

    // "编辑框1" (main engine) and "编辑框2" (secondary engine).
    QPlainTextEdit* box(bool mainEngine) const { return mainEngine ? mainBox_ : secondaryBox_; }

    bool isEmpty(bool mainEngine) const override;
    // Lines separated by "\r\n"; the end of the text stays in view.
    void append(bool mainEngine, const std::string& text) override;
    void clear(bool mainEngine) override;

signals:
    void moved(QPoint topLeft);

protected:
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QPlainTextEdit* mainBox_;
    QPlainTextEdit* secondaryBox_;
};

} // namespace qinglan
