// A trial with a real third-party engine, run by `scripts/try-engines.sh uci` (skipped
// unless QINGLAN_TRY_ENGINE names the engine program). The engine stands under the
// main engine's default name, the bundled engine under the secondary's; the program
// starts, finds the engine's protocol by itself, and the engine is then switched to
// UCI on the options dialog, as a user would; a second visit finds its "UCI_Variant"
// shown fixed at xiangqi on the page of its own options; and it plays a whole game as
// red against the bundled engine in real time.
// Screenshots, both communication logs and the move list land in QINGLAN_TRY_OUT.
#include "WindowFixture.h"
#include "platform/Ticks.h"

#include <QComboBox>
#include <QTabWidget>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace qinglan::testing {
namespace {

namespace fs = std::filesystem;

class EngineTrialTest : public WindowFixture {
protected:
    EngineProcess& engine(bool main) { return window->game().engineSlot(main); }

    // Starts the program afresh from programDir, on the real clock.
    void restart(const std::string& out) {
        window.reset(); // saves its settings: before ours are written
        const std::string dir = programDir.path().toStdString();
        fs::create_symlink(engineProgram, dir + "/青岚引擎1.0.exe");
        fs::create_symlink(QINGLAN_BUNDLED_ENGINE, dir + "/松涛引擎1.0.exe");
        std::ofstream(dir + "/青岚象棋配置.ini")
            << "[主引擎]\n日志文件=" << out << "/main.htm\n"
            << "[副引擎]\n日志文件=" << out << "/secondary.htm\n";
        state->tickSource = tickMs;
        window = std::make_unique<MainWindow>(*state, std::make_unique<RecordingSound>(sounds));
        window->show();
        settle();
    }

    // What the user does on the dialog: UCI chosen as the protocol, then 确定 (the
    // engine is loaded again at once).
    int chooseUci(QDialog& dialog, const std::string& out) {
        auto* protocol = control<QComboBox>(dialog, "通讯协议");
        if (!protocol) return QDialog::Rejected;
        protocol->setCurrentText(QStringLiteral("UCI"));
        dialog.grab().save(QString::fromStdString(out + "/options-general.png"));
        clickOn(dialog, "确定按钮");
        return dialog.result();
    }
    // Then again: the page of the engine's own options, where the variant (a UCI
    // engine starts with chess) is shown as the program sets it, fixed; then 确定.
    int lookAtVariant(QDialog& dialog, const std::string& out) {
        auto* tabs = control<QTabWidget>(dialog, "选项页");
        auto* variant = control<QComboBox>(dialog, "自带选项:UCI_Variant");
        if (!tabs || !variant) return QDialog::Rejected;
        tabs->setCurrentIndex(1);
        dialog.show();
        settle();
        std::printf("UCI_Variant shown as: %s\n", variant->currentText().toStdString().c_str());
        variantFixed = variant->currentText() == QStringLiteral("xiangqi") && !variant->isEnabled();
        dialog.grab().save(QString::fromStdString(out + "/options-page.png"));
        clickOn(dialog, "确定按钮");
        return dialog.result();
    }

    std::string engineProgram;
    bool variantFixed = false;
};

TEST_F(EngineTrialTest, UciEngineSetUpOnItsOptionsPagePlaysAWholeGame) {
    const char* program = std::getenv("QINGLAN_TRY_ENGINE");
    if (!program) GTEST_SKIP() << "QINGLAN_TRY_ENGINE names no engine to try";
    engineProgram = program;
    const char* outEnv = std::getenv("QINGLAN_TRY_OUT");
    const std::string out = outEnv ? outEnv : "/tmp/qinglan-try-uci";
    fs::create_directories(out);
    restart(out);
    ASSERT_TRUE(engine(true).isRunning());
    std::printf(
        "found by itself: %s\n", engine(true).protocol() == EngineProtocol::Ucci ? "UCCI" : "UCI");

    onDialog = [&](QDialog& dialog) { return chooseUci(dialog, out); };
    menus().mainEngineOptions->trigger();
    onDialog = [&](QDialog& dialog) { return lookAtVariant(dialog, out); };
    menus().mainEngineOptions->trigger();
    onDialog = {};
    ASSERT_EQ(engine(true).protocol(), EngineProtocol::Uci);
    ASSERT_TRUE(variantFixed);

    LevelSettings level;
    level.mode = LEVEL_MOVE_TIME;
    level.moveTimeTenths = 10;
    window->flow().newGame(std::nullopt, level);
    menus().showThinking->trigger();
    menus().computerRed->trigger();
    menus().computerBlack->trigger();
    const std::int64_t deadline = tickMs() + 20 * 60 * 1000;
    int shotAt = 40;
    while (game().gameOver == 0 && tickMs() < deadline) {
        QTest::qWait(50);
        if (game().board.plyCount() >= shotAt) {
            window->grab().save(QString::fromStdString(out + "/midgame.png"));
            shotAt = 1 << 30;
        }
    }
    settle();
    window->grab().save(QString::fromStdString(out + "/end.png"));
    std::ofstream(out + "/moves.txt") << listText();
    ASSERT_NE(game().gameOver, 0) << "no result within 20 minutes";
    EXPECT_EQ(engine(true).protocol(), EngineProtocol::Uci);
    EXPECT_EQ(engine(true).rankBase(), RankBase::One) << "the engine numbers ranks from 1";
    ASSERT_FALSE(messages.empty());
    std::printf("%d plies; result: %s\n", game().board.plyCount(), messages.back().text.c_str());
}

} // namespace
} // namespace qinglan::testing
