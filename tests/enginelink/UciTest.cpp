// UCI engines: the pure line conversions, and the engine slot against the fake engine
// in its UCI modes (0-based and 1-based ranks) and its UCCI-only default.
#include "FakeEngineFixture.h"
#include "enginelink/EngineDialect.h"
#include "enginelink/UciTranslation.h"
#include "rules/Board.h"

#include <algorithm>
#include <sstream>

using namespace qinglan;
using qinglan::test::FakeEngineTest;

namespace {

// Black to move and mated: rook e8 (kept by the facing kings) checks, rook d0 and horse
// g7 hold d9 and f9.
constexpr const char* MATED = "position fen 4k4/4R4/6N2/9/9/9/9/9/9/3RK4 b";

std::string legalMovesOf(const std::string& positionLine) {
    Board board;
    board.setPosition(positionLine);
    return movesExceptBanned(board, {});
}

std::vector<std::string> words(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string word; in >> word;) out.push_back(word);
    return out;
}

// The move a reply names, 0-based; "" when it is no best move.
std::string bestMoveOf(const std::optional<EngineReply>& reply) {
    const BestMove* best = reply ? std::get_if<BestMove>(&*reply) : nullptr;
    return best ? best->move : "";
}

} // namespace

// Each search written by both dialects: UCCI gives back the very line it was read from.
TEST(EngineDialect, SearchesBecomeTheLinesOfEachProtocol) {
    struct Row {
        const char* ucci;
        bool red;
        const char* uci;
    };
    const Row rows[] = {
        { "go time 3000 increment 3000", true, "go movetime 3000" },
        { "go ponder time 3000 increment 3000", false, "go ponder movetime 3000" },
        { "go time 9000 increment 2000 opptime 7000 oppincrement 2000", true,
            "go wtime 9000 btime 7000 winc 2000 binc 2000" },
        { "go time 9000 increment 2000 opptime 7000 oppincrement 1000", false,
            "go btime 9000 wtime 7000 binc 2000 winc 1000" },
        { "go time 60000 movestogo 38 opptime 50000 oppmovestogo 38", true,
            "go wtime 60000 btime 50000 movestogo 38" },
        { "go time 500 movestogo -2 opptime 400 oppmovestogo -2", false,
            "go btime 500 wtime 400 movestogo 1" },
        { "go ponder time 1 increment 0 opptime 2 oppincrement 0", true,
            "go ponder wtime 1 btime 2 winc 0 binc 0" },
        { "go depth 12", true, "go depth 12" },
        { "go ponder nodes 5000", false, "go ponder nodes 5000" },
        { "go infinite", true, "go infinite" },
        { "go infinite", false, "go infinite" },
    };
    for (const Row& row : rows) {
        const SearchRequest request = test::searchFor(
            row.red ? "position startpos" : "position startpos moves h2e2", row.ucci);
        const auto ucci = UcciDialect().startSearch(request, true);
        EXPECT_EQ(ucci.lines.back(), row.ucci);
        EXPECT_EQ(
            ucci.lines.front(), row.red ? "position startpos" : "position startpos moves h2e2");
        EXPECT_EQ(UciDialect(RankBase::Zero).startSearch(request, true).lines.back(), row.uci)
            << row.ucci;
    }
    SearchRequest banned = test::searchFor("position startpos", "go depth 3", { "h2e2", "b0c2" });
    EXPECT_EQ(UcciDialect().startSearch(banned, false).lines,
        (std::vector<std::string> {
            "position fen " + std::string(START_FEN), "banmoves h2e2 b0c2", "go depth 3" }));
}

TEST(UciTranslation, RanksConvertBothWays) {
    struct Row {
        const char* zero;
        const char* one;
    };
    const Row rows[] = {
        { "h2e2", "h3e3" },
        { "a9a8", "a10a9" },
        { "i0i9", "i1i10" },
        { "b9c7", "b10c8" },
    };
    for (const Row& row : rows) {
        EXPECT_EQ(moveToOneBased(row.zero), row.one);
        EXPECT_EQ(moveToZeroBased(row.one), row.zero);
    }
    for (const char* notAMove : { "(none)", "0000", "j1j2", "a11a1", "a0a10x", "depth" }) {
        EXPECT_EQ(moveToZeroBased(notAMove), notAMove);
        EXPECT_EQ(moveToOneBased(notAMove), notAMove);
    }
    EXPECT_EQ(moveToZeroBased("a0a1"), "a0a1") << "no rank 0 when counting from 1";
}

