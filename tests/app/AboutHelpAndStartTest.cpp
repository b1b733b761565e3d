// The about box, the help window and its pages, a file given at start, and a program
// laid out as an installation puts it (engines in lib/qinglan, settings in the user's
// folder).
#include "WindowFixture.h"
#include "app/HelpWindow.h"
#include "app/dialogs/AboutDialog.h"
#include "version/Version.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QRegularExpression>
#include <QTextBrowser>
#include <filesystem>
#include <fstream>
#include <set>

namespace qinglan::testing {

namespace fs = std::filesystem;

class AboutHelpAndStartTest : public WindowFixture {
protected:
    // The about box's text, as it is shown.
    std::string aboutBoxText() {
        std::string shown;
        onDialog = [&](QDialog& dialog) {
            if (auto* about = dynamic_cast<AboutDialog*>(&dialog))
                shown = about->textLabel()->text().toStdString();
            return int(QDialog::Accepted);
        };
        menus().about->trigger();
        onDialog = nullptr;
        return shown;
    }

    // A new window over the state, as the program makes it at start.
    void restartWindow() {
        window.reset();
        window = std::make_unique<MainWindow>(*state, std::make_unique<RecordingSound>(sounds));
        window->heartbeat().stop();
    }

    static QString pageText(const QString& name) {
        QFile file(QStringLiteral(":/help/") + name);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
};

TEST_F(AboutHelpAndStartTest, AboutBoxNamesVersionLicenceAndTheEnginesLoaded) {
    std::string text = aboutBoxText();
    ASSERT_FALSE(dialogs.empty());
    EXPECT_EQ(dialogs.back(), "青岚象棋");
    EXPECT_NE(text.find("版本：" + versionText()), std::string::npos) << text;
    EXPECT_NE(text.find(programLicence()), std::string::npos) << text;
    EXPECT_NE(text.find("主引擎：未加载"), std::string::npos) << text;

    ASSERT_TRUE(window->game().engineSlot(true).loadProgram(QINGLAN_BUNDLED_ENGINE));
    text = aboutBoxText();
    const std::string name = window->game().engineSlot(true).name();
    ASSERT_FALSE(name.empty());
    EXPECT_NE(text.find("主引擎：" + name + "\n    " + QINGLAN_BUNDLED_ENGINE), std::string::npos)
        << text;
    EXPECT_NE(text.find("副引擎：未加载"), std::string::npos) << text;
    EXPECT_TRUE(messages.empty()) << "the about box is a dialog, not a message";
}

TEST_F(AboutHelpAndStartTest, HelpTopicsOpensOneHelpWindowAtItsFirstPage) {
    menus().helpTopics->trigger();
    auto* help = window->findChild<HelpWindow*>();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->browser().source().toString().toStdString(), HELP_HOME);
    EXPECT_EQ(help->browser().documentTitle(), QStringLiteral("目录"));

