// Engines in the real window, driven by heartbeats: whole games, a person against an
// engine, bans, pondering, the thinking window, loading from the menu, an engine that
// dies, and the settings file across two runs.
#include "WindowFixture.h"
#include "app/ThinkingWindow.h"
#include "platform/FileDialogs.h"
#include "platform/Ticks.h"

#include <QFile>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

namespace qinglan::testing {
namespace {

class EngineWindowTest : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        // Heartbeats come from the test alone, so clock readings are exact.
        window->heartbeat().stop();
    }
    void TearDown() override {
        WindowFixture::TearDown();
        setFileDialogHandler({});
        for (const char* name :
            { "QINGLAN_FAKE_MODE", "QINGLAN_FAKE_NAME", "QINGLAN_FAKE_TRANSCRIPT" })
            unsetenv(name);
    }

    std::string transcriptPath(bool main) const {
        return programDir.filePath(main ? "main.txt" : "secondary.txt").toStdString();
    }
    EngineProcess& engine(bool main) { return window->game().engineSlot(main); }

    bool loadEngine(bool main, const char* mode, const char* name = "FakeEngine",
        int compat = COMPAT_STARTPOS) {
        setenv("QINGLAN_FAKE_MODE", mode, 1);
        setenv("QINGLAN_FAKE_NAME", name, 1);
        setenv("QINGLAN_FAKE_TRANSCRIPT", transcriptPath(main).c_str(), 1);
        std::remove(transcriptPath(main).c_str());
        EngineOptions options = engine(main).getOptions();
        options.compatFlags = compat;
        engine(main).setOptions(options);
        const bool loaded = engine(main).loadProgram(QINGLAN_FAKE_ENGINE);
        window->refreshStatus(true);
        return loaded;
    }

    // The lines an engine has received, once it has read at least count of them (the
    // engine writes its transcript as it reads, a moment after we send).
    std::vector<std::string> sent(bool main, std::size_t count = 0) const {
        const std::int64_t deadline = tickMs() + 3000;
        while (true) {
            std::ifstream in(transcriptPath(main));
            std::vector<std::string> lines;
            for (std::string line; std::getline(in, line);) lines.push_back(line);
            if (lines.size() >= count || tickMs() > deadline) return lines;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    // The lines received, once the last one starts with prefix (or after 3 s).
    std::vector<std::string> sentEndingWith(bool main, const std::string& prefix) const {
        const std::int64_t deadline = tickMs() + 3000;
        while (true) {
            std::vector<std::string> lines = sent(main);
            if ((!lines.empty() && lines.back().rfind(prefix, 0) == 0) || tickMs() > deadline)
                return lines;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    int countSent(bool main, const std::string& prefix) const {
        int n = 0;
        for (const std::string& line : sent(main)) n += line.rfind(prefix, 0) == 0;
        return n;
    }

    bool waitForPly(int plies) {
        return runUntil([&] { return game().board.plyCount() >= plies && !view().isAnimating(); });
    }
};

TEST_F(EngineWindowTest, TwoEnginesPlayAWholeGameToOneResult) {
    ASSERT_TRUE(loadEngine(true, "", "红引擎"));
    ASSERT_TRUE(loadEngine(false, "", "黑引擎"));
    EXPECT_EQ(window->windowTitle().toStdString(), "红引擎 VS 黑引擎 - 青岚象棋5.0测试版");
    menus().computerRed->trigger();
    menus().computerBlack->trigger();
    // A whole game takes 20-35 s on an idle machine and twice that on a busy one.
    ASSERT_TRUE(runUntil([&] { return game().gameOver != 0; }, 100000));
    settle();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].text.find("重新开始吗？"), std::string::npos) << messages[0].text;

    // One search per move, each by the engine of the side to move.
    const int plies = game().board.plyCount();
    EXPECT_EQ(countSent(true, "go "), (plies + 1) / 2);
    EXPECT_EQ(countSent(false, "go "), plies / 2);
    EXPECT_EQ(game().moveList.moveLineCount(), plies);
    EXPECT_EQ(text(window->redPanel()).rfind("红方:红引擎", 0), 0u);
    EXPECT_EQ(text(window->blackPanel()).rfind("黑方:黑引擎", 0), 0u);
}

TEST_F(EngineWindowTest, TheDefaultEnginesBesideTheProgramLoadAndPlayAGame) {
    for (const char* name : { "青岚引擎1.0.exe", "松涛引擎1.0.exe" })
        std::filesystem::create_symlink(
            QINGLAN_BUNDLED_ENGINE, programDir.filePath(QString::fromUtf8(name)).toStdString());
    window.reset();
    window = std::make_unique<MainWindow>(*state, std::make_unique<RecordingSound>(sounds));
    window->heartbeat().stop();
    EXPECT_EQ(
        window->windowTitle().toStdString(), "青岚引擎1.0 VS 松涛引擎1.0 - 青岚象棋5.0测试版");
    LevelSettings level;
    level.mode = LEVEL_DEPTH;
    level.depthLimit = 1;
    window->flow().newGame(std::nullopt, level);
    menus().computerRed->trigger();
    menus().computerBlack->trigger();
    ASSERT_TRUE(runUntil([&] { return game().gameOver != 0; }, 90000));
    settle();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].text.find("重新开始吗？"), std::string::npos) << messages[0].text;
}

