// An engine's own options: reading what it announces (however odd), the lines that set
// them, and the engine slot sending and keeping them, in both protocols.
#include "FakeEngineFixture.h"
#include "enginelink/AnnouncedOption.h"
#include "rules/Board.h"

#include <algorithm>
#include <climits>

using namespace qinglan;
using qinglan::test::FakeEngineTest;

namespace {

AnnouncedOption spin(const char* name, const char* value, long long min, long long max) {
    return { name, OptionKind::Spin, value, min, max, {} };
}

AnnouncedOption kind(
    const char* name, OptionKind kind, const char* value, std::vector<std::string> choices = {}) {
    return { name, kind, value, 0, 0, std::move(choices) };
}

} // namespace

TEST(AnnouncedOption, AnnouncementsOfBothProtocolsAndHostileOnesAreReadSanely) {
    struct Row {
        std::string line;
        std::optional<AnnouncedOption> option;
    };
    const Row rows[] = {
        { "option name Hash type spin default 16 min 1 max 1024", spin("Hash", "16", 1, 1024) },
        { "option Hash type spin default 16 min 1 max 131072", spin("Hash", "16", 1, 131072) },
        { "option  name   Move  Overhead type spin default 10 min 0 max 5000",
            spin("Move Overhead", "10", 0, 5000) },
        { "option name UCI_Variant type combo default xiangqi var chess var xiangqi",
            kind("UCI_Variant", OptionKind::Combo, "xiangqi", { "chess", "xiangqi" }) },
        { "option style type combo var solid var normal var risky default normal",
            kind("style", OptionKind::Combo, "normal", { "solid", "normal", "risky" }) },
        { "option name Level type combo default Very Hard var Easy var Very Hard",
            kind("Level", OptionKind::Combo, "Very Hard", { "Easy", "Very Hard" }) },
        { "option name Debug Log File type string default <empty>",
            kind("Debug Log File", OptionKind::String, "") },
        { "option Debug_Log_File type string default ",
            kind("Debug_Log_File", OptionKind::String, "") },
        { "option name Clear Hash type button", kind("Clear Hash", OptionKind::Button, "") },
        { "option name Ponder type check default false",
            kind("Ponder", OptionKind::Check, "false") },
        // Hostile: limits past any integer and the wrong way round, none at all, a list
        // without values, its default not among them.
        { "option name X type spin default 5 min 99999999999999999999 max -5",
            spin("X", "5", -5, LLONG_MAX) },
        { "option name X type spin default 5", spin("X", "5", LLONG_MIN, LLONG_MAX) },
        { "option name X type spin min -99999999999999999999 max x",
            spin("X", "", LLONG_MIN, LLONG_MAX) },
        { "option name X type combo default a", kind("X", OptionKind::Combo, "a") },
        { "option name X type combo default z var a var b",
            kind("X", OptionKind::Combo, "z", { "a", "b" }) },
        { "option name X type CHECK default true", kind("X", OptionKind::Check, "true") },
        { "option name X type label default y", std::nullopt },
        { "option name type check", std::nullopt },
        { "option name X type", std::nullopt },
        { "option name " + std::string(101, 'n') + " type check", std::nullopt },
        { "options name X type check", std::nullopt },
        { "info string option name X type check", std::nullopt },
        // A control character in a name or default could smuggle a second command into
        // the line that sets the option; a choice with one is left out.
        { "option name Foo\rsetoption name Hash value 99999 type string default x", std::nullopt },
        { "option name X type string default a\x1b[2Jb", std::nullopt },
        { "option name X\x7f type check default true", std::nullopt },
        { "option name X type combo default a var a var b\rquit",
            kind("X", OptionKind::Combo, "a", { "a" }) },
    };
    for (const Row& row : rows) EXPECT_EQ(parseOptionLine(row.line), row.option) << row.line;

    std::string many = "option name X type combo";
    for (int i = 0; i < 1000; ++i) many += " var v" + std::to_string(i);
    EXPECT_EQ(parseOptionLine(many)->choices.size(), MAX_OPTION_CHOICES);
}

