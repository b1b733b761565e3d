// The engine slot against a real child process: the fake engine, told how to behave.
#include "FakeEngineFixture.h"
#include "rules/Board.h"

#include <algorithm>

using namespace qinglan;
using qinglan::test::FakeEngineTest;

namespace {

const std::vector<std::string> OPTIONS_AFTER_UCCI = {
    "ucci",
    "setoption usemillisec true",
    "setoption ponder true",
    "setoption randomness small",
    "setoption pruning medium",
    "setoption style ",
    "setoption hashsize 64",
    "setoption threads 2",
    "setoption bookfiles ",
    "setoption usebook false",
};

std::int64_t elapsedSince(std::int64_t start) {
    return tickMs() - start;
}

} // namespace

TEST_F(FakeEngineTest, BurstHandshakeTakesTheNameAndSendsTheOptionsAtUcciok) {
    mode("burst");
    setenv("QINGLAN_FAKE_NAME", "测试引擎 1.0", 1);
    EngineOptions options;
    options.randomness = "small";
    options.style = "";
    options.hashSizeMb = 64;
    options.threads = 2;
    EXPECT_FALSE(engine.setOptions(options)) << "nothing is sent while unloaded";

    ASSERT_TRUE(load());
    EXPECT_EQ(engine.identity().name, "测试引擎 1.0");
    EXPECT_EQ(engine.identity().author, "qinglan tests");
    EXPECT_EQ(engine.state(), EngineState::Idle);
    EXPECT_GT(engine.processId(), 0);
    EXPECT_EQ(engine.programPath(), QINGLAN_FAKE_ENGINE);
    EXPECT_EQ(transcript(OPTIONS_AFTER_UCCI.size()), OPTIONS_AFTER_UCCI);
    // The line written together with "ucciok" waits in the buffer: no new read needed.
    EXPECT_EQ(engine.readLine(), "info string after ucciok in the same write");
    EXPECT_EQ(engine.readLine(), "");
}

TEST_F(FakeEngineTest, HandshakeCopesWithBannersLineEndsAndSplitCrLf) {
    const char* modes[] = { "", "banner", "lf", "banner,lf", "split-crlf", "gbk-name" };
    for (const char* flags : modes) {
        SCOPED_TRACE(flags);
        mode(flags);
        ASSERT_TRUE(load());
        EXPECT_EQ(engine.state(), EngineState::Idle);
        EXPECT_EQ(engine.identity().name,
            std::string(flags) == "gbk-name" ? "\xCF\xF3\xC6\xE5" : "FakeEngine");
        EXPECT_EQ(engine.defaultBookFile(), path("missing.book"));
        EXPECT_TRUE(engine.unload());
        EXPECT_EQ(engine.identity().name, "");
    }
}

TEST_F(FakeEngineTest, UcciokWithATrailingSpaceFailsAfterAllAttempts) {
    mode("ucciok-space");
    // The whole wait belongs to a chosen protocol.
    engine.chooseForProgram(EngineProtocol::Ucci, {});
    std::int64_t start = tickMs();
    EXPECT_FALSE(load());
    EXPECT_GE(elapsedSince(start),
        EngineProcess::HANDSHAKE_ATTEMPTS * EngineProcess::HANDSHAKE_POLL_MS * 9 / 10);
    EXPECT_EQ(engine.state(), EngineState::Unloaded);
    EXPECT_EQ(engine.processId(), 0);
    EXPECT_EQ(transcript(2).back(), "quit") << "the failed engine is unloaded";
}

TEST_F(FakeEngineTest, SilentEngineFailsTheHandshake) {
    mode("silent");
    EXPECT_FALSE(load());
    EXPECT_EQ(engine.state(), EngineState::Unloaded);
    EXPECT_EQ(engine.identity().name, "");
}

