// The engine options and display settings dialogs in the real window, driven through
// their controls: what they show, what they hand on, what a running engine is sent,
// and input that must not hurt.
#include "../support/SearchText.h"
#include "OptionDialogsFixture.h"
#include "app/dialogs/DisplaySettingsDialog.h"

#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <climits>

namespace qinglan::testing {
namespace {

TEST_F(OptionDialogsTest, AFreshInstallShowsTheDefaultsAndCancelKeepsThem) {
    const EngineOptions before = engine(true).getOptions();
    std::string shown;
    const std::string caption = editEngine(true, [&](QDialog& d) {
        shown = str(combo(d, "随机性").currentText()) + str(combo(d, "裁剪深度").currentText())
            + str(combo(d, "风格").currentText()) + str(edit(d, "内存使用").text())
            + str(edit(d, "线程数").text()) + "|" + str(edit(d, "开局库").text()) + "|"
            + str(edit(d, "日志文件").text()) + "|"
            + std::to_string(check(d, "启用startpos").isChecked())
            + std::to_string(check(d, "简化局面指令").isChecked())
            + std::to_string(check(d, "开启后台思考").isChecked());
        combo(d, "风格").setCurrentIndex(0);
        edit(d, "线程数").setText("8");
        return "取消按钮";
    });
    EXPECT_EQ(shown, "小中均衡自动自动|||100");
    EXPECT_EQ(caption, "主引擎  设置：");
    EXPECT_EQ(engine(true).getOptions(), before);
}

TEST_F(OptionDialogsTest, ACancelledDialogGivesNothingAndAConfirmedOneOnlyItsChoice) {
    announce("option name Skill Level type spin default 20 min 0 max 20\n");
    ASSERT_TRUE(loadFake(true, "uci"));
    engine(true).chooseForProgram(EngineProtocol::Uci, { { "Skill Level", "3" } });
    const EngineOptions options = engine(true).getOptions();
    const EngineProfile profile = engine(true).profile();
    const std::size_t from = mainTranscriptEnd();
    const auto changeEverything = [](QDialog& d) {
        combo(d, "风格").setCurrentIndex(0);
        combo(d, "通讯协议").setCurrentText("UCCI");
        spinBox(d, "自带选项:Skill Level").setValue(9);
    };
    setDialogHandler([&](QDialog& d) {
        changeEverything(d);
        press(d, "取消按钮");
        return d.result();
    });
    EXPECT_EQ(chooseEngineOptions(window->game(), true, window.get()), std::nullopt);
    (void)editEngine(true, [&](QDialog& d) {
        changeEverything(d);
        return "取消按钮";
    });
    EXPECT_EQ(engine(true).getOptions(), options);
    EXPECT_EQ(engine(true).profile(), profile);
    EXPECT_EQ(engine(true).protocol(), EngineProtocol::Uci);
    EXPECT_TRUE(mainTranscriptSince(from).empty()) << "nothing reaches the engine";

    // Confirmed, the dialog only answers: the caller decides what becomes of it.
    setDialogHandler([&](QDialog& d) {
        changeEverything(d);
        press(d, "确定按钮");
        return d.result();
    });
    EngineOptionsChoice expected { options, EngineProtocol::Ucci, { { "Skill Level", "9" } } };
    expected.options.style = "risky";
    expected.options.bookFile = "禁止"; // the empty book names no file
    EXPECT_EQ(chooseEngineOptions(window->game(), true, window.get()), expected);
    EXPECT_EQ(engine(true).getOptions(), options);
    EXPECT_EQ(engine(true).profile(), profile);
}

TEST_F(OptionDialogsTest, TheOptionsRoundTripAndReachTheRunningEngineAsSetoptionLines) {
    const std::string book = makeFile("开局 库.obk");
    // What the general page does not show survives it.
    EngineProfile kept;
    kept.rankBase = RankBase::One;
    kept.ownOptions = { { "Skill Level", "3" } };
    engine(true).restoreProfile(kept);
    ASSERT_TRUE(loadFake(true));
    EngineOptions record = engine(true).getOptions();
    std::vector<std::string> asked;
    setFileDialogHandler([&](const std::string& caption, const std::string& filter, bool save) {
        asked.push_back(caption + "|" + filter + "|" + (save ? "save" : "open"));
        return save ? path("log.htm") : book;
    });
    editEngine(true, [&](QDialog& d) {
        check(d, "启用startpos").setChecked(false);
        check(d, "简化局面指令").setChecked(true);
        check(d, "开启后台思考").setChecked(true);
        combo(d, "随机性").setCurrentIndex(0);
        combo(d, "裁剪深度").setCurrentIndex(3);
        combo(d, "风格").setCurrentIndex(0);
        edit(d, "内存使用").setText("64");
        edit(d, "线程数").setText("0");
        press(d, "设置开局库");
        press(d, "设置日志文件");
        return "确定按钮";
    });
    EXPECT_EQ(asked,
        (std::vector<std::string> {
            "打开开局库文件|所有文件（*）|*|open", "保存通讯记录|网页文件（*.htm）|*.htm|save" }));
    const EngineOptions stored = engine(true).getOptions();
    record.bookFile = book;
    record.hashSizeMb = 64;
    record.randomness = "none";
    record.pruning = "large";
    record.style = "risky";
    record.threads = 0;
    record.logFile = path("log.htm");
    record.compatFlags = COMPAT_RESTART_AT_CAPTURE | COMPAT_PONDER;
    EXPECT_EQ(stored, record);
    const EngineProfile& profile = engine(true).profile();
    EXPECT_EQ(profile.protocol, EngineProtocol::Ucci);
    EXPECT_EQ(profile.programPath, QINGLAN_FAKE_ENGINE);
    EXPECT_EQ(profile.rankBase, RankBase::One);
    EXPECT_EQ(profile.ownOptions, (std::map<std::string, std::string> { { "Skill Level", "3" } }));
    EXPECT_TRUE(QFile::exists(QString::fromStdString(path("log.htm"))));

    const std::vector<std::string> lines = mainTranscriptUpTo("setoption usebook true");
    const std::vector<std::string> expected { "setoption usemillisec true", "setoption ponder true",
        "setoption randomness none", "setoption pruning large", "setoption style risky",
        "setoption hashsize 64", "setoption threads 0", "setoption bookfiles " + book,
        "setoption usebook true" };
    ASSERT_GE(lines.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(lines.end() - expected.size(), lines.end()), expected);

    // Opened again, the dialog shows what it stored, and 确定 untouched changes nothing.
    editEngine(true, [&](QDialog& d) {
        EXPECT_EQ(str(edit(d, "线程数").text()), "自动");
        EXPECT_EQ(str(combo(d, "裁剪深度").currentText()), "大");
        return "确定按钮";
    });
    EXPECT_EQ(engine(true).getOptions(), stored);
}

TEST_F(OptionDialogsTest, ListTextsOutsideTheMappingSelectTheLastItem) {
    struct Row {
        std::string stored, shown, confirmed;
    };
    for (const Row& row : { Row { "solid", "保守", "solid" }, Row { "Normal", "保守", "solid" },
             Row { "", "保守", "solid" }, Row { "normal", "均衡", "normal" } }) {
        EngineOptions options = engine(false).getOptions();
        options.style = row.stored;
        options.randomness = "none";
        engine(false).setOptions(options);
        std::string shown;
        editEngine(false, [&](QDialog& d) {
            shown = str(combo(d, "风格").currentText());
            EXPECT_EQ(str(combo(d, "随机性").currentText()), "无");
            return "确定按钮";
        });
        EXPECT_EQ(shown, row.shown) << row.stored;
        EXPECT_EQ(engine(false).getOptions().style, row.confirmed) << row.stored;
    }
}

TEST_F(OptionDialogsTest, NumberEditsReadTheirLeadingDigitsAndZeroShowsAsAuto) {
    struct Row {
        const char* typed;
        int read;
        const char* shown;
    };
    for (const Row& row : { Row { "abc", 0, "abc" }, Row { " 12MB", 12, " 12MB" },
             Row { "-3", -3, "-3" }, Row { "0", 0, "自动" }, Row { "", 0, "" },
             Row { "99999999999999", INT_MAX, "99999999999999" } }) {
        std::string hashShown;
        editEngine(true, [&](QDialog& d) {
            edit(d, "内存使用").setText(QString::fromUtf8(row.typed));
            edit(d, "线程数").setText(QString::fromUtf8(row.typed));
            hashShown = str(edit(d, "内存使用").text());
            return "确定按钮";
        });
        EXPECT_EQ(hashShown, row.shown) << row.typed;
        EXPECT_EQ(engine(true).getOptions().hashSizeMb, row.read) << row.typed;
        EXPECT_EQ(engine(true).getOptions().threads, row.read) << row.typed;
    }
}

TEST_F(OptionDialogsTest, BookTextsThatNameNoFileBecomeForbidden) {
    const std::string book = makeFile("book.dat");
    setenv("QINGLAN_FAKE_BOOK", book.c_str(), 1);
    ASSERT_TRUE(loadFake(false));
    struct Row {
        QString typed;
        const char* button;
        std::string stored;
    };
    const QString padded = QStringLiteral("  ") + QString::fromStdString(book) + QChar(0x3000);
    const QString withBreak = QString::fromStdString(book) + QStringLiteral("\nquit");
    for (const Row& row : { Row { "", nullptr, "禁止" }, Row { "x", "禁用开局库", "禁止" },
             Row { padded, nullptr, book }, Row { "", "默认开局库", book },
             Row { QString::fromStdString(programDir.path().toStdString()), nullptr, "禁止" },
             Row { withBreak, nullptr, "禁止" },
             Row { "\t" + QString::fromStdString(book), nullptr, "禁止" } }) {
        editEngine(false, [&](QDialog& d) {
            edit(d, "开局库").setText(row.typed);
            if (row.button) press(d, row.button);
            return "确定按钮";
        });
        EXPECT_EQ(engine(false).getOptions().bookFile, row.stored) << str(row.typed);
    }
}

TEST_F(OptionDialogsTest, EachMenuItemEditsItsOwnEngineWithItsNameInTheCaption) {
    ASSERT_TRUE(loadFake(false, "gbk-name"));
    const std::string secondary = editEngine(false, [](QDialog& d) {
        edit(d, "线程数").setText("2");
        return "确定按钮";
    });
    const std::string main = editEngine(true, [](QDialog& d) {
        edit(d, "线程数").setText("3");
        return "确定按钮";
    });
    EXPECT_EQ(secondary, "副引擎 象棋 设置：");
    EXPECT_EQ(main, "主引擎  设置：");
    EXPECT_EQ(engine(false).getOptions().threads, 2);
    EXPECT_EQ(engine(true).getOptions().threads, 3);
}

TEST_F(OptionDialogsTest, AChosenProtocolReloadsAnIdleEngineAndWaitsForABusyOne) {
    using enum EngineProtocol;
    struct Row {
        const char* mode;
        const char* chosen;
        bool busy;
        EngineProtocol stored;
        EngineProtocol speaks; // right after 确定; Auto: not running
        int messages;
    };
    for (const Row& row :
        { Row { "both", "UCI", false, Uci, Uci, 0 }, Row { "both", "UCI", true, Uci, Ucci, 0 },
            Row { "both", "自动", false, Auto, Ucci, 0 },
            Row { "both", "UCCI", false, Ucci, Ucci, 0 },
            Row { "", "UCI", false, Uci, Auto, 1 } }) {
        engine(true).chooseForProgram(Auto, {});
        messages.clear();
        ASSERT_TRUE(loadFake(true, row.mode));
        if (row.busy) ASSERT_TRUE(test::search(engine(true), "position startpos", "go infinite"));
        const int before = engine(true).processId();
        std::string shown;
        editEngine(true, [&](QDialog& d) {
            shown = str(combo(d, "通讯协议").currentText());
            combo(d, "通讯协议").setCurrentText(QString::fromUtf8(row.chosen));
            return "确定按钮";
        });
        EXPECT_EQ(shown, "UCCI") << row.chosen;
        EXPECT_EQ(engine(true).profile().protocol, row.stored) << row.chosen;
        EXPECT_EQ(engine(true).protocol(), row.speaks) << row.chosen << row.busy;
        EXPECT_EQ(engine(true).processId() != before, row.speaks != Ucci) << row.chosen;
        EXPECT_EQ(messageCount("加载失败！"), row.messages) << row.chosen;
        editEngine(true, [&](QDialog& d) {
            shown = str(combo(d, "通讯协议").currentText());
            return "取消按钮";
        });
        EXPECT_EQ(shown, row.chosen);
        // A busy engine gets the choice at its next load.
        if (!row.busy) continue;
        engine(true).stopSearch(1000);
        ASSERT_TRUE(engine(true).loadProgram(QINGLAN_FAKE_ENGINE));
        EXPECT_EQ(engine(true).protocol(), row.stored);
    }
}

TEST_F(OptionDialogsTest, DisplayDialogIsNotModalAndIsNeverDuplicated) {
    DisplaySettingsDialog& dialog = openDisplay();
    EXPECT_FALSE(dialog.isModal());
    EXPECT_EQ(str(edit(dialog, "底图文件名").text()), "默认");
    EXPECT_EQ(slider(dialog, "棋盘透明度").value(), 40);
    EXPECT_EQ(slider(dialog, "棋子透明度").value(), 10);
    EXPECT_EQ(slider(dialog, "列表透明度").value(), 30);
    EXPECT_EQ(slider(dialog, "动画速度").value(), 70);
    edit(dialog, "底图文件名").setText("half typed");
    menus().displaySettings->trigger();
    settle();
    EXPECT_EQ(window->displaySettingsDialog(), &dialog);
    EXPECT_EQ(window->findChildren<DisplaySettingsDialog*>().size(), 1);
    EXPECT_EQ(str(edit(dialog, "底图文件名").text()), "half typed");
    // The board still plays while it is open.
    playByClicks("h2e2");
    EXPECT_EQ(game().board.plyCount(), 1);

    // Closed, it goes; the next opening is a fresh one filled from the settings.
    press(dialog, "取消按钮");
    settle();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(window->displaySettingsDialog(), nullptr);
    EXPECT_EQ(str(edit(openDisplay(), "底图文件名").text()), "默认");
}

TEST_F(OptionDialogsTest, ApplyChangesTheRunningDisplayAndCancelUndoesNothing) {
    DisplaySettingsDialog& dialog = openDisplay();
    const QSize builtIn = surface().naturalSize(state->sprites[BACKGROUND_SPRITE].objectId);
    ASSERT_FALSE(builtIn.isEmpty());
    press(dialog, "设置底图按钮2");
    slider(dialog, "棋盘透明度").setValue(5);
    slider(dialog, "棋子透明度").setValue(60);
    slider(dialog, "列表透明度").setValue(100);
    slider(dialog, "动画速度").setValue(100);
    press(dialog, "应用按钮");
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(state->displaySettings, (DisplaySettings { "", 5, 60, 100, 0 }));
    EXPECT_TRUE(surface().naturalSize(state->sprites[BACKGROUND_SPRITE].objectId).isEmpty());
    EXPECT_EQ(surface().transparency(state->sprites[BOARD_SPRITE].objectId), 5);
    EXPECT_EQ(surface().transparency(state->sprites[1].objectId), 60);
    EXPECT_EQ(surface().transparency(state->sprites[BLACK_ICON].objectId), 60);
    EXPECT_EQ(window->moveListWindow().alpha(), 0);
    // No steps: a move shows at once, without sliding.
    click({ 8, 8 });
    click({ 5, 8 });
    view().onAnimationTick();
    EXPECT_FALSE(view().isAnimating());
    EXPECT_EQ(game().board.plyCount(), 1);

    press(dialog, "设置底图按钮1");
    slider(dialog, "动画速度").setValue(90);
    press(dialog, "应用按钮");
    EXPECT_EQ(surface().naturalSize(state->sprites[BACKGROUND_SPRITE].objectId), builtIn);
    EXPECT_EQ(state->displaySettings.animationSteps, 10);
    press(dialog, "取消按钮");
    EXPECT_EQ(state->displaySettings, (DisplaySettings { "默认", 5, 60, 100, 10 }));
    EXPECT_TRUE(messages.empty());
}

TEST_F(OptionDialogsTest, ABackgroundThatIsNoPictureKeepsTheScreenAndSaysSo) {
    const int background = state->sprites[BACKGROUND_SPRITE].objectId;
    const QSize builtIn = surface().naturalSize(background);
    QImage picture(3, 2, QImage::Format_ARGB32);
    picture.fill(Qt::blue);
    ASSERT_TRUE(picture.save(QString::fromStdString(path("blue.png"))));
    struct Row {
        std::string file;
        QSize shown;
        std::size_t messages;
    };
    // A photo bigger than any screen is read no bigger than the screens can show.
    const QSize screen = QGuiApplication::primaryScreen()->size();
    QImage photo(screen * 3, QImage::Format_RGB32);
    photo.fill(Qt::darkGreen);
    ASSERT_TRUE(photo.save(QString::fromStdString(path("photo.jpg")), "JPEG", 50));
    for (const Row& row : { Row { makeFile("notes.png", "not a picture at all"), builtIn, 1 },
             Row { makeFile("empty.jpg", ""), builtIn, 2 }, Row { path("missing.png"), builtIn, 3 },
             Row { path("blue.png"), QSize(3, 2), 3 }, Row { path("photo.jpg"), screen, 3 } }) {
        setFileDialogHandler([&](const std::string& caption, const std::string& filter, bool) {
            EXPECT_EQ(
                caption + "|" + filter, "设置窗口底图|图片文件|*bmp;*.gif;*.png;*.jpg;*.jpeg");
            return row.file;
        });
        DisplaySettingsDialog& dialog = openDisplay();
        press(dialog, "设置底图按钮");
        press(dialog, "确定按钮");
        settle();
        EXPECT_EQ(state->displaySettings.backgroundImage, row.file);
        EXPECT_EQ(surface().naturalSize(background), row.shown) << row.file;
        EXPECT_EQ(messages.size(), row.messages) << row.file;
    }
    EXPECT_EQ(messages[0].text, "无法读取底图文件：" + path("notes.png"));
    EXPECT_EQ(messages[2].text, "无法读取底图文件：" + path("missing.png"));
}

} // namespace
} // namespace qinglan::testing