TEST(AnnouncedOption, ValuesMustSuitTheOptionAndLinesFollowTheProtocol) {
    const AnnouncedOption level = spin("Skill Level", "20", 0, 20);
    const AnnouncedOption variant
        = kind("UCI_Variant", OptionKind::Combo, "chess", { "chess", "xiangqi" });
    const AnnouncedOption check = kind("Ponder", OptionKind::Check, "false");
    const AnnouncedOption file = kind("EvalFile", OptionKind::String, "");
    const AnnouncedOption button = kind("Clear Hash", OptionKind::Button, "");
    struct Row {
        const AnnouncedOption& option;
        std::string value;
        bool accepted;
    };
    const Row rows[] = {
        { level, "0", true },
        { level, "20", true },
        { level, "21", false },
        { level, "-1", false },
        { level, "5x", false },
        { level, "", false },
        { level, "99999999999999999999", false },
        { variant, "xiangqi", true },
        { variant, "Xiangqi", false },
        { check, "true", true },
        { check, "1", false },
        { file, "", true },
        { file, "/a b/c.nnue", true },
        { file, "a\nquit", false },
        { file, "a\rquit", false },
        { file, "a\tb", false },
        { file, "棋\x7f", false },
        { button, "", false },
    };
    for (const Row& row : rows)
        EXPECT_EQ(acceptsOptionValue(row.option, row.value), row.accepted)
            << row.option.name << " = " << row.value;

    EXPECT_EQ(optionCommand(level, "3", EngineProtocol::Uci), "setoption name Skill Level value 3");
    EXPECT_EQ(
        optionCommand(variant, "xiangqi", EngineProtocol::Ucci), "setoption UCI_Variant xiangqi");
    EXPECT_EQ(
        optionCommand(file, "", EngineProtocol::Uci), "setoption name EvalFile value <empty>");
    EXPECT_EQ(optionCommand(button, "", EngineProtocol::Uci), "setoption name Clear Hash");
    EXPECT_EQ(optionCommand(button, "", EngineProtocol::Ucci), "setoption Clear Hash");

    EXPECT_TRUE(isProgramOption("HASH", EngineProtocol::Uci));
    EXPECT_FALSE(isProgramOption("Hash", EngineProtocol::Ucci)) << "UCCI's is hashsize";
    EXPECT_TRUE(isProgramOption("MultiPV", EngineProtocol::Ucci)) << "one line of thinking";
    EXPECT_TRUE(looksLikePath(kind("EvalFile", OptionKind::String, "")));
    EXPECT_TRUE(looksLikePath(kind("Net", OptionKind::String, "/usr/share/net.nnue")));
    EXPECT_FALSE(looksLikePath(kind("Name", OptionKind::String, "me")));

    // UCCI's spelling of a UCI name, and the options the program decides itself.
    EXPECT_TRUE(sameOptionName("Skill_Level", "skill level"));
    EXPECT_FALSE(sameOptionName("SkillLevel", "Skill Level"));
    EXPECT_TRUE(switchesProtocol("protocol"));
    EXPECT_EQ(fixedOptionValue(variant), "xiangqi");
    EXPECT_EQ(fixedOptionValue(kind("UCI_Variant", OptionKind::Combo, "chess", { "chess" })),
        std::nullopt);
    EXPECT_EQ(
        fixedOptionValue(kind("Variant", OptionKind::Combo, "chess", { "xiangqi" })), std::nullopt);
}