TEST_F(FakeEngineTest, EmptyBookIsSentAsTheDefaultOfTheEngineAtHand) {
    const std::string books[] = { path("engine.book"), path("other.book") };
    for (const std::string& book : books) std::ofstream(book) << "book";
    EngineOptions options;
    options.hashSizeMb = 64;
    options.threads = 2;
    options.style = "";
    EXPECT_FALSE(engine.setOptions(options));
    for (const std::string& book : books) {
        SCOPED_TRACE(book);
        std::filesystem::remove(path("transcript"));
        setenv("QINGLAN_FAKE_BOOK", book.c_str(), 1);
        ASSERT_TRUE(load());
        EXPECT_EQ(engine.defaultBookFile(), book);
        EXPECT_EQ(engine.optionsWithDefaultBook().bookFile, book);
        std::vector<std::string> sent = transcript(OPTIONS_AFTER_UCCI.size());
        ASSERT_EQ(sent.size(), OPTIONS_AFTER_UCCI.size());
        EXPECT_EQ(sent[8], "setoption bookfiles " + book);
        EXPECT_EQ(sent[9], "setoption usebook true");
        // The user's choice stays "the engine's default", so the next engine's counts.
        EXPECT_EQ(engine.getOptions(), options);
        EXPECT_TRUE(engine.unload());
    }
}

TEST_F(FakeEngineTest, ABookNameWithAControlCharacterIsNeverSentBack) {
    // A file name may hold a CR; sent back it would be read as a second command.
    std::string book = path("engine.book\rsetoption hashsize 4096");
    std::ofstream(book) << "book";
    setenv("QINGLAN_FAKE_BOOK", book.c_str(), 1);
    ASSERT_TRUE(load());
    EXPECT_EQ(engine.defaultBookFile(), "");
    EXPECT_EQ(transcript(OPTIONS_AFTER_UCCI.size()).at(8), "setoption bookfiles ");
    EngineOptions options;
    options.bookFile = path("a\nquit");
    std::ofstream(options.bookFile) << "book";
    engine.setOptions(options);
    engine.sendLine("isready");
    const std::vector<std::string> sent = transcript(OPTIONS_AFTER_UCCI.size() * 2 - 1);
    EXPECT_EQ(sent.back(), "isready");
    EXPECT_EQ(std::ranges::count(sent, "quit"), 0) << "a line holding a line break is not sent";
}

TEST_F(FakeEngineTest, SearchesAskedForDriveTheState) {
    enum class Step { Play, Ponder, Analyse, PonderHit };
    struct Row {
        std::vector<Step> steps;
        EngineState state;
        std::vector<std::string> sent; // the last lines of the transcript
    };
    const Row rows[] = {
        { { Step::Play }, EngineState::Thinking, { "position startpos", "go depth 5" } },
        { { Step::Ponder }, EngineState::Pondering, { "go ponder depth 5" } },
        { { Step::Analyse }, EngineState::Analysing, { "go depth 5" } },
        { { Step::Ponder, Step::PonderHit }, EngineState::Thinking, { "ponderhit" } },
        { { Step::Play, Step::PonderHit }, EngineState::Thinking, { "go depth 5" } },
        { { Step::PonderHit }, EngineState::Idle, { "setoption usebook false" } },
        // A busy engine takes no second search: the caller stops the first.
        { { Step::Ponder, Step::Play }, EngineState::Pondering, { "go ponder depth 5" } },
    };
    mode("delay=60000");
    for (const Row& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.state));
        ASSERT_TRUE(load());
        for (Step step : row.steps) {
            SearchRequest request = test::searchFor("position startpos", "go depth 5");
            if (step == Step::PonderHit) {
                engine.ponderHit();
                continue;
            }
            request.mode = step == Step::Ponder ? SearchMode::Ponder
                : step == Step::Analyse         ? SearchMode::Analyse
                                                : SearchMode::Play;
            EXPECT_EQ(engine.startSearch(request), step == row.steps.front());
        }
        EXPECT_EQ(engine.state(), row.state);
        EXPECT_EQ(engine.isBusy(), row.state != EngineState::Idle);
        EXPECT_EQ(lastSent(row.sent.back()), row.sent.back());
        const std::vector<std::string> sent = transcript();
        ASSERT_GE(sent.size(), row.sent.size());
        EXPECT_TRUE(std::equal(row.sent.rbegin(), row.sent.rend(), sent.rbegin()));
        EXPECT_TRUE(engine.stopSearch(1000));
        EXPECT_EQ(engine.state(), EngineState::Idle);
    }
}