TEST_F(EngineWindowTest, PersonAgainstAnEngine) {
    ASSERT_TRUE(loadEngine(true, ""));
    menus().computerBlack->trigger();
    playByClicks("h2e2");
    ASSERT_TRUE(waitForPly(2));
    const std::vector<std::string> lines = sent(true);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "position startpos moves h2e2");
    EXPECT_EQ(lines.back(), "go time 3000 increment 3000");
    EXPECT_EQ(game().moveList.moveLineCount(), 2);
    playByClicks("b2c2");
    ASSERT_TRUE(waitForPly(4));
    EXPECT_EQ(countSent(true, "go "), 2);
    EXPECT_TRUE(messages.empty());
}

TEST_F(EngineWindowTest, BanSendsTheBannedMoveBeforeGo) {
    ASSERT_TRUE(loadEngine(true, ""));
    menus().computerBlack->trigger();
    playByClicks("h2e2");
    ASSERT_TRUE(waitForPly(2));
    const std::string banned = game().board.lastMoveText();
    window->refreshStatus(true);
    ASSERT_TRUE(menus().banMove->isEnabled());
    const std::size_t before = sent(true).size();
    menus().banMove->trigger();
    EXPECT_EQ(game().board.plyCount(), 1);
    const std::vector<std::string> lines = sent(true, before + 3);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[lines.size() - 3], "position startpos moves h2e2");
    EXPECT_EQ(lines[lines.size() - 2], "banmoves " + banned);
    EXPECT_EQ(lines.back().rfind("go ", 0), 0u);
}