TEST(UciTranslation, PositionsAndRepliesConvertOnlyTheirMoves) {
    struct Row {
        const char* in;
        const char* out;
    };
    const Row toOne[] = {
        { "position startpos moves h2e2 h9g7", "position startpos moves h3e3 h10g8" },
        { "position startpos", "position startpos" },
        { "position fen 9/9/3k5/9/9/9/9/4K4/9/9 w - - 0 1 moves e2e1",
            "position fen 9/9/3k5/9/9/9/9/4K4/9/9 w - - 0 1 moves e3e2" },
    };
    for (const Row& row : toOne) EXPECT_EQ(positionToOneBased(row.in), row.out);
    // Replies of a 1-based engine come back as values with 0-based moves.
    UciDialect oneBased(RankBase::One);
    const SearchRequest start = test::searchFor("position startpos", "go depth 9");
    EXPECT_EQ(oneBased.readReply("bestmove h3e3 ponder h10g8", start),
        EngineReply(BestMove { "h2e2", "h9g7" }));
    const auto info = oneBased.readReply("info depth 9 score cp 31 nodes 12 pv b1c3 a10a9", start);
    ASSERT_TRUE(info && std::holds_alternative<ThinkingLine>(*info));
    EXPECT_EQ(std::get<ThinkingLine>(*info).pv, (std::vector<std::string> { "b0c2", "a9a8" }));
    EXPECT_FALSE(oneBased.readReply("info string a1a2 stays", start));
    EXPECT_FALSE(oneBased.readReply("readyok", start));
    EXPECT_EQ(oneBased.readReply("bestmove 0000", start), EngineReply(NoMove {}));
}

TEST(UciTranslation, DetectionNeedsAMoveLegalInOneConventionOnly) {
    struct Row {
        const char* position;
        const char* move;
        RankBase base;
    };
    const Row rows[] = {
        { "position startpos", "h2e2", RankBase::Zero },
        { "position startpos", "h3e3", RankBase::One },
        { "position startpos moves h2e2", "h9g7", RankBase::Zero },
        { "position startpos moves h2e2", "h10g8", RankBase::One },
        { "position startpos", "a0a1", RankBase::Zero }, // "a0" is no 1-based square
        { "position startpos", "e5e6", RankBase::Unknown }, // legal in neither
        { "position fen 3k5/9/9/9/9/9/9/9/R8/R3K4 w", "a1c1", RankBase::Unknown }, // both
        { "position fen 3k5/9/9/9/9/9/9/9/R8/R3K4 w", "a1c1 d9d8", RankBase::Zero },
        { "position fen 3k5/9/9/9/9/9/9/9/R8/R3K4 w", "a1c1 d10d9", RankBase::One },
        { "position startpos", "h2e2 h2e2", RankBase::Unknown }, // the second is illegal
    };
    for (const Row& row : rows)
        EXPECT_EQ(detectRankBase(row.position, row.move), row.base)
            << row.position << " " << row.move;
}

TEST(UciTranslation, SearchMovesLeaveOutTheBannedOnes) {
    const std::string all = legalMovesOf("position startpos");
    EXPECT_EQ(std::ranges::count(all, ' ') + 1, 44);
    Board start;
    start.setStartPosition();
    const std::string left = movesExceptBanned(start, { "h2e2", "b0c2" });
    EXPECT_EQ(std::ranges::count(left, ' ') + 1, 42);
    EXPECT_EQ(left.find("h2e2"), std::string::npos);
    EXPECT_EQ(left.find("b0c2"), std::string::npos);
    EXPECT_NE(left.find("h0g2"), std::string::npos);
    EXPECT_EQ(movesExceptBanned(start, words(all)), "");
    EXPECT_EQ(legalMovesOf(MATED), "");
}

TEST_F(FakeEngineTest, UciHandshakeSendsOnlyTheAnnouncedOptionsThenWaitsForReadyok) {
    mode("uci");
    EngineOptions options;
    options.hashSizeMb = 64;
    options.threads = 2; // not announced by the fake: left out
    // The engine announces both: chess is never chosen, and the protocol never switched.
    engine.chooseForProgram(
        EngineProtocol::Uci, { { "UCI_Variant", "chess" }, { "protocol", "xboard" } });
    engine.setOptions(options);
    EXPECT_EQ(engine.profile().ownOptions,
        (std::map<std::string, std::string> { { "UCI_Variant", "chess" } }));
    ASSERT_TRUE(load());
    EXPECT_EQ(engine.protocol(), EngineProtocol::Uci);
    EXPECT_EQ(engine.identity().name, "FakeEngine");
    EXPECT_EQ(engine.state(), EngineState::Idle);
    const std::vector<std::string> expected = { "uci", "setoption name Ponder value true",
        "setoption name Hash value 64", "setoption name UCI_Variant value xiangqi", "isready" };
    EXPECT_EQ(transcript(expected.size()), expected);
    // The fake plays chess (e2e4) until it is told the variant.
    ASSERT_TRUE(test::search(engine, "position startpos", "go depth 1"));
    const std::string reply = lineStartingWith("bestmove ");
    Board start;
    start.setStartPosition();
    EXPECT_TRUE(start.isLegalMoveText(bestMoveOf(engine.lastReply()))) << reply;

    engine.sendLine("setoption newgame");
    engine.sendLine("setoption usebook false"); // UCCI only: not sent
    engine.sendLine("isready");
    EXPECT_EQ(transcript(expected.size() + 4).back(), "isready");
    EXPECT_EQ(transcript()[expected.size() + 2], "ucinewgame");
}