TEST_F(FakeEngineTest, ReplyEndsTheSearchAndANewPositionClearsIt) {
    struct Row {
        const char* flags;
        const char* reply; // prefix; a move is checked when it is "bestmove "
    };
    const Row rows[] = {
        { "", "bestmove " },
        { "ponder", "bestmove " },
        { "nobestmove", "nobestmove" },
        { "none", "bestmove (none)" },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.flags);
        mode(row.flags);
        ASSERT_TRUE(load());
        const SearchRequest request = test::searchFor("position startpos moves h2e2", "go depth 1");
        ASSERT_TRUE(engine.startSearch(request));
        EXPECT_EQ(engine.searched(), request);
        std::string reply = lineStartingWith(row.reply);
        ASSERT_NE(reply, "");
        EXPECT_EQ(engine.state(), EngineState::Idle);
        ASSERT_TRUE(engine.lastReply());
        EXPECT_EQ(engine.lastReply(), parseEngineReply(reply));
        if (const auto* best = std::get_if<BestMove>(&*engine.lastReply())) {
            Board board = searchedBoard(request);
            EXPECT_TRUE(board.makeMoveText(best->move)) << reply;
            EXPECT_EQ(!best->ponder.empty(), *row.flags == 'p');
            if (!best->ponder.empty()) EXPECT_TRUE(board.makeMoveText(best->ponder));
        }
        ASSERT_TRUE(test::search(engine, "position startpos", "go depth 1"));
        EXPECT_FALSE(engine.lastReply()) << "a new search forgets the last reply";
        EXPECT_TRUE(engine.unload());
    }
}

TEST_F(FakeEngineTest, ABurstIsHandedOutLineByLineAndIdleRepliesAreIgnored) {
    mode("info");
    ASSERT_TRUE(load());
    ASSERT_TRUE(test::search(engine, "position startpos", "go depth 1"));
    std::string info = lineStartingWith("info depth 1 ");
    ASSERT_NE(info, "");
    EXPECT_EQ(engine.state(), EngineState::Thinking);
    std::string reply = engine.readLine(); // came in the same write as the info line
    ASSERT_TRUE(reply.starts_with("bestmove ")) << reply;
    EXPECT_NE(info.find(" pv " + reply.substr(9, 4)), std::string::npos);
    EXPECT_EQ(engine.state(), EngineState::Idle);

    // A line sent as it stands starts no search of ours: its reply finds us Idle.
    engine.sendLine("go depth 1");
    EXPECT_TRUE(lineStartingWith("bestmove ").starts_with("bestmove "));
    EXPECT_EQ(engine.state(), EngineState::Idle);
    EXPECT_TRUE(engine.lastReply()) << "still the reply of the search asked for";
}

TEST_F(FakeEngineTest, StopSearchFetchesTheReplyOrGivesUp) {
    ASSERT_TRUE(load());
    ASSERT_TRUE(test::search(engine, "position startpos", "go infinite"));
    EXPECT_TRUE(engine.stopSearch(-1));
    ASSERT_TRUE(engine.lastReply());
    EXPECT_TRUE(std::holds_alternative<BestMove>(*engine.lastReply()));
    EXPECT_TRUE(engine.unload());

    mode("ignore-stop");
    ASSERT_TRUE(load());
    ASSERT_TRUE(test::search(engine, "position startpos", "go depth 1"));
    std::int64_t start = tickMs();
    EXPECT_FALSE(engine.stopSearch(300));
    EXPECT_GE(elapsedSince(start), 300);
    EXPECT_LT(elapsedSince(start), 900);
    EXPECT_EQ(engine.state(), EngineState::Thinking);
    EXPECT_EQ(transcript().back(), "stop");
    EXPECT_TRUE(engine.unload()) << "quit still works";
}