    help->browser().setSource(QUrl(QStringLiteral("qrc:/help/rules.html")));
    menus().helpTopics->trigger();
    EXPECT_EQ(window->findChildren<HelpWindow*>().size(), 1);
    EXPECT_EQ(help->browser().source().toString().toStdString(), HELP_HOME) << "back to the start";
}

// Every link of every page leads to a page of the help, each page is reachable from the
// first one, and the browser shows each with its title.
TEST_F(AboutHelpAndStartTest, HelpLinksAllResolveAndReachEveryPage) {
    menus().helpTopics->trigger();
    QTextBrowser& browser = window->findChild<HelpWindow*>()->browser();
    const QStringList pages = QDir(QStringLiteral(":/help")).entryList({ "*.html" });
    ASSERT_GE(pages.size(), 8);
    const QRegularExpression link(QStringLiteral("href=\"([^\"]*)\""));
    const QRegularExpression title(QStringLiteral("<title>([^<]*)</title>"));
    std::set<QString> reached { QStringLiteral("index.html") };
    for (const QString& page : pages) {
        const QString text = pageText(page);
        for (auto match = link.globalMatch(text); match.hasNext();) {
            const QString target = match.next().captured(1);
            EXPECT_TRUE(QFile::exists(QStringLiteral(":/help/") + target))
                << page.toStdString() << " links to a missing " << target.toStdString();
            reached.insert(target);
        }
        browser.setSource(QUrl(QStringLiteral("qrc:/help/") + page));
        EXPECT_EQ(browser.documentTitle(), title.match(text).captured(1)) << page.toStdString();
        EXPECT_GT(browser.toPlainText().size(), 100) << page.toStdString();
    }
    for (const QString& page : pages)
        EXPECT_TRUE(reached.count(page)) << page.toStdString() << " is reached by no link";
}

// The menu page names each item as the menu bar shows it, so a renamed item is noticed.
TEST_F(AboutHelpAndStartTest, HelpMenuPageNamesEveryMenuItem) {
    const QString page = pageText(QStringLiteral("menus.html")).replace("&amp;", "&");
    for (QAction* menu : window->menuBar()->actions()) {
        EXPECT_TRUE(page.contains(menu->text())) << menu->text().toStdString();
        for (QAction* item : menu->menu()->actions()) {
            if (item->isSeparator()) continue;
            EXPECT_TRUE(page.contains(item->text())) << item->text().toStdString();
            if (!item->shortcut().isEmpty()) {
                EXPECT_TRUE(page.contains(item->shortcut().toString()))
                    << item->text().toStdString();
            }
        }
    }
}

TEST_F(AboutHelpAndStartTest, APositionFileGivenAtStartIsOpenedInsteadOfTheGreeting) {
    const std::string path = programDir.filePath(QStringLiteral("局面.fen")).toStdString();
    const std::string fen = "4k4/9/9/9/9/9/9/9/4R4/3K5 w - - 0 1";
    std::ofstream(path) << fen << " moves e1e8\n";
    restartWindow();
    dialogs.clear();
    window->openFileAtStart(path);
    window->show();
    window->activateWindow();
    settle();
    EXPECT_EQ(std::count(dialogs.begin(), dialogs.end(), "开始对局"), 0) << "no greeting";
    EXPECT_EQ(game().board.plyCount(), 1);
    EXPECT_EQ(game().board.startFen(), fen);
}

TEST_F(AboutHelpAndStartTest, ABadFileGivenAtStartIsReportedAndTheGreetingFollows) {
    for (const char* name : { "对局.xqf", "对局.PGN" }) {
        const std::string path = programDir.filePath(QString::fromUtf8(name)).toStdString();
        std::ofstream(path) << "XQ";
        messages.clear();
        dialogs.clear();
        const std::string before = game().board.toFen();
        window->openFileAtStart(path);
        settle();
        ASSERT_EQ(messages.size(), 1u) << name;
        EXPECT_EQ(dialogs, std::vector<std::string> { "开始对局" }) << "greeted after all";
        EXPECT_NE(messages[0].text.find("无法打开"), std::string::npos);
        EXPECT_NE(messages[0].text.find(path), std::string::npos);
        EXPECT_EQ(game().board.toFen(), before);
    }
    messages.clear();
    window->openFileAtStart(programDir.filePath(QStringLiteral("没有.fen")).toStdString());
    settle();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].text.find("文件无法读取"), std::string::npos) << messages[0].text;
    EXPECT_EQ(std::count(dialogs.begin(), dialogs.end(), "开始对局"), 2);
}

// Laid out as `cmake --install` does: <prefix>/bin holds the program (its folder may
// even be writable, as for root), <prefix>/lib/qinglan the engines.
TEST_F(AboutHelpAndStartTest, AnInstalledProgramFindsItsEnginesAndKeepsSettingsInTheUserFolder) {
    const fs::path prefix = programDir.path().toStdString();
    fs::create_directories(prefix / "bin");
    fs::create_directories(prefix / "lib/qinglan");
    for (const char* name : { "青岚引擎1.0.exe", "松涛引擎1.0.exe" })
        fs::create_symlink(QINGLAN_BUNDLED_ENGINE, prefix / "lib/qinglan" / name);
    const fs::path config = prefix / "config";
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    state->programDir = (prefix / "bin").string();
    restartWindow();
    EXPECT_EQ(
        window->windowTitle().toStdString(), "青岚引擎1.0 VS 松涛引擎1.0 - 青岚象棋5.0测试版");
    window.reset(); // saves the settings
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_FALSE(fs::exists(prefix / "bin/青岚象棋配置.ini"))
        << "never beside an installed program";
    std::ifstream saved(config / "qinglan/青岚象棋配置.ini");
    const std::string text((std::istreambuf_iterator<char>(saved)), {});
    EXPECT_NE(
        text.find("文件名=" + (prefix / "lib/qinglan/青岚引擎1.0.exe").string()), std::string::npos)
        << text;
}

} // namespace qinglan::testing