TEST_F(FakeEngineTest, AutomaticProtocolFindsUcciAndUciEnginesAndAChoiceIsKept) {
    struct Row {
        const char* flags;
        EngineProtocol chosen;
        EngineProtocol found;
        std::vector<std::string> start; // the first lines the engine received
    };
    const std::vector<std::string> ucci = { "ucci", "setoption usemillisec true" };
    const std::vector<std::string> refused
        = { "ucci", "quit", "uci", "setoption name Ponder value true" };
    const std::vector<std::string> uci = { "uci", "setoption name Ponder value true" };
    const Row rows[] = {
        { "", EngineProtocol::Auto, EngineProtocol::Ucci, ucci },
        { "uci", EngineProtocol::Auto, EngineProtocol::Uci, refused },
        { "uci1", EngineProtocol::Auto, EngineProtocol::Uci, refused },
        { "both", EngineProtocol::Auto, EngineProtocol::Ucci, ucci },
        { "both", EngineProtocol::Uci, EngineProtocol::Uci, uci },
        { "both", EngineProtocol::Ucci, EngineProtocol::Ucci, ucci },
        // An engine slow to answer gets the whole wait when its protocol is chosen.
        { "slow-ucci", EngineProtocol::Ucci, EngineProtocol::Ucci, ucci },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.flags);
        std::filesystem::remove(path("transcript"));
        mode(row.flags);
        engine.chooseForProgram(row.chosen, {});
        ASSERT_TRUE(load());
        EXPECT_EQ(engine.protocol(), row.found);
        std::vector<std::string> sent = transcript(row.start.size());
        sent.resize(std::min(sent.size(), row.start.size()));
        EXPECT_EQ(sent, row.start);
        EXPECT_TRUE(engine.unload());
        EXPECT_EQ(engine.protocol(), EngineProtocol::Auto);
    }
    // A UCCI-only engine told to speak UCI never says "uciok".
    engine.chooseForProgram(EngineProtocol::Uci, {});
    mode("");
    EXPECT_FALSE(load());
    EXPECT_EQ(engine.state(), EngineState::Unloaded);
}

TEST_F(FakeEngineTest, AProgramThatIsNoEngineIsGivenUpAfterOneTryOfEachProtocol) {
    struct Row {
        const char* flags; // for the fake engine; "" runs the script instead
        const char* script;
        int starts;
    };
    const Row rows[] = {
        // Ends at once: no other protocol is tried.
        { "", "exit 0", 1 },
        // Echoes every line (nothing an engine says): UCCI, then UCI, then no more.
        { "", "exec tee -a \"$QINGLAN_FAKE_TRANSCRIPT\"", 2 },
        // An engine too slow for the automatic choice.
        { "slow-ucci", "", 2 },
    };
    const std::string program = path("program");
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.flags) + row.script);
        std::filesystem::remove(path("transcript"));
        std::ofstream(program) << "#!/bin/sh\necho start >> \"$QINGLAN_FAKE_TRANSCRIPT\"\n"
                               << (*row.flags ? "exec " QINGLAN_FAKE_ENGINE : row.script) << "\n";
        std::filesystem::permissions(program, std::filesystem::perms::owner_all);
        mode(row.flags);
        engine.chooseForProgram(EngineProtocol::Auto, {});
        EXPECT_FALSE(engine.loadProgram(program));
        EXPECT_EQ(engine.state(), EngineState::Unloaded);
        std::vector<std::string> heard = transcript();
        for (std::string& line : heard) // what tee keeps still ends in CR
            if (line.ends_with('\r')) line.pop_back();
        EXPECT_EQ(std::ranges::count(heard, "start"), row.starts);
        EXPECT_EQ(std::ranges::count(heard, "uci"), row.starts - 1);
    }
}

