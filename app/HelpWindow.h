#pragma once

#include <QWidget>

class QTextBrowser;
class QUrl;

namespace qinglan {

// The bundled help's first page; every page lives under ":/help/".
inline constexpr const char* HELP_HOME = "qrc:/help/index.html";

// "帮助主题(&C)": the help pages in Chinese, compiled into the program, with their links
// followed inside the window (no browser). Not modal; one per main window.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* owner);
    QTextBrowser& browser() { return *browser_; }

private:
    QTextBrowser* browser_;
};

// Shows the owner's help window at its first page, making it on first use.
HelpWindow* showHelpWindow(QWidget* owner);

} // namespace qinglan
