// The engine binary as the program drives it: UCCI transcripts over pipes.
#include "../support/SearchText.h"
#include "EnginePipe.h"
#include "enginelink/EngineProcess.h"
#include "rules/Board.h"

#include <gtest/gtest.h>
#include <set>
#include <thread>

using namespace qinglan;
using qinglan::test::EnginePipe;
using qinglan::test::wordAfter;

namespace {

const std::string ENGINE_DIR = QINGLAN_ENGINE_DIR;
const std::string DEFAULT_ENGINE = ENGINE_DIR + "/青岚引擎1.0.exe";

// Black is a cannon up; red's chariot can check from a9 and a8 in turn while the black
// king steps between e9 and e8, or black can block on d9 with the cannon.
const std::string CHECKS_FEN = "4kab2/R8/8b/3c5/8r/9/9/9/4A4/2B1KAB2 w - - 0 1";
const std::string CHECKS_CYCLE = " a8a9 e9e8 a9a8 e8e9";

// An engine after the handshake, with times in milliseconds.
struct Session {
    EnginePipe engine { DEFAULT_ENGINE };
    Session() {
        engine.send("ucci");
        engine.waitFor("ucciok");
        engine.send("setoption usemillisec true");
    }
    std::string bestMove(const std::string& position, const std::string& go = "go depth 5") {
        engine.send(position);
        engine.send(go);
        for (;;) {
            std::string line = engine.readLine();
            if (line == "nobestmove" || line[0] == '<') return line;
            if (line.rfind("bestmove ", 0) == 0) return wordAfter(line, "bestmove");
        }
    }
};

Board boardAfter(const std::string& position, const std::string& move) {
    Board board;
    board.setPosition(position);
    board.makeMoveText(move);
    return board;
}

} // namespace

TEST(Ucci, HandshakeNamesTheEngineAfterItsFile) {
    for (const std::string name : { "青岚引擎1.0", "松涛引擎1.0" }) {
        EnginePipe engine(ENGINE_DIR + "/" + name + ".exe");
        engine.send("ucci\r");
        EXPECT_EQ(engine.waitFor("ucciok"), "ucciok");
        const auto& lines = engine.lines();
        EXPECT_EQ(lines.front(), "id name " + name);
        EXPECT_NE(std::find(lines.begin(), lines.end(), "id author 青岚象棋开发组"), lines.end());
        for (const char* option : { "usemillisec", "ponder", "hashsize", "randomness", "style" })
            EXPECT_NE(std::find_if(lines.begin(), lines.end(),
                          [&](const std::string& l) {
                              return l.rfind(std::string("option ") + option, 0) == 0;
                          }),
                lines.end())
                << option;
        // Options the engine does not know are harmless.
        engine.send("setoption frobnicate 7");
        engine.send("setoption hashsize 0");
        engine.send("setoption bookfiles ");
        engine.send("setoption newgame");
        engine.send("isready");
        EXPECT_EQ(engine.readLine(), "readyok");
        // Its 64 MB hash table is not written until a search fills it: writing it all
        // at the start kept "ucciok" waiting for a quarter of a second.
        EXPECT_LT(engine.residentKiB(), 32 * 1024);
        engine.send("quit");
        EXPECT_EQ(engine.readLine(), "bye");
        EXPECT_EQ(engine.exitCode(), 0);
    }
}