TEST_F(EngineWindowTest, PonderingEndsInPonderhitOrStop) {
    ASSERT_TRUE(loadEngine(true, "ponder", "FakeEngine", COMPAT_STARTPOS | COMPAT_PONDER));
    LevelSettings level;
    level.mode = LEVEL_TIME_INCREMENT;
    level.gameTimeMs = 60000;
    level.incrementMs = 2000;
    window->flow().newGame(std::nullopt, level);
    menus().computerBlack->trigger();
    now += 1000;
    playByClicks("h2e2");
    now += 500; // the engine's thinking time, counted when its reply is handled
    ASSERT_TRUE(waitForPly(2));

    // The ponder search starts before the reply is shown, credited with the increment.
    std::vector<std::string> lines = sentEndingWith(true, "go ponder");
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines.back(), "go ponder time 61500 increment 2000 opptime 61000 oppincrement 2000");
    const std::string ponderLine = lines[lines.size() - 2];
    const std::string reply = game().board.lastMoveText();
    ASSERT_EQ(ponderLine.rfind("position startpos moves h2e2 " + reply + " ", 0), 0u) << ponderLine;
    const std::string guess = ponderLine.substr(ponderLine.rfind(' ') + 1);
    EXPECT_TRUE(engine(true).isBusy());

    // The guess comes true: "ponderhit", no new position.
    std::size_t before = lines.size();
    playByClicks(guess);
    lines = sent(true, before + 1);
    ASSERT_GT(lines.size(), before);
    EXPECT_EQ(lines[before], "ponderhit");
    ASSERT_TRUE(waitForPly(4));

    // A move other than the new guess: the ponder search is stopped first.
    lines = sentEndingWith(true, "go ponder");
    const std::string secondPonder = lines[lines.size() - 2];
    const std::string secondGuess = secondPonder.substr(secondPonder.rfind(' ') + 1);
    Board board = game().board;
    int moves[256];
    const int n = board.generateLegalMoves(moves);
    std::string other;
    for (int i = 0; i < n && other.empty(); ++i)
        if (moveToCoord(moves[i]) != secondGuess) other = moveToCoord(moves[i]);
    ASSERT_FALSE(other.empty());
    before = lines.size();
    playByClicks(other);
    lines = sent(true, before + 3);
    ASSERT_GE(lines.size(), before + 3);
    EXPECT_EQ(lines[before], "stop");
    EXPECT_EQ(lines[lines.size() - 2].rfind("position startpos moves", 0), 0u);
    EXPECT_EQ(lines.back().rfind("go time", 0), 0u);
    EXPECT_TRUE(messages.empty());
}

TEST_F(EngineWindowTest, EngineMisbehaviourGetsItsMessage) {
    const struct {
        const char* mode;
        const char* message; // "" for none
        bool played;
        int ponderSearches;
    } rows[] = {
        { "nobestmove", "Fake 罢工了！", false, 0 },
        { "none", "Fake 罢工了！", false, 0 },
        { "illegal", "Fake 输出错误信息！", false, 0 },
        // A guess followed by more words ("draw") is read by its first four bytes, as
        // every move text is: the move is played and the guess pondered, silently.
        { "ponder-trailing", "", true, 1 },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.mode);
        window->flow().newGame();
        messages.clear();
        ASSERT_TRUE(loadEngine(true, row.mode, "Fake", COMPAT_STARTPOS | COMPAT_PONDER));
        if (!menus().computerBlack->isChecked()) menus().computerBlack->trigger();
        playByClicks("h2e2");
        ASSERT_TRUE(runUntil([&] { return !messages.empty() || game().board.plyCount() == 2; }));
        runUntil([&] { return false; }, 100);
        if (*row.message) {
            ASSERT_EQ(messages.size(), 1u);
            EXPECT_EQ(messages[0].text, row.message);
            EXPECT_EQ(messages[0].flags, 48);
        } else {
            EXPECT_TRUE(messages.empty());
        }
        EXPECT_EQ(game().board.plyCount(), row.played ? 2 : 1);
        sent(true, 1);
        EXPECT_EQ(countSent(true, "go ponder"), row.ponderSearches);
    }
    // Asked again for the same position, a stored "nobestmove" is replayed, not re-sent.
    window->flow().newGame();
    ASSERT_TRUE(loadEngine(true, "nobestmove", "Fake"));
    playByClicks("h2e2");
    ASSERT_TRUE(runUntil([&] { return messageCount("Fake 罢工了！") == 1; }));
    menus().computerBlack->trigger();
    menus().computerBlack->trigger();
    settle();
    EXPECT_EQ(messageCount("Fake 罢工了！"), 2);
    EXPECT_EQ(countSent(true, "go "), 1);
}

