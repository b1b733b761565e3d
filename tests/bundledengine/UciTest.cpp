// The engine binary spoken to in UCI: transcripts over pipes, then the program's own
// engine link with the protocol chosen and found.
#include "../support/SearchText.h"
#include "EnginePipe.h"
#include "enginelink/EngineProcess.h"
#include "platform/Ticks.h"
#include "rules/Board.h"

#include <gtest/gtest.h>
#include <map>
#include <set>
#include <thread>

using namespace qinglan;
using qinglan::test::EnginePipe;
using qinglan::test::wordAfter;

namespace {

const std::string ENGINE = std::string(QINGLAN_ENGINE_DIR) + "/青岚引擎1.0.exe";
const std::string MATED = "position fen R3k4/1R7/9/9/9/9/9/9/9/3K5 b - - 0 1";

bool startsWith(const std::string& line, const std::string& prefix) {
    return line.rfind(prefix, 0) == 0;
}

struct UciSession {
    EnginePipe engine { ENGINE };
    UciSession() {
        engine.send("uci");
        engine.waitFor("uciok");
    }
    // The info lines and the bestmove line of one search.
    std::vector<std::string> search(
        const std::string& position, const std::string& go, int timeoutMs = 20000) {
        engine.send(position);
        engine.send(go);
        std::vector<std::string> lines;
        do lines.push_back(engine.readLine(timeoutMs));
        while (!startsWith(lines.back(), "bestmove") && lines.back()[0] != '<');
        return lines;
    }
};

bool isLegalIn(const std::string& position, const std::string& move) {
    Board board;
    board.setPosition(position);
    return board.isLegalMoveText(move);
}

} // namespace

TEST(Uci, HandshakeAnnouncesOptionsInUciFormAndQuitSaysNothing) {
    EnginePipe engine(ENGINE);
    engine.send("uci");
    EXPECT_EQ(engine.waitFor("uciok"), "uciok");
    const std::vector<std::string>& lines = engine.lines();
    EXPECT_EQ(lines.front(), "id name 青岚引擎1.0");
    EXPECT_EQ(lines[1], "id author 青岚象棋开发组");
    for (const char* name : { "Hash", "Threads", "MultiPV" }) {
        auto spin = std::find_if(lines.begin(), lines.end(), [&](const std::string& l) {
            return startsWith(l, std::string("option name ") + name + " type spin default ");
        });
        ASSERT_NE(spin, lines.end()) << name;
        EXPECT_NE(spin->find(" min "), std::string::npos) << *spin;
        EXPECT_NE(spin->find(" max "), std::string::npos) << *spin;
    }
    for (const char* name : { "Ponder type check", "Randomness type combo", "Style type combo" })
        EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                      [&](const std::string& l) {
                          return startsWith(l, std::string("option name ") + name + " default ");
                      }),
            1)
            << name;
    for (const std::string& line : lines)
        EXPECT_TRUE(!startsWith(line, "option ") || startsWith(line, "option name ")) << line;
    engine.send("setoption name Hash value 16");
    engine.send("ucinewgame");
    engine.send("isready");
    EXPECT_EQ(engine.readLine(), "readyok");
    engine.send("quit");
    EXPECT_EQ(engine.readLine(), "<eof>") << "no \"bye\" in UCI";
    EXPECT_EQ(engine.exitCode(), 0);
}