TEST(Ucci, PositionLinesAndTheIllegalMoveThatEndsThem) {
    Session s;
    struct Row {
        std::string position, fen;
    } rows[] = {
        { "position startpos moves h2e2 h2e2 h9g7",
            "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RNBAKABNR b - - 0 1" },
        { "position fen 4k4/9/9/9/9/9/9/9/9/3K5 b - - 0 1 moves e9e8 d0d1 e8e7 d1d2 e7e6 d2d1",
            "9/9/4k4/9/9/9/9/3K5/9/9 b - - 0 1" },
        { "position fen 4k4/9/9/9/9/9/9/9/9/3K5 w - - 0 1 moves d0e0 d0d1",
            "4k4/9/9/9/9/9/9/9/9/3K5 w - - 0 1" },
    };
    for (const Row& row : rows) {
        s.engine.send(row.position + "\r");
        s.engine.send("d");
        EXPECT_EQ(s.engine.readLine(), row.fen) << row.position;
    }
    s.engine.send("position startpos");
    s.engine.send("perft 3");
    EXPECT_EQ(wordAfter(s.engine.readLine(), "perft"), "79666");
}

TEST(Ucci, BestMovesAreLegalAndBansAreObeyed) {
    Session s;
    const std::string positions[] = {
        "position startpos",
        "position startpos moves h2e2 h9g7 h0g2 i9h9 i0h0 b9c7",
        "position fen 2bak4/4a4/4b1n2/p1C1p1p1p/2p6/6P2/P3P3P/1C2B1N2/4A4/c1BAKAB2 w - - 0 1",
        "position fen 3k1a3/4a4/4b4/4C4/2n1c4/4R4/9/4B4/4A4/3K1A3 b - - 0 1",
    };
    for (const std::string& position : positions) {
        std::string move = s.bestMove(position);
        Board board;
        board.setPosition(position);
        EXPECT_TRUE(board.isLegalMoveText(move)) << position << ": " << move;
        // Banned, the same move is never chosen again.
        s.engine.send(position);
        s.engine.send("banmoves " + move);
        s.engine.send("go depth 4");
        std::string other = wordAfter(s.engine.waitFor("bestmove"), "bestmove");
        EXPECT_NE(other, move) << position;
        EXPECT_TRUE(board.isLegalMoveText(other)) << position << ": " << other;
    }
}

TEST(Ucci, NoBestMoveWhenMatedOrEverythingIsBanned) {
    Session s;
    EXPECT_EQ(s.bestMove("position fen R3k4/1R7/9/9/9/9/9/9/9/3K5 b - - 0 1"), "nobestmove");
    // Stalemate counts as lost too: there is still no move to give.
    EXPECT_EQ(s.bestMove("position fen 4k4/9/9/9/9/9/9/9/4B4/3AKA3 w - - 0 1"), "nobestmove");
    const std::string kings = "position fen 3k5/9/9/9/9/9/9/9/9/4K4 w - - 0 1";
    s.engine.send(kings);
    s.engine.send("banmoves e0e1 e0f0");
    s.engine.send("go depth 3");
    EXPECT_EQ(s.engine.waitFor("nobestmove"), "nobestmove");
    // The ban lasts until the next position line.
    EXPECT_NE(s.bestMove(kings), "nobestmove");
}

TEST(Ucci, FindsMateInOne) {
    Session s;
    const std::string positions[] = {
        "position fen 4k4/1R7/R8/9/9/9/9/9/9/3K5 w - - 0 1",
        "position fen 3k5/9/9/9/9/9/9/r8/1r7/4K4 b - - 0 1",
    };
    for (const std::string& position : positions) {
        std::string move = s.bestMove(position, "go depth 3");
        EXPECT_GE(boardAfter(position, move).gameStatus(), STATUS_RED_WINS)
            << position << ": " << move;
    }
}

TEST(Ucci, StalematingTheOpponentWinsInsideTheSearch) {
    Session s;
    // The horse covers d8 from c6 or e6 and the kings face on the e-file: black has no
    // move and loses. No red move gives mate, so a search that scored the stalemate as a
    // draw would rather keep the extra horse.
    const std::string position = "position fen 3k5/9/9/9/9/3N5/9/9/9/4K4 w - - 0 1";
    const std::string move = s.bestMove(position, "go depth 2");
    EXPECT_TRUE(move == "d4c6" || move == "d4e6") << move;
    EXPECT_EQ(boardAfter(position, move).gameStatus(), STATUS_RED_WINS);
}