TEST_F(EngineWindowTest, EngineThatDiesIsOfferedForReloadOnce) {
    ASSERT_TRUE(loadEngine(true, "crash-on-go"));
    menus().computerBlack->trigger();
    answer = MESSAGE_YES;
    playByClicks("h2e2");
    setenv("QINGLAN_FAKE_MODE", "", 1); // the program started again behaves
    const std::string question
        = "引擎:" + std::string(QINGLAN_FAKE_ENGINE) + "异常退出！是否重新加载？";
    ASSERT_TRUE(runUntil([&] { return messageCount(question) > 0; }));
    runUntil([&] { return false; }, 300);
    EXPECT_EQ(messageCount(question), 1);
    EXPECT_EQ(messages[0].flags, 52);
    EXPECT_TRUE(engine(true).isRunning()) << "Yes loads the same program again";
    EXPECT_EQ(engine(true).programPath(), QINGLAN_FAKE_ENGINE);
    // Its side is to move: it searches at once, nobody has to touch a menu.
    EXPECT_TRUE(waitForPly(2));
    EXPECT_EQ(messages.size(), 1u);
}

TEST_F(EngineWindowTest, ANewGameOrAnOpenedPositionSearchesAfreshAtItsOwnLevel) {
    ASSERT_TRUE(loadEngine(true, "delay=60000")); // thinks until told to stop
    LevelSettings deep;
    deep.mode = LEVEL_DEPTH;
    deep.depthLimit = 999999999;
    window->flow().newGame(std::nullopt, deep);
    menus().computerRed->trigger();
    ASSERT_EQ(sentEndingWith(true, "go ").back(), "go depth 999999999");
    LevelSettings medium;
    medium.moveTimeTenths = 30;
    const std::vector<std::string> afresh
        = { "stop", "setoption newgame", "position startpos", "go time 3000 increment 3000" };
    const std::string startFen = "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w";
    for (const bool open : { false, true }) {
        SCOPED_TRACE(open ? "opened" : "new game");
        const std::size_t before = sent(true).size();
        if (open)
            window->flow().openPosition(startFen);
        else
            window->flow().newGame(std::nullopt, medium);
        EXPECT_EQ(game().board.plyCount(), 0) << "the old game's move is not played";
        const std::vector<std::string> lines = sent(true, before + afresh.size());
        ASSERT_EQ(lines.size(), before + afresh.size());
        EXPECT_EQ(
            std::vector(lines.begin() + static_cast<std::ptrdiff_t>(before), lines.end()), afresh);
    }
}