TEST_F(FakeEngineTest, OwnOptionsAreSentAfterEveryHandshakeWhenTheyStillFit) {
    {
        std::ofstream extra(path("options"));
        extra << "option name Skill Level type spin default 20 min 0 max 20\n"
              << "option name Variant type combo default chess var chess var xiangqi\n"
              << "option name Notes type string default <empty>\n"
              << "option name Clear Hash type button\n"
              << "option name Threads type spin default 1 min 1 max 8\n"
              << "option name MultiPV type spin default 3 min 1 max 500\n";
    }
    setenv("QINGLAN_FAKE_OPTIONS", path("options").c_str(), 1);
    const std::map<std::string, std::string> own = {
        { "skill level", "3" }, // names match without case, as in UCI
        { "Variant", "xiangqi" }, { "Notes", "" },
        { "Clear Hash", "" }, // a button is pressed, never stored
        { "Threads", "4" }, // the general page's: the program sets it
        { "Gone", "1" }, // from an older version of the engine
    };
    struct Row {
        const char* flags;
        EngineProtocol protocol;
        std::size_t announced;
        std::size_t programLines; // what the program sends of its own, handshake included
        std::vector<std::string> own; // then these, in the engine's order
        std::string button;
    };
    const Row rows[] = {
        { "uci", EngineProtocol::Uci, 10, 3, // uci, Ponder, MultiPV 1
            { "setoption name Skill Level value 3", "setoption name Variant value xiangqi",
                "setoption name Notes value <empty>",
                "setoption name UCI_Variant value xiangqi" }, // always, and last
            "setoption name Clear Hash" },
        { "", EngineProtocol::Ucci, 9, 10,
            { "setoption Skill Level 3", "setoption Variant xiangqi", "setoption Notes " },
            "setoption Clear Hash" },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.flags);
        std::filesystem::remove(path("transcript"));
        mode(row.flags);
        engine.chooseForProgram(row.protocol, own);
        engine.setOptions({});
        ASSERT_TRUE(load());
        EXPECT_EQ(engine.announcedOptions().size(), row.announced);
        const bool uci = engine.protocol() == EngineProtocol::Uci;
        const std::size_t ownLines = row.own.size();
        const std::size_t afterLoad = row.programLines + ownLines + uci;
        std::vector<std::string> sent = transcript(afterLoad);
        if (uci) sent.pop_back(); // "isready" ends the UCI handshake
        ASSERT_EQ(sent.size(), row.programLines + ownLines);
        EXPECT_EQ(std::vector(sent.end() - ownLines, sent.end()), row.own);
        if (uci) {
            EXPECT_EQ(sent[2], "setoption name MultiPV value 1");
        }

        // A changed value that no longer suits is skipped, the others are sent again.
        std::map<std::string, std::string> changed = engine.profile().ownOptions;
        changed["Skill Level"] = "21";
        engine.chooseForProgram(row.protocol, changed);
        engine.setOptions(engine.getOptions());
        // Again all but the handshake line, one own option fewer.
        sent = transcript(afterLoad + row.programLines - 1 + ownLines - 1);
        EXPECT_EQ(std::vector(sent.end() - (ownLines - 1), sent.end()),
            std::vector(row.own.begin() + 1, row.own.end()));
        EXPECT_TRUE(engine.pressOptionButton("Clear Hash"));
        EXPECT_FALSE(engine.pressOptionButton("Skill Level"));
        EXPECT_EQ(lastSent(row.button), row.button);
        EXPECT_TRUE(engine.unload());
    }
    unsetenv("QINGLAN_FAKE_OPTIONS");
}

TEST_F(FakeEngineTest, AHandshakeWithHundredsOfOptionsEndsAndKeepsABoundedList) {
    {
        std::ofstream extra(path("options"));
        for (int i = 0; i < 700; ++i)
            extra << "option name Option " << i << " type spin default 1 min 0 max 9\n";
        extra << "option name option 3 type check default true\n"; // the same name again
    }
    setenv("QINGLAN_FAKE_OPTIONS", path("options").c_str(), 1);
    for (const char* flags : { "", "uci" }) {
        mode(flags);
        // Not the protocol found in the round before.
        engine.chooseForProgram(EngineProtocol::Auto, {});
        ASSERT_TRUE(load()) << flags;
        const std::vector<AnnouncedOption>& options = engine.announcedOptions();
        EXPECT_EQ(options.size(), MAX_ENGINE_OPTIONS) << flags;
        const auto third = std::ranges::find(options, "option 3", &AnnouncedOption::name);
        ASSERT_NE(third, options.end());
        EXPECT_EQ(third->kind, OptionKind::Check) << "the last word on a name counts";
        EXPECT_TRUE(engine.unload());
    }
    unsetenv("QINGLAN_FAKE_OPTIONS");
}

TEST_F(FakeEngineTest, WhatIsLearntStaysWithItsProgramAndAnotherStartsAfresh) {
    mode("uci1,both");
    EngineOptions options;
    options.style = "solid";
    engine.setOptions(options);
    // Chosen before the first load: kept for the program loaded then.
    engine.chooseForProgram(EngineProtocol::Auto, { { "UCI_Variant", "xiangqi" } });
    ASSERT_TRUE(load());
    EXPECT_EQ(engine.profile().protocol, EngineProtocol::Ucci) << "found, then kept";
    EXPECT_EQ(engine.profile().programPath, QINGLAN_FAKE_ENGINE);
    EXPECT_EQ(engine.profile().ownOptions.size(), 1u);
    EXPECT_TRUE(engine.unload());
    EXPECT_EQ(engine.profile().programPath, QINGLAN_FAKE_ENGINE) << "kept after unloading";

    engine.chooseForProgram(EngineProtocol::Uci, engine.profile().ownOptions);
    ASSERT_TRUE(load());
    ASSERT_TRUE(test::search(engine, "position startpos", "go depth 1"));
    ASSERT_NE(lineStartingWith("bestmove "), "");
    EXPECT_EQ(engine.profile().rankBase, RankBase::One);
    EXPECT_TRUE(engine.unload());
    ASSERT_TRUE(load());
    EXPECT_EQ(engine.rankBase(), RankBase::One) << "known from the start";
    ASSERT_TRUE(test::search(engine, "position startpos moves h2e2", "go depth 1"));
    EXPECT_EQ(lastSent("go depth 1"), "go depth 1");
    EXPECT_EQ(transcript().end()[-2], "position startpos moves h3e3");
    EXPECT_TRUE(engine.unload());

    const std::string other = path("other-engine");
    std::filesystem::copy_file(QINGLAN_FAKE_ENGINE, other);
    std::filesystem::permissions(other, std::filesystem::perms::owner_all);
    ASSERT_TRUE(engine.loadProgram(other));
    const EngineProfile& fresh = engine.profile();
    EXPECT_EQ(fresh.programPath, other);
    EXPECT_EQ(fresh.protocol, EngineProtocol::Ucci) << "automatic again, which finds UCCI";
    EXPECT_EQ(fresh.rankBase, RankBase::Unknown);
    EXPECT_TRUE(fresh.ownOptions.empty());
    EXPECT_EQ(engine.getOptions(), options) << "the user's choices belong to the slot";
}