TEST(Uci, SearchesAnswerInUciWords) {
    UciSession s;
    struct Row {
        std::string position, go;
        std::vector<std::string> moves; // the best move is one of these ({} : any legal move)
        std::string score; // how the last info line scores it ("" : centipawns)
    } rows[] = {
        { "position fen 4k4/1R7/R8/9/9/9/9/9/9/3K5 w - - 0 1", "go depth 3", {}, "mate 1" },
        { "position fen 3k5/9/9/9/9/9/9/r8/1r7/4K4 b - - 0 1", "go depth 3", {}, "mate 1" },
        // Red's one move walks into a mate by the rook from b2.
        { "position fen 3k5/9/9/9/9/9/9/1r7/r8/4K4 w - - 0 1", "go depth 4", { "e0f0" },
            "mate -1" },
        { "position startpos moves h2e2", "go depth 4 searchmoves h9g7 b9c7", { "h9g7", "b9c7" },
            "" },
        { "position startpos", "go depth 3 searchmoves i0i1 nonsense", { "i0i1" }, "" },
        // Black to move: btime is its own clock, a short one; read as red's it would think
        // for many seconds.
        { "position startpos moves h2e2", "go wtime 600000 btime 300 winc 0 binc 0", {}, "" },
        { "position startpos", "go movetime 50", {}, "" },
    };
    for (const Row& row : rows) {
        const std::vector<std::string> lines = s.search(row.position, row.go, 5000);
        const std::string best = wordAfter(lines.back(), "bestmove");
        ASSERT_GE(lines.size(), 2u) << row.go << ": " << lines.back();
        EXPECT_TRUE(isLegalIn(row.position, best)) << row.position << ": " << best;
        if (!row.moves.empty()) {
            EXPECT_NE(std::find(row.moves.begin(), row.moves.end(), best), row.moves.end())
                << row.go << ": " << best;
        }
        const std::string& info = lines[lines.size() - 2];
        const std::string score = row.score.empty() ? " score cp " : " score " + row.score + " ";
        EXPECT_NE(info.find(score), std::string::npos) << row.position << ": " << info;
    }
    EXPECT_EQ(s.search(MATED, "go depth 3").back(), "bestmove 0000");
    EXPECT_EQ(s.search("position startpos", "go depth 2 searchmoves e3e5").back(), "bestmove 0000")
        << "no listed move is legal";
}

TEST(Uci, PonderWaitsForPonderhitAndStopAnswersAtOnce) {
    UciSession s;
    s.engine.send("position startpos moves h2e2 h9g7");
    s.engine.send("go ponder wtime 300 btime 300");
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    s.engine.send("isready");
    EXPECT_EQ(s.engine.waitFor("readyok"), "readyok");
    for (const std::string& line : s.engine.lines()) EXPECT_FALSE(startsWith(line, "bestmove"));
    s.engine.send("ponderhit");
    const std::string reply = s.engine.waitFor("bestmove", 5000);
    EXPECT_TRUE(isLegalIn("position startpos moves h2e2 h9g7", wordAfter(reply, "bestmove")))
        << reply;

    s.engine.send("position startpos");
    s.engine.send("go infinite");
    s.engine.waitFor("info depth 2");
    s.engine.send("stop");
    EXPECT_TRUE(startsWith(s.engine.waitFor("bestmove", 5000), "bestmove "));
}

TEST(Uci, OptionsAreSetByTheirUciNames) {
    UciSession s;
    const auto scoreWith = [&](const std::string& style) {
        s.engine.send("setoption name Style value " + style);
        const std::vector<std::string> lines
            = s.search("position startpos moves h2e2 h9g7 h0g2 i9h9 i0h0 b9c7 b0c2", "go depth 3");
        return lines.size() >= 2 ? wordAfter(lines[lines.size() - 2], "cp") : "";
    };
    EXPECT_NE(scoreWith("risky"), scoreWith("solid"));
}