TEST(Ucci, ADrawIsWorthLessThanNothingToTheEngine) {
    // Bare kings: every line ends in a draw at once, so the score is the draw's worth to
    // the side the engine plays, whichever it is.
    for (const char* side : { "w", "b" }) {
        Session s;
        s.engine.send(std::string("position fen 3k5/9/9/9/9/9/9/9/9/4K4 ") + side + " - - 0 1");
        s.engine.send("go depth 3");
        std::string score;
        for (std::string line = s.engine.readLine();
             line.rfind("bestmove", 0) != 0 && line[0] != '<'; line = s.engine.readLine())
            if (line.rfind("info depth 3 ", 0) == 0) score = wordAfter(line, "score");
        EXPECT_LT(std::stoi(score.empty() ? "0" : score), 0) << side;
    }
}

TEST(Ucci, BenchSearchesAFixedNumberOfNodes) {
    // The search's fingerprint: a change that alters the search changes this count, and
    // the commit that means it records the new one.
    EnginePipe engine(DEFAULT_ENGINE);
    engine.send("bench");
    const std::string total = engine.waitFor("bench nodes", 120000);
    EXPECT_EQ(wordAfter(total, "nodes"), "1688406") << total;
}

TEST(Ucci, AvoidsTheRepetitionItWouldLoseAndTakesTheOneItWins) {
    Session s;
    // Red checks with every move; a fourth a8a9 would lose the game for red.
    const std::string redToMove
        = "position fen " + CHECKS_FEN + " moves" + CHECKS_CYCLE + CHECKS_CYCLE + CHECKS_CYCLE;
    ASSERT_EQ(boardAfter(redToMove, "a8a9").repetitionVerdict(), 1 + RED);
    std::string move = s.bestMove(redToMove, "go depth 6");
    EXPECT_NE(move, "a8a9");
    EXPECT_EQ(boardAfter(redToMove, move).repetitionVerdict() & 24, 0) << move;

    // Black, checked again, repeats with e9e8 and wins instead of blocking with the cannon.
    const std::string blackToMove = redToMove + " a8a9";
    ASSERT_EQ(boardAfter(blackToMove, "e9e8").repetitionVerdict(), 1 + RED);
    EXPECT_EQ(s.bestMove(blackToMove, "go depth 6"), "e9e8");
}

TEST(Ucci, PonderWaitsForPonderhitAndStopAnswersAtOnce) {
    Session s;
    s.engine.send("position startpos moves h2e2 h9g7");
    s.engine.send("go ponder time 300 increment 300");
    usleep(400 * 1000);
    // Past its time and still silent: pondering has no clock until "ponderhit".
    s.engine.send("isready");
    EXPECT_EQ(s.engine.waitFor("readyok"), "readyok");
    for (const std::string& line : s.engine.lines())
        EXPECT_NE(line.rfind("bestmove", 0), 0u) << line;
    s.engine.send("ponderhit");
    std::string reply = s.engine.waitFor("bestmove", 5000);
    EXPECT_EQ(reply.rfind("bestmove ", 0), 0u) << reply;

    s.engine.send("position startpos");
    s.engine.send("go infinite");
    s.engine.waitFor("info depth 2");
    s.engine.send("isready");
    EXPECT_EQ(s.engine.waitFor("readyok"), "readyok");
    s.engine.send("stop");
    reply = s.engine.waitFor("bestmove", 5000);
    Board start;
    start.setStartPosition();
    EXPECT_TRUE(start.isLegalMoveText(wordAfter(reply, "bestmove"))) << reply;

    // quit during a search ends it, says bye and exits cleanly.
    s.engine.send("go infinite");
    s.engine.send("quit");
    EXPECT_EQ(s.engine.waitFor("bye", 5000), "bye");
    EXPECT_EQ(s.engine.exitCode(), 0);
}

