#include "app/HelpWindow.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

// The pages are a resource of this static library: they are registered by hand.
static void registerHelpPages() {
    Q_INIT_RESOURCE(help);
}

namespace qinglan {

HelpWindow::HelpWindow(QWidget* owner)
    : QWidget(owner, Qt::Window)
    , browser_(new QTextBrowser(this)) {
    registerHelpPages();
    setObjectName(QStringLiteral("帮助窗口"));
    setWindowTitle(QStringLiteral("青岚象棋帮助"));
    browser_->setOpenExternalLinks(false);
    browser_->setOpenLinks(true);

    auto* home = new QPushButton(QStringLiteral("目录"), this);
    auto* back = new QPushButton(QStringLiteral("后退"), this);
    auto* forward = new QPushButton(QStringLiteral("前进"), this);
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(home, &QPushButton::clicked, browser_, &QTextBrowser::home);
    connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward, &QPushButton::clicked, browser_, &QTextBrowser::forward);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);
    connect(browser_, &QTextBrowser::sourceChanged, this,
        [this] { setWindowTitle(QStringLiteral("青岚象棋帮助 - ") + browser_->documentTitle()); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(home);
    buttons->addWidget(back);
    buttons->addWidget(forward);
    buttons->addStretch(1);
    auto* column = new QVBoxLayout(this);
    column->addLayout(buttons);
    column->addWidget(browser_, 1);
    resize(640, 560);
    browser_->setSource(QUrl(QString::fromLatin1(HELP_HOME)));
}

HelpWindow* showHelpWindow(QWidget* owner) {
    auto* window = owner->findChild<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly);
    if (!window) window = new HelpWindow(owner);
    window->browser().setSource(QUrl(QString::fromLatin1(HELP_HOME)));
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

} // namespace qinglan
