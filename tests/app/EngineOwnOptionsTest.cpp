// The engine options dialog's page of the engine's own options against the fake
// engine in both protocols: what it shows, keeps and sends, and hostile option lists.
#include "../support/SearchText.h"
#include "OptionDialogsFixture.h"
#include "enginelink/AnnouncedOption.h"

#include <QLabel>
#include <QRegularExpression>
#include <sstream>

namespace qinglan::testing {
namespace {

// The lines that set the own options of the round trip below (UCI_Variant included).
std::vector<std::string> ownLines(const std::vector<std::string>& lines) {
    static const std::vector<std::string> NAMES { "Skill Level", "Contempt", "nullmove", "Variant",
        "EvalFile", "clearhash", "Mood", "Notes" };
    std::vector<std::string> own;
    for (const std::string& line : lines) {
        const bool names = std::ranges::any_of(
            NAMES, [&](const std::string& name) { return line.find(name) != std::string::npos; });
        if (line.starts_with("setoption") && names) own.push_back(line);
    }
    return own;
}
// The option a one-word "setoption" line sets, in either protocol.
std::string optionNameIn(const std::string& line) {
    std::istringstream words(line);
    std::string setoption, name;
    words >> setoption >> name;
    if (name == "name") words >> name;
    return name;
}

// What every UCI handshake and every sending of the options ends with.
const std::string XIANGQI = "setoption name UCI_Variant value xiangqi";

TEST_F(OptionDialogsTest, OwnOptionsRoundTripKeepingAndSendingOnlyWhatDiffersFromTheDefaults) {
    const std::string net = makeFile("net.nnue");
    setFileDialogHandler([&](const std::string&, const std::string&, bool) { return net; });
    struct Row {
        const char* mode;
        std::string prefix; // of the engine's option lines
        std::vector<std::string> firstSent, secondSent; // own option lines after each 确定
    };
    for (const Row& row : { Row { "", "option ",
                                { "setoption Skill Level 5", "setoption nullmove false",
                                    "setoption Variant janggi", "setoption EvalFile " + net },
                                { "setoption clearhash", "setoption nullmove false",
                                    "setoption Variant janggi", "setoption EvalFile " + net } },
             Row { "uci", "option name ",
                 { "setoption name Skill Level value 5", "setoption name nullmove value false",
                     "setoption name Variant value janggi", "setoption name EvalFile value " + net,
                     XIANGQI },
                 { "setoption name clearhash", "setoption name nullmove value false",
                     "setoption name Variant value janggi", "setoption name EvalFile value " + net,
                     XIANGQI } } }) {
        const std::string& p = row.prefix;
        announce(p + "Skill Level type spin min 0 max 20 default 20\n" + p
            + "Contempt type spin min -100 max 100 default 10\n" + p
            + "nullmove type check default true\n" + p
            + "Variant type combo default xiangqi var xiangqi var janggi\n" + p
            + "EvalFile type string default eval.bin\n" + p + "clearhash type button\n");
        // A stored value the option no longer takes is neither shown nor kept.
        forgetProtocol({ { "SKILL LEVEL", "7" }, { "Contempt", "abc" }, { "Gone", "x" } });
        ASSERT_TRUE(loadFake(true, row.mode));
        std::size_t from = mainTranscriptEnd();
        std::string shown;
        editEngine(true, [&](QDialog& d) {
            shown = ownShown(d, "Skill Level") + "|" + ownShown(d, "Contempt");
            spinBox(d, "自带选项:Skill Level").setValue(5);
            check(d, "自带选项:nullmove").setChecked(false);
            combo(d, "自带选项:Variant").setCurrentText("janggi");
            press(d, "自带选项文件:EvalFile");
            return "确定按钮";
        });
        EXPECT_EQ(shown, "7 [0..20]|10 [-100..100]") << row.mode;
        EXPECT_EQ(ownLines(mainTranscriptSince(from)), row.firstSent);
        // Stored under the engine's spelling; what it no longer announces stays.
        std::map<std::string, std::string> own { { "Skill Level", "5" }, { "nullmove", "false" },
            { "Variant", "janggi" }, { "EvalFile", net }, { "Gone", "x" } };
        EXPECT_EQ(engine(true).profile().ownOptions, own);

        // Shown again as stored; a value put back to its default is dropped.
        from = mainTranscriptEnd();
        editEngine(true, [&](QDialog& d) {
            shown = ownShown(d, "Skill Level") + "|" + ownShown(d, "Contempt") + "|"
                + ownShown(d, "nullmove") + "|" + ownShown(d, "Variant") + "|"
                + ownShown(d, "EvalFile");
            spinBox(d, "自带选项:Skill Level").setValue(20);
            press(d, "自带选项:clearhash");
            return "确定按钮";
        });
        EXPECT_EQ(shown, "5 [0..20]|10 [-100..100]|false|janggi|" + net);
        EXPECT_EQ(ownLines(mainTranscriptSince(from)), row.secondSent);
        own.erase("Skill Level");
        EXPECT_EQ(engine(true).profile().ownOptions, own);
    }
}

TEST_F(OptionDialogsTest, TheOwnPageLeavesOutWhatTheProgramSetsOrSaysWhyItIsEmpty) {
    struct Row {
        const char* mode; // nullptr: no engine
        const char* note;
        const char* shown; // UCI_Variant, then the program's own options and Protocol
    };
    for (const Row& row :
        { Row { nullptr, "引擎未加载", "-|----" }, Row { "", "引擎没有其他选项", "-|----" },
            Row { "uci", "", "xiangqi (disabled)|----" } }) {
        forgetProtocol();
        if (row.mode) {
            ASSERT_TRUE(loadFake(true, row.mode));
        }
        std::string note, shown;
        editEngine(true, [&](QDialog& d) {
            auto* label = d.findChild<QLabel*>(QStringLiteral("自带选项说明"));
            note = label ? str(label->text()) : "";
            shown = ownShown(d, "UCI_Variant") + "|" + ownShown(d, "Hash") + ownShown(d, "hashsize")
                + ownShown(d, "Ponder") + ownShown(d, "Protocol");
            return "取消按钮";
        });
        EXPECT_EQ(note, row.note);
        EXPECT_EQ(shown, row.shown) << row.note;
    }
}

TEST_F(OptionDialogsTest, AHostileOptionListShowsSaneValuesAndUntouchedSendsNothing) {
    const std::string longName(100, 'N');
    const std::string hugeName(10000, 'L');
    std::string lines = "option name Absurd type spin min 99999999999999999999 max -5 default 3\n"
                        "option name Inverted type spin min 10 max 1 default 50\n"
                        "option name Huge type spin default 99999999999999999999\n"
                        "option name Empty type combo default nothing\n"
                        "option name Stray type combo default zzz var a var b\n"
                        "option name BadCheck type check default maybe\n"
                        "option name Weird type colour default red\n"
                        "option name Dup type spin min 0 max 9 default 1\n"
                        "option name Dup type string default last\n"
                        "option name Case type spin min 0 max 9 default 1\n"
                        "option name CASE type check default true\n"
                        "option name "
        + hugeName + " type check default false\noption name " + longName
        + " type check default false\n";
    for (int i = 0; i < 600; ++i)
        lines += "option name Opt" + std::to_string(i) + " type spin min 0 max 9 default 1\n";
    announce(lines);
    // Engines keep 500 options; three (UCI: four) of the fake's own come first.
    for (const auto& [mode, last] : { std::pair { "", "1 [0..9]" }, std::pair { "uci", "-" } }) {
        forgetProtocol();
        ASSERT_TRUE(loadFake(true, mode));
        const std::size_t from = mainTranscriptEnd();
        std::string shown;
        qsizetype shownRows = 0;
        QString cut, tip;
        editEngine(true, [&](QDialog& d) {
            for (const std::string name :
                { "Absurd", "Inverted", "Huge", "Empty", "Stray", "BadCheck", "Weird", "Dup",
                    "Case", "CASE", hugeName.c_str(), "Opt487", "Opt488" })
                shown += ownShown(d, name) + "|";
            shownRows = d.findChildren<QWidget*>(QRegularExpression("^自带选项:")).size();
            if (auto* label = d.findChild<QLabel*>(QString::fromStdString("选项名:" + longName))) {
                cut = label->text();
                tip = label->toolTip();
            }
            return "确定按钮";
        });
        EXPECT_EQ(shown,
            "3 [-5..2147483647]|10 [1..10]|2147483647 [-2147483648..2147483647]|"
            "nothing (disabled)|a|false|-|last|-|true|-|"
                + std::string(last) + "|-|")
            << mode;
        // UCI: Ponder, Hash and Protocol are not offered, the variant shown fixed.
        EXPECT_EQ(shownRows, 497);
        EXPECT_TRUE(cut.endsWith(QChar(0x2026))) << str(cut);
        EXPECT_EQ(str(tip), longName);
        EXPECT_TRUE(engine(true).profile().ownOptions.empty());
        for (const std::string& line : mainTranscriptSince(from))
            EXPECT_TRUE(!line.starts_with("setoption")
                || isProgramOption(optionNameIn(line), engine(true).protocol()) || line == XIANGQI)
                << line;
    }
}

TEST_F(OptionDialogsTest, SwitchingToUciAndSettingOwnOptionsInOneVisitKeepsThemForTheReload) {
    // As engines that speak both write them: UCCI names with "_" for blanks, and a
    // default of their own in each protocol.
    announce("ucci:option Skill_Level type spin min 0 max 20 default 20\n"
             "uci:option name Skill Level type spin min 0 max 20 default 20\n"
             "ucci:option Mood type combo default solid var solid var risky\n"
             "uci:option name Mood type combo default risky var solid var risky\n"
             "ucci:option Notes type string default \n"
             "uci:option name Notes type string default <empty>\n");
    forgetProtocol();
    ASSERT_TRUE(loadFake(true, "both"));
    ASSERT_EQ(engine(true).protocol(), EngineProtocol::Ucci);
    const std::size_t from = mainTranscriptEnd();
    editEngine(true, [&](QDialog& d) {
        combo(d, "通讯协议").setCurrentText(QStringLiteral("UCI"));
        spinBox(d, "自带选项:Skill_Level").setValue(5);
        // The user picks the mood shown, today's default: it is chosen all the same.
        QComboBox& mood = combo(d, "自带选项:Mood");
        emit mood.activated(mood.findText(QStringLiteral("solid")));
        return "确定按钮"; // Notes is left alone
    });
    ASSERT_EQ(engine(true).protocol(), EngineProtocol::Uci);
    const std::vector<std::string> sent = mainTranscriptSince(from);
    const auto uci = std::ranges::find(sent, "uci");
    ASSERT_NE(uci, sent.end());
    const std::vector<std::string> own = ownLines({ uci, sent.end() });
    EXPECT_EQ(own,
        (std::vector<std::string> {
            "setoption name Skill Level value 5", "setoption name Mood value solid", XIANGQI }));

    // It plays xiangqi, not the chess a UCI engine of many variants starts with.
    ASSERT_TRUE(test::search(engine(true), "position startpos", "go depth 1"));
    ASSERT_TRUE(engine(true).stopSearch(3000));
    Board start;
    start.setStartPosition();
    ASSERT_TRUE(engine(true).lastReply());
    const auto* best = std::get_if<BestMove>(&*engine(true).lastReply());
    ASSERT_TRUE(best);
    EXPECT_TRUE(start.isLegalMoveText(best->move)) << best->move;
}

// Roughly what Fairy-Stockfish announces.
const char* const FAIRY_OPTIONS = R"(option name Debug Log File type string default
option name Threads type spin default 1 min 1 max 512
option name Hash type spin default 16 min 1 max 33554432
option name Clear Hash type button
option name Ponder type check default false
option name MultiPV type spin default 1 min 1 max 500
option name Skill Level type spin default 20 min 0 max 20
option name Move Overhead type spin default 10 min 0 max 5000
option name Slow Mover type spin default 100 min 10 max 1000
option name nodestime type spin default 0 min 0 max 10000
option name UCI_Chess960 type check default false
option name UCI_Variant type combo default chess var 3check var atomic var chess var crazyhouse var janggi var makruk var minixiangqi var shatranj var shogi var supervariant var xiangqi var manchu
option name UCI_AnalyseMode type check default false
option name UCI_LimitStrength type check default false
option name UCI_Elo type spin default 1350 min 500 max 2850
option name EvalFile type string default xiangqi-83f16c17fe26.nnue
option name Use NNUE type check default true
option name VariantPath type string default <empty>
)";

TEST_F(OptionDialogsTest, ScreenshotOfTheEnginesOwnOptions) {
    const QByteArray dir = qgetenv("QINGLAN_SHOT_DIR");
    if (dir.isEmpty()) GTEST_SKIP() << "QINGLAN_SHOT_DIR not set";
    announce(FAIRY_OPTIONS);
    setenv("QINGLAN_FAKE_NAME", "Fairy-Stockfish 14", 1);
    ASSERT_TRUE(loadFake(true, "uci"));
    engine(true).chooseForProgram(
        EngineProtocol::Uci, { { "UCI_Variant", "xiangqi" }, { "Skill Level", "12" } });
    editEngine(true, [&](QDialog& d) {
        pages(d).setCurrentIndex(1);
        d.show();
        settle();
        d.grab().save(QString::fromUtf8(dir) + QStringLiteral("/dialog-engine-own-options.png"));
        return "取消按钮";
    });
}

} // namespace
} // namespace qinglan::testing