TEST_F(EngineWindowTest, ALevelOrOptionChangeForgetsThePonderedGuess) {
    ASSERT_TRUE(loadEngine(true, "ponder", "FakeEngine", COMPAT_STARTPOS | COMPAT_PONDER));
    menus().computerBlack->trigger();
    playByClicks("h2e2");
    LevelSettings depth;
    depth.mode = LEVEL_DEPTH;
    depth.depthLimit = 3;
    onDialog = [](QDialog& dialog) {
        clickOn(dialog, "确定按钮");
        return dialog.result();
    };
    const std::function<void()> changes[] = {
        [&] { window->game().changeLevel(depth); },
        [&] { menus().mainEngineOptions->trigger(); },
    };
    for (const auto& change : changes) {
        ASSERT_TRUE(waitForPly(game().board.plyCount() + 1));
        const std::vector<std::string> pondering = sentEndingWith(true, "go ponder");
        const std::string position = pondering[pondering.size() - 2];
        const std::string guess = position.substr(position.rfind(' ') + 1);
        ASSERT_TRUE(engine(true).isBusy());
        change();
        EXPECT_FALSE(engine(true).isBusy()) << "the ponder search is stopped";
        EXPECT_EQ(game().mainEngineMoveText, "");
        // The guess comes true, but it was searched under what no longer holds.
        playByClicks(guess);
        const std::vector<std::string> lines = sentEndingWith(true, "go ");
        EXPECT_EQ(lines.back(), "go depth 3");
        EXPECT_EQ(lines[lines.size() - 2], position);
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(EngineWindowTest, ThinkingBoxesStartEmptyWithEveryNewGameOrOpenedPosition) {
    ASSERT_TRUE(loadEngine(true, "info"));
    ASSERT_TRUE(loadEngine(false, "info"));
    menus().showThinking->trigger();
    menus().computerRed->trigger();
    menus().computerBlack->trigger();
    const auto boxText = [&](bool main) {
        return window->thinkingWindow()->box(main)->toPlainText().toStdString();
    };
    for (const bool open : { false, true }) {
        SCOPED_TRACE(open ? "opened" : "new game");
        ASSERT_TRUE(waitForPly(2));
        ASSERT_NE(boxText(false), "");
        if (open)
            window->flow().openPosition(
                "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w");
        else
            window->flow().newGame();
        EXPECT_EQ(boxText(true), "");
        EXPECT_EQ(boxText(false), "") << "the secondary engine is not to move, yet it is emptied";
    }
}

TEST_F(EngineWindowTest, ThinkingWindowShowsRowsAndItsMarkTellsTheTruth) {
    ASSERT_TRUE(loadEngine(true, "info"));
    menus().showThinking->trigger();
    ASSERT_NE(window->thinkingWindow(), nullptr);
    EXPECT_TRUE(menus().showThinking->isChecked());
    EXPECT_EQ(window->thinkingWindow()->windowTitle().toStdString(), "引擎思考信息");
    menus().computerBlack->trigger();
    playByClicks("h2e2");
    ASSERT_TRUE(waitForPly(2));
    const std::string box = window->thinkingWindow()->box(true)->toPlainText().toStdString();
    EXPECT_EQ(
        box.rfind(
            "主引擎 FakeEngine 的思考信息：\n\n深度   评价   时间  思考路线\n  1      12      5  ",
            0),
        0u)
        << box;
    EXPECT_TRUE(window->thinkingWindow()->box(false)->toPlainText().isEmpty());

    window->thinkingWindow()->close(); // as the user closes it
    settle();
    EXPECT_EQ(window->thinkingWindow(), nullptr);
    EXPECT_FALSE(menus().showThinking->isChecked());
    menus().showThinking->trigger();
    ASSERT_NE(window->thinkingWindow(), nullptr);
    EXPECT_TRUE(window->thinkingWindow()->box(true)->toPlainText().isEmpty());
    menus().showThinking->trigger();
    settle();
    EXPECT_FALSE(menus().showThinking->isChecked());

    menus().showThinking->trigger();
    window.reset(); // the program closes with the thinking window open
}

// Not a check: with QINGLAN_SHOT_DIR set, saves thinking-window-new-game.png there:
// two bundled engines play a few moves, then a new game starts and red's engine
// makes its first move.
TEST_F(EngineWindowTest, ScreenshotOfTheThinkingWindowAfterANewGame) {
    const QByteArray dir = qgetenv("QINGLAN_SHOT_DIR");
    if (dir.isEmpty()) GTEST_SKIP() << "QINGLAN_SHOT_DIR not set";
    ASSERT_TRUE(engine(true).loadProgram(QINGLAN_BUNDLED_ENGINE));
    ASSERT_TRUE(engine(false).loadProgram(QINGLAN_BUNDLED_ENGINE));
    LevelSettings level;
    level.mode = LEVEL_DEPTH;
    level.depthLimit = 6;
    window->flow().newGame(std::nullopt, level);
    menus().showThinking->trigger();
    menus().computerRed->trigger();
    menus().computerBlack->trigger();
    ASSERT_TRUE(runUntil([&] { return game().board.plyCount() >= 6; }, 60000));
    menus().computerBlack->trigger(); // the new game: the computer plays red
    level.depthLimit = 4; // few enough rows to show the header too
    window->flow().newGame(std::nullopt, level);
    ASSERT_TRUE(waitForPly(1));
    window->thinkingWindow()->grab().save(
        QString::fromUtf8(dir) + QStringLiteral("/thinking-window-new-game.png"));
}

TEST_F(EngineWindowTest, MenuLoadsShowsIdentityAndUnloads) {
    std::string chosen = QINGLAN_FAKE_ENGINE;
    std::string caption;
    setFileDialogHandler([&](const std::string& c, const std::string&, bool) {
        caption = c;
        return chosen;
    });
    // A Chinese engine that prints its name in GBK is shown in plain Chinese.
    setenv("QINGLAN_FAKE_MODE", "gbk-name", 1);
    menus().loadSecondaryEngine->trigger();
    EXPECT_EQ(caption, "加载副引擎");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].title, "关于UCCI引擎");
    EXPECT_EQ(messages[0].text.rfind("名称：象棋", 0), 0u) << messages[0].text;
    EXPECT_EQ(window->windowTitle().toStdString().rfind("象棋", 0), 0u);
    EXPECT_EQ(messages[0].flags, 64);
    EXPECT_EQ(menus().loadSecondaryEngine->text().toStdString(), "卸载副引擎(&2)");

    menus().loadSecondaryEngine->trigger();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].text, "成功卸载");
    EXPECT_EQ(messages[1].title, "");
    EXPECT_EQ(menus().loadSecondaryEngine->text().toStdString(), "加载副引擎...(&2)");

    chosen = programDir.filePath("no-such-engine").toStdString();
    menus().loadMainEngine->trigger();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[2].text, "加载失败！");
    EXPECT_EQ(messages[2].title, "错误！");
    chosen = "";
    menus().loadMainEngine->trigger();
    EXPECT_EQ(messages.size(), 3u) << "nothing chosen, nothing said";
}