// The program's own engine link, told to speak UCI or left to find the protocol.
TEST(Uci, TheProgramsEngineLinkDrivesItInUciAndFindsUcciByItself) {
    for (const EngineProtocol protocol : { EngineProtocol::Uci, EngineProtocol::Auto }) {
        EngineProcess engine;
        engine.chooseForProgram(protocol, {});
        ASSERT_TRUE(engine.loadProgram(ENGINE));
        EXPECT_EQ(engine.name(), "青岚引擎1.0");
        EXPECT_EQ(engine.protocol(),
            protocol == EngineProtocol::Uci ? EngineProtocol::Uci : EngineProtocol::Ucci);
        const auto replyTo = [&](const SearchRequest& request) {
            EXPECT_TRUE(engine.startSearch(request));
            EXPECT_TRUE(engine.stopSearch(-1)) << "a reply comes";
            return engine.lastReply().value_or(NoMove {});
        };
        const EngineReply first
            = replyTo(test::searchFor("position startpos moves h2e2", "go depth 4", { "h9g7" }));
        const BestMove* best = std::get_if<BestMove>(&first);
        ASSERT_TRUE(best);
        EXPECT_NE(best->move, "h9g7");
        EXPECT_TRUE(isLegalIn("position startpos moves h2e2", best->move)) << best->move;
        if (protocol == EngineProtocol::Uci) {
            EXPECT_EQ(engine.rankBase(), RankBase::Zero) << "learnt from " << best->move;
        }

        ASSERT_TRUE(engine.startSearch(test::searchFor(
            "position startpos moves h2e2 h9g7", "go ponder time 60000 increment 0")));
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        engine.drainOutput();
        EXPECT_EQ(engine.state(), EngineState::Pondering);
        engine.ponderHit();
        EXPECT_TRUE(engine.stopSearch(1000));
        ASSERT_TRUE(engine.lastReply());
        EXPECT_TRUE(std::holds_alternative<BestMove>(*engine.lastReply()));
        EXPECT_EQ(replyTo(test::searchFor(MATED, "go depth 3")), EngineReply(NoMove {}));

        // Several lines asked for through the link's own option: ranked, each its own move.
        SearchRequest several = test::searchFor("position startpos", "go depth 4");
        several.lines = 3;
        ASSERT_TRUE(engine.startSearch(several));
        std::map<int, ThinkingLine> deepest; // by rank
        for (const std::int64_t deadline = tickMs() + 20000;
             engine.isBusy() && tickMs() < deadline;) {
            std::optional<ReceivedLine> got = engine.receive();
            const ThinkingLine* info
                = got && got->reply ? std::get_if<ThinkingLine>(&*got->reply) : nullptr;
            if (!got) std::this_thread::sleep_for(std::chrono::milliseconds(1));
            if (info && info->depth == 4) deepest[info->rank] = *info;
        }
        ASSERT_EQ(deepest.size(), 3u);
        EXPECT_NE(deepest[1].pv.at(0), deepest[2].pv.at(0));
        EXPECT_NE(deepest[2].pv.at(0), deepest[3].pv.at(0));
        EXPECT_NE(deepest[1].pv.at(0), deepest[3].pv.at(0));
        EXPECT_GE(deepest[1].score->value, deepest[3].score->value);
        ASSERT_TRUE(engine.lastReply());
        EXPECT_EQ(std::get<BestMove>(*engine.lastReply()).move, deepest[1].pv.at(0));
        EXPECT_TRUE(engine.unload());
    }
}