TEST(Ucci, TimedSearchesAnswerWithinTheirBudget) {
    Session s;
    // Short countdown and a preset move time: both reply, with a legal move.
    for (const std::string go : { "go time 600 increment 0 opptime 600 oppincrement 0",
             "go time 1000 movestogo 3 opptime 1000 oppmovestogo 3", "go time 200 increment 200",
             "go time -50 increment 0 opptime 1000 oppincrement 0", "go nodes 5000" }) {
        std::string move = s.bestMove("position startpos moves b2e2", go);
        EXPECT_TRUE(boardAfter("position startpos moves b2e2", move).plyCount() == 2)
            << go << ": " << move;
    }
}

TEST(Ucci, StyleAndRandomnessChangeTheSearch) {
    Session s;
    const std::string position = "position startpos moves h2e2 h9g7 h0g2 i9h9 i0h0 b9c7 b0c2";
    auto scoreWith = [&](const std::string& option) {
        s.engine.send("setoption " + option);
        s.engine.send(position);
        s.engine.send("go depth 3");
        std::string score;
        for (std::string line = s.engine.readLine();
             line.rfind("bestmove", 0) != 0 && line[0] != '<'; line = s.engine.readLine())
            if (line.rfind("info depth 3 ", 0) == 0) score = wordAfter(line, "score");
        return score;
    };
    const std::string risky = scoreWith("style risky"), solid = scoreWith("style solid");
    EXPECT_NE(risky, solid);
    const std::string normal = scoreWith("style normal");
    EXPECT_EQ(scoreWith("randomness none"), normal) << "without randomness searches repeat";
    std::set<std::string> scores;
    for (int run = 0; run < 6; ++run) scores.insert(scoreWith("randomness large"));
    EXPECT_GT(scores.size(), 1u);
}

// The same engine through the program's own engine link, as the window and the
// match runner drive it.
TEST(Ucci, TheProgramsEngineLinkDrivesIt) {
    EngineProcess engine;
    ASSERT_TRUE(engine.loadProgram(DEFAULT_ENGINE));
    EXPECT_EQ(engine.name(), "青岚引擎1.0");
    EXPECT_EQ(engine.state(), EngineState::Idle);
    const auto replyTo = [&](const SearchRequest& request) {
        EXPECT_TRUE(engine.startSearch(request));
        EXPECT_TRUE(engine.stopSearch(-1)) << "a reply comes";
        return engine.lastReply().value_or(NoMove {});
    };
    const auto bestMoveOf = [](const EngineReply& reply) {
        const BestMove* best = std::get_if<BestMove>(&reply);
        return best ? best->move : "";
    };
    // Only the long way round the ban: every other opening move is fine.
    const std::string banned
        = bestMoveOf(replyTo(test::searchFor("position startpos", "go depth 4", { "h2e2" })));
    EXPECT_NE(banned, "");
    EXPECT_NE(banned, "h2e2");

    ASSERT_TRUE(engine.startSearch(
        test::searchFor("position startpos moves h2e2", "go ponder time 60000 increment 0")));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    engine.drainOutput();
    EXPECT_EQ(engine.state(), EngineState::Pondering) << "no reply before ponderhit";
    engine.ponderHit();
    EXPECT_EQ(engine.state(), EngineState::Thinking);
    const std::int64_t stopAt = tickMs();
    EXPECT_TRUE(engine.stopSearch(1000));
    EXPECT_LT(tickMs() - stopAt, 1000) << "stop is answered at once";
    ASSERT_TRUE(engine.lastReply());
    EXPECT_NE(bestMoveOf(*engine.lastReply()), "");

    EXPECT_EQ(
        replyTo(test::searchFor("position fen R3k4/1R7/9/9/9/9/9/9/9/3K5 b - - 0 1", "go depth 3")),
        EngineReply(NoMove {}))
        << "mated";
    EXPECT_TRUE(engine.unload());
    EXPECT_EQ(engine.state(), EngineState::Unloaded);
}