TEST_F(FakeEngineTest, UciPonderEndsInPonderhitOrStop) {
    mode("uci1,ponder");
    EngineProfile known;
    known.protocol = EngineProtocol::Uci;
    known.rankBase = RankBase::One;
    engine.restoreProfile(known);
    ASSERT_TRUE(load());
    ASSERT_TRUE(test::search(engine, "position startpos moves h2e2 h9g7",
        "go ponder time 5000 increment 0 opptime 4000 oppincrement 0"));
    EXPECT_EQ(engine.state(), EngineState::Pondering);
    EXPECT_EQ(lastSent("go ponder wtime 5000 btime 4000 winc 0 binc 0"),
        "go ponder wtime 5000 btime 4000 winc 0 binc 0");
    EXPECT_EQ(nextLine(200), "") << "a pondering engine waits";
    engine.ponderHit();
    EXPECT_EQ(lastSent("ponderhit"), "ponderhit");
    EXPECT_EQ(engine.state(), EngineState::Thinking);
    std::string reply = lineStartingWith("bestmove ");
    ASSERT_TRUE(engine.lastReply());
    const auto* best = std::get_if<BestMove>(&*engine.lastReply());
    ASSERT_TRUE(best) << reply;
    Board board;
    board.setPosition("position startpos moves h2e2 h9g7");
    EXPECT_TRUE(board.makeMoveText(best->move)) << reply << ": read 0-based";
    EXPECT_EQ(engine.state(), EngineState::Idle);

    ASSERT_TRUE(test::search(engine, "position startpos moves h2e2", "go ponder depth 5"));
    EXPECT_TRUE(engine.stopSearch(3000));
    EXPECT_EQ(lastSent("stop"), "stop");
    EXPECT_EQ(transcript().end()[-2], "go ponder depth 5");
    ASSERT_TRUE(engine.lastReply());
    EXPECT_TRUE(std::holds_alternative<BestMove>(*engine.lastReply()));
}

TEST_F(FakeEngineTest, OptionsGivenDuringASearchAreSentInOrderWhenItEnds) {
    mode("delay=150");
    for (const bool ponder : { false, true }) {
        SCOPED_TRACE(ponder ? "pondering" : "thinking");
        std::filesystem::remove(path("transcript"));
        EngineOptions normal = engine.getOptions();
        normal.style = "normal";
        engine.setOptions(normal);
        ASSERT_TRUE(load());
        // "ucci", then the nine option lines of the handshake.
        std::vector<std::string> expected = transcript(10);
        ASSERT_EQ(expected.size(), 10u);
        expected.erase(expected.begin());
        EXPECT_EQ(expected[4], "setoption style normal");
        expected[4] = "setoption style risky";

        ASSERT_TRUE(
            test::search(engine, "position startpos", ponder ? "go ponder depth 5" : "go depth 5"));
        EngineOptions changed = engine.getOptions();
        changed.style = "risky";
        EXPECT_FALSE(engine.setOptions(changed)) << "not sent to a busy engine";
        if (ponder)
            EXPECT_TRUE(engine.stopSearch(1000));
        else
            EXPECT_NE(lineStartingWith("bestmove "), "");
        // ucci, 9 options, position, go, ["stop",] the 9 options again
        std::vector<std::string> sent = transcript(12 + ponder + 9);
        ASSERT_EQ(sent.size(), 12u + ponder + 9);
        EXPECT_EQ(sent[12], ponder ? "stop" : "setoption usemillisec true");
        EXPECT_EQ(std::vector(sent.end() - 9, sent.end()), expected);
        EXPECT_EQ(engine.state(), EngineState::Idle);
        EXPECT_TRUE(engine.unload());
    }
}