TEST_F(EngineWindowTest, SettingsWrittenAtExitReadBackAtTheNextStart) {
    ASSERT_TRUE(loadEngine(false, "", "Saved"));
    EngineOptions options = engine(false).getOptions();
    options.randomness = "large";
    options.style = "risky";
    options.threads = 3;
    options.hashSizeMb = 64;
    options.logFile = programDir.filePath("通讯 log.htm").toStdString();
    options.compatFlags = 7;
    engine(false).setOptions(options);
    engine(false).chooseForProgram(EngineProtocol::Ucci, { { "Skill Level", "3" } });
    const EngineProfile profile = engine(false).profile();
    DisplaySettings display { "", 55, 0, 100, 12 };
    window->applyDisplaySettings(display);
    window.reset(); // exit: the file is written

    const std::string file = programDir.filePath("青岚象棋配置.ini").toStdString();
    ASSERT_TRUE(QFile::exists(QString::fromStdString(file)));
    window = std::make_unique<MainWindow>(*state, std::make_unique<RecordingSound>(sounds));
    EXPECT_TRUE(engine(false).isRunning()) << "the saved program is started again";
    EXPECT_EQ(engine(false).programPath(), QINGLAN_FAKE_ENGINE);
    // The engine's default book was shown, so it is saved by name.
    options.bookFile = engine(false).defaultBookFile();
    EXPECT_EQ(engine(false).getOptions(), options);
    EXPECT_EQ(engine(false).profile(), profile);
    EXPECT_FALSE(engine(true).isRunning()) << "no default program in this folder";
    EXPECT_EQ(state->displaySettings, display);

    // A mangled file gives the defaults, without a word.
    window.reset();
    std::ofstream(file, std::ios::trunc)
        << "[主引擎\n\x01\x02=\n线程数=abc\n[显示]\n棋盘透明度=40abc\n";
    window = std::make_unique<MainWindow>(*state, std::make_unique<RecordingSound>(sounds));
    EXPECT_EQ(engine(true).getOptions().threads, 0);
    EXPECT_EQ(engine(true).getOptions().randomness, "small");
    EXPECT_EQ(state->displaySettings, defaultDisplaySettings());
    EXPECT_TRUE(messages.empty());
}

} // namespace
} // namespace qinglan::testing