TEST_F(FakeEngineTest, AnEngineThatNeverStopsTalkingCannotHoldUsUp) {
    mode("chatter");
    ASSERT_TRUE(load());
    int pid = engine.processId();
    ASSERT_TRUE(test::search(engine, "position startpos", "go infinite"));
    std::int64_t start = tickMs();
    EXPECT_FALSE(engine.stopSearch(300));
    // About 300 ms and three bounded drains; unbounded ones took seconds here.
    EXPECT_LT(elapsedSince(start), 3000);
    EXPECT_EQ(nextLine(), "info depth 1 chatter");
    EXPECT_TRUE(engine.unload());
    EXPECT_TRUE(processGone(pid));
}

TEST_F(FakeEngineTest, UnloadKillsAnEngineThatIgnoresQuit) {
    mode("ignore-quit");
    ASSERT_TRUE(load());
    int pid = engine.processId();
    std::int64_t start = tickMs();
    EXPECT_TRUE(engine.unload());
    EXPECT_GE(elapsedSince(start), EngineProcess::QUIT_ATTEMPTS * EngineProcess::QUIT_POLL_MS);
    EXPECT_EQ(engine.state(), EngineState::Unloaded);
    EXPECT_EQ(engine.processId(), 0);
    EXPECT_TRUE(processGone(pid));
}

TEST_F(FakeEngineTest, EngineThatCrashesMidSearchIsExitedAndReaped) {
    mode("crash-on-go");
    ASSERT_TRUE(load());
    int pid = engine.processId();
    ASSERT_TRUE(test::search(engine, "position startpos", "go depth 1"));
    std::int64_t deadline = tickMs() + 3000;
    while (engine.state() != EngineState::Exited && tickMs() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_EQ(engine.state(), EngineState::Exited);
    EXPECT_TRUE(processGone(pid));
    EXPECT_EQ(engine.processId(), pid);
    EXPECT_EQ(engine.identity().name, "FakeEngine") << "texts stay until the engine is reset";
    EXPECT_FALSE(engine.isRunning());
    EXPECT_FALSE(engine.isBusy());
    EXPECT_FALSE(engine.stopSearch(100));

    std::size_t sent = transcript().size();
    engine.sendLine("isready");
    EXPECT_EQ(engine.readLine(), "");
    EXPECT_EQ(transcript().size(), sent);
    EXPECT_TRUE(engine.unload());
    EXPECT_EQ(engine.state(), EngineState::Unloaded);
}

TEST_F(FakeEngineTest, OutputWithoutLineEndsIsCutAtTheCap) {
    mode("flood");
    ASSERT_TRUE(load());
    ASSERT_TRUE(test::search(engine, "position startpos", "go depth 1"));
    std::vector<std::size_t> cuts;
    std::string line;
    while (!(line = nextLine(5000)).empty() && !line.starts_with("bestmove ")) {
        EXPECT_EQ(line.find_first_not_of('x'), std::string::npos);
        cuts.push_back(line.size());
    }
    EXPECT_EQ(cuts, std::vector<std::size_t>(3, EngineProcess::MAX_LINE_BYTES));
    EXPECT_TRUE(line.starts_with("bestmove ")) << "the reply after the flood still counts";
    EXPECT_EQ(engine.state(), EngineState::Idle);
}

TEST_F(FakeEngineTest, NothingHappensWithoutAProgram) {
    engine.sendLine("ucci");
    EXPECT_EQ(engine.readLine(), "");
    EXPECT_FALSE(engine.isRunning());
    EXPECT_FALSE(engine.stopSearch(100));
    EXPECT_TRUE(engine.unload());
    EXPECT_FALSE(engine.loadProgram(path("no-such-engine")));
    EXPECT_FALSE(engine.loadProgram(dir)) << "a folder is no program";
    EXPECT_EQ(engine.state(), EngineState::Unloaded);

    ASSERT_TRUE(load());
    int pid = engine.processId();
    EXPECT_FALSE(engine.loadProgram(path("no-such-engine")));
    EXPECT_EQ(engine.state(), EngineState::Idle) << "a missing file leaves the engine alone";
    EXPECT_EQ(engine.processId(), pid);
}