TEST_F(FakeEngineTest, UciSearchGetsTimesBySideToMoveAndTheBanAsSearchmoves) {
    mode("uci");
    ASSERT_TRUE(load());
    ASSERT_TRUE(test::search(engine, "position startpos",
        "go time 9000 increment 0 opptime 8000 oppincrement 0", { "h2e2", "b0c2" }));
    std::string reply = lineStartingWith("bestmove ");
    EXPECT_EQ(engine.rankBase(), RankBase::Zero);
    std::vector<std::string> sent = transcript();
    ASSERT_GE(sent.size(), 2u);
    EXPECT_EQ(sent[sent.size() - 2], "position startpos") << "banmoves is not sent";
    EXPECT_EQ(
        sent.back(), "go wtime 9000 btime 8000 winc 0 binc 0 searchmoves " + [] {
            Board start;
            start.setStartPosition();
            return movesExceptBanned(start, { "h2e2", "b0c2" });
        }());
    EXPECT_NE(bestMoveOf(engine.lastReply()), "h2e2");
    EXPECT_NE(bestMoveOf(engine.lastReply()), "b0c2");

    // Black to move now; once the ranks are known the moves go as they are.
    ASSERT_TRUE(test::search(engine, "position startpos moves h2e2",
        "go time 9000 increment 0 opptime 8000 oppincrement 0"));
    EXPECT_NE(lineStartingWith("bestmove "), "");
    sent = transcript();
    EXPECT_EQ(sent[sent.size() - 2], "position startpos moves h2e2");
    EXPECT_EQ(sent.back(), "go btime 9000 wtime 8000 binc 0 winc 0");
}

TEST_F(FakeEngineTest, EveryMoveBannedOrNoneLeftIsNoMove) {
    mode("uci");
    ASSERT_TRUE(load());
    ASSERT_TRUE(test::search(
        engine, "position startpos", "go depth 3", words(legalMovesOf("position startpos"))));
    EXPECT_EQ(engine.readLine(), "nobestmove") << "answered in the engine's name";
    EXPECT_EQ(engine.state(), EngineState::Idle);
    EXPECT_EQ(engine.lastReply(), EngineReply(NoMove {}));
    const std::vector<std::string> sent = transcript(7, 300);
    EXPECT_EQ(sent.size(), 6u) << "ucci, quit, uci, Ponder, UCI_Variant, isready: nothing more";

    ASSERT_TRUE(test::search(engine, MATED, "go depth 3"));
    EXPECT_EQ(lineStartingWith("bestmove 0000"), "bestmove 0000");
    EXPECT_EQ(engine.lastReply(), EngineReply(NoMove {})) << "the engine said bestmove 0000";
    EXPECT_EQ(engine.state(), EngineState::Idle);
}

TEST_F(FakeEngineTest, OneBasedRanksAreLearntAndConvertedBothWays) {
    mode("uci1,info,ponder");
    ASSERT_TRUE(load());
    ASSERT_TRUE(test::search(engine, "position startpos moves h2e2", "go depth 1"));
    std::string info = lineStartingWith("info depth 1 ");
    std::string reply = lineStartingWith("bestmove ");
    ASSERT_NE(reply, "");
    EXPECT_EQ(engine.rankBase(), RankBase::One);
    EXPECT_EQ(
        transcript().end()[-2],
        "position fen " +
            [] {
                Board board;
                board.setPosition("position startpos moves h2e2");
                return board.toFen();
            }())
        << "moves are held back while the convention is unknown";

    Board board;
    board.setPosition("position startpos moves h2e2");
    ASSERT_TRUE(engine.lastReply());
    const BestMove best = std::get<BestMove>(*engine.lastReply());
    ASSERT_NE(best.ponder, "");
    EXPECT_NE(info.find(" pv " + moveToOneBased(best.move) + " "), std::string::npos) << info;
    EXPECT_TRUE(board.makeMoveText(best.move)) << reply;
    EXPECT_TRUE(board.makeMoveText(best.ponder)) << reply;

    // Known now: moves go out 1-based, and the replies stay legal 0-based ones.
    for (const char* moves : { "h2e2 h9g7", "h2e2 h9g7 h0g2 i9h9" }) {
        const std::string line = std::string("position startpos moves ") + moves;
        ASSERT_TRUE(test::search(engine, line, "go depth 1"));
        reply = lineStartingWith("bestmove ");
        EXPECT_EQ(transcript().end()[-2], positionToOneBased(line));
        Board after;
        after.setPosition(line);
        EXPECT_TRUE(after.makeMoveText(bestMoveOf(engine.lastReply()))) << reply;
    }
    ASSERT_TRUE(test::search(engine, "position startpos", "go depth 1", { "h2e2" }));
    EXPECT_NE(lineStartingWith("bestmove "), "");
    EXPECT_NE(transcript().back().find(" searchmoves "), std::string::npos);
    EXPECT_NE(transcript().back().find(" h1g3"), std::string::npos) << "1-based searchmoves";
    EXPECT_EQ(transcript().back().find(" h3e3"), std::string::npos);
}