// Several best lines, asked for in either protocol: each depth reports them ranked,
// each with a move of its own, and the best move is the first line's.
TEST(Uci, MultiPvReportsDistinctRankedLinesInBothProtocols) {
    struct Row {
        const char *hello, *option, *position, *go;
        size_t lines; // fewer when fewer moves are left to choose from
        const char* scoreWord; // what comes before a score
    } rows[] = {
        { "uci", "setoption name MultiPV value 3", "position startpos moves h2e2", "go depth 5", 3,
            "score cp" },
        { "ucci", "setoption multipv 3", "position startpos moves h2e2", "go depth 5", 3, "score" },
        { "uci", "setoption name multipv value 4", "position startpos",
            "go depth 4 searchmoves h2e2 b2e2", 2, "score cp" },
        { "ucci", "setoption multipv 9", "position fen 5k3/9/9/9/9/9/9/9/4K4/9 w - - 0 1",
            "go depth 3", 3, "score" },
    };
    for (const Row& row : rows) {
        EnginePipe engine(ENGINE);
        engine.send(row.hello);
        engine.send(row.option);
        engine.send(row.position);
        engine.send(row.go);
        std::vector<std::string> last; // the lines of the deepest depth
        std::string line;
        for (int depth = 0; !startsWith(line = engine.readLine(), "bestmove") && line[0] != '<';) {
            if (!startsWith(line, "info depth ")) continue;
            if (std::stoi(wordAfter(line, "depth")) != depth) last.clear();
            depth = std::stoi(wordAfter(line, "depth"));
            last.push_back(line);
        }
        ASSERT_EQ(last.size(), row.lines) << row.option << " " << row.go;
        std::set<std::string> firstMoves;
        for (size_t k = 0; k < last.size(); ++k) {
            EXPECT_EQ(wordAfter(last[k], "multipv"), std::to_string(k + 1)) << last[k];
            EXPECT_NE(last[k].find(std::string(" ") + row.scoreWord + " "), std::string::npos);
            firstMoves.insert(wordAfter(last[k], " pv"));
            if (k > 0) {
                EXPECT_LE(std::stoi(wordAfter(last[k], row.scoreWord)),
                    std::stoi(wordAfter(last[k - 1], row.scoreWord)))
                    << last[k - 1] << " / " << last[k];
            }
        }
        EXPECT_EQ(firstMoves.size(), last.size()) << "each line has a move of its own";
        EXPECT_EQ(wordAfter(line, "bestmove"), wordAfter(last[0], " pv"));
        // One line again: the plain form, as before the option.
        engine.send(row.hello == std::string("uci") ? "setoption name MultiPV value 1"
                                                    : "setoption multipv 1");
        engine.send("go depth 2");
        EXPECT_EQ(engine.waitFor("info depth 2").find("multipv"), std::string::npos);
    }
}

// The hash table is not taken before it is needed (the handshake is answered at once)
// but by "isready" at the latest, and again after its size changes.
TEST(Uci, TheHashTableIsTakenAtIsreadyNotAtTheHandshake) {
    for (const char* hello : { "ucci", "uci" }) {
        EnginePipe engine(ENGINE);
        engine.send(hello);
        engine.waitFor(std::string(hello) + "ok");
        const long atHandshake = engine.virtualKiB();
        engine.send("isready");
        engine.waitFor("readyok");
        const long atReady = engine.virtualKiB();
        EXPECT_GE(atReady - atHandshake, 60 * 1024) << hello << ": the default 64 MB";
        engine.send(std::string(hello) == "uci" ? "setoption name Hash value 256"
                                                : "setoption hashsize 256");
        engine.send("isready");
        engine.waitFor("readyok");
        EXPECT_GE(engine.virtualKiB() - atReady, 180 * 1024) << hello;
    }
}

// Threads beyond the first search beside the main one while it runs and end with it;
// the answer is still the main search's, legal, and finds the mate.
TEST(Uci, HelperThreadsSearchBesideTheMainOne) {
    for (const int threads : { 1, 3 }) {
        UciSession s;
        s.engine.send("setoption name Threads value " + std::to_string(threads));
        s.engine.send("isready");
        s.engine.waitFor("readyok");
        const long idle = s.engine.threadCount();
        s.engine.send("position startpos moves h2e2 h9g7");
        s.engine.send("go infinite");
        s.engine.waitFor("info depth 3");
        // The command reader, the main search and its helpers.
        EXPECT_EQ(s.engine.threadCount(), idle + threads) << threads;
        s.engine.send("stop");
        const std::string reply = s.engine.waitFor("bestmove", 5000);
        EXPECT_TRUE(isLegalIn("position startpos moves h2e2 h9g7", wordAfter(reply, "bestmove")))
            << reply;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        EXPECT_EQ(s.engine.threadCount(), idle) << "helpers end with the search";
        const std::vector<std::string> mate
            = s.search("position fen 4k4/1R7/R8/9/9/9/9/9/9/3K5 w - - 0 1", "go depth 5");
        EXPECT_NE(mate[mate.size() - 2].find(" score mate 1 "), std::string::npos)
            << mate[mate.size() - 2];
    }
}
