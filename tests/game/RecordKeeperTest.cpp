// The game's record without a window: moves played go into it, browsing shows its
// positions without running the game, a move in the middle branches or replaces as
// answered, take-back trims the line, and an engine's move keeps its evaluation.
#include "game/Game.h"
#include "game/HeadlessHost.h"
#include "game/RecordFiles.h"
#include "platform/MessageCodes.h"
#include "platform/Ticks.h"
#include "records/PgnReader.h"

#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <thread>

namespace qinglan {
namespace {

class RecordKeeperTest : public ::testing::Test {
protected:
    void SetUp() override {
        host.attach(game);
        host.answer = [this](const HeadlessHost::Message&) { return answer; };
        game.flow().newGame();
    }
    void TearDown() override { unsetenv("QINGLAN_FAKE_MODE"); }

    const GameState& state() const { return game.state(); }
    const GameRecord& record() const { return state().record.game; }
    void play(std::initializer_list<const char*> moves) {
        for (const char* move : moves) {
            ASSERT_TRUE(game.flow().playMove(move)) << move;
            host.finishMoveInFlight();
        }
    }
    static GameRecord readPgn(const std::string& text) {
        GameRecord read;
        std::string problem;
        PgnReader reader(text);
        EXPECT_TRUE(reader.next(read, problem));
        EXPECT_EQ(problem, "");
        return read;
    }
    std::vector<std::string> listLines() const {
        const auto& lines = state().moveList.lines();
        return { lines.begin() + 1, lines.end() };
    }

    HeadlessHost host;
    Game game { host };
    int answer = MESSAGE_YES;
};

TEST_F(RecordKeeperTest, APlainGameKeepsItsListAndTakeBackTrimsTheRecord) {
    play({ "h2e2", "h9g7", "h0g2" });
    EXPECT_EQ(
        state().moveList.text(), "  ==开始==\r\n  1.砲二平五\r\n    马８进７\r\n  2.马二进三");
    EXPECT_EQ(record().mainLine().size(), 3u);
    EXPECT_EQ(state().record.current, record().mainLine().back());
    EXPECT_TRUE(game.flow().records().hasUnsavedMoves());
    game.flow().takeBack();
    EXPECT_EQ(record().mainLine().size(), 1u) << "the taken-back moves leave the record";
    EXPECT_EQ(state().moveList.moveLineCount(), 1);
    EXPECT_EQ(state().board.plyCount(), 1);
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(RecordKeeperTest, BrowsingShowsPositionsWithoutRunningTheGame) {
    game.flow().openRecord(readPgn("1. h2e2 h9g7 (1... b9c7 2. h0g2) 2. h0g2 *"));
    EXPECT_EQ(state().board.toFen(), START_FEN);
    EXPECT_FALSE(game.flow().records().hasUnsavedMoves()) << "nothing new to save";
    // The variation sits under the move it replaces, numbered though black moves.
    EXPECT_EQ(listLines(),
        (std::vector<std::string> {
            "  1.砲二平五", "    马８进７", "  1...马２进３", "    2.马二进三", "  2.马二进三" }));
    const std::vector<int> main = record().mainLine();
    const int variation = record().nextSibling(main[1]);
    EXPECT_EQ(state().moveList.nodeOfLine(3), variation);

    struct Step {
        BrowseStep step;
        int node;
    };
    const Step steps[] = { { BrowseStep::End, main[2] }, { BrowseStep::Back, main[1] },
        { BrowseStep::NextVariation, variation }, { BrowseStep::NextVariation, variation },
        { BrowseStep::Forward, record().firstChild(variation) }, { BrowseStep::Back, variation },
        { BrowseStep::PreviousVariation, main[1] }, { BrowseStep::Start, GameRecord::ROOT },
        { BrowseStep::Back, GameRecord::ROOT } };
    for (const Step& s : steps) {
        game.flow().browse(s.step);
        EXPECT_EQ(state().record.current, s.node) << int(s.step);
        EXPECT_EQ(state().board.toFen(), record().positionAfter(s.node).toFen()) << int(s.step);
    }
    EXPECT_FALSE(state().redClock.state() == SideClock::Running);
    EXPECT_FALSE(state().blackClock.state() == SideClock::Running);
    EXPECT_TRUE(host.movesPlayed.empty()) << "no slide, so no sound";
}

TEST_F(RecordKeeperTest, AMoveInTheMiddleAddsAVariationOrReplacesTheRest) {
    play({ "h2e2", "h9g7", "h0g2", "i9h9" });
    game.flow().browseTo(record().mainLine()[1]);
    play({ "h0g2" }); // the move already there: followed, not asked
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(state().record.current, record().mainLine()[2]);

    game.flow().browseTo(record().mainLine()[1]);
    answer = MESSAGE_YES;
    play({ "b0c2" });
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].flags, MESSAGE_FLAG_YES_NO);
    EXPECT_EQ(record().mainLine().size(), 4u) << "the line is kept";
    EXPECT_EQ(record().moveText(record().nextSibling(record().mainLine()[2])), "b0c2");
    EXPECT_EQ(record().moveText(state().record.current), "b0c2");

    game.flow().browseTo(record().mainLine()[0]);
    answer = MESSAGE_NO;
    play({ "b9c7" });
    EXPECT_EQ(host.messages.size(), 2u);
    ASSERT_EQ(record().mainLine().size(), 2u) << "the rest was replaced";
    EXPECT_EQ(record().moveText(record().mainLine()[1]), "b9c7");
    EXPECT_EQ(record().nodeCount(), 3);
    play({ "h0g2" }); // at the end of the line: simply continues
    EXPECT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(record().mainLine().size(), 3u);
}

TEST_F(RecordKeeperTest, TakeBackInTheMiddleKeepsTheMovesAfterIt) {
    play({ "h2e2", "h9g7", "h0g2", "i9h9" });
    game.flow().browseTo(record().mainLine()[2]);
    game.flow().takeBack();
    EXPECT_EQ(state().record.current, record().mainLine()[0]);
    EXPECT_EQ(record().mainLine().size(), 4u);
    EXPECT_EQ(state().board.toFen(), record().positionAfter(record().mainLine()[0]).toFen());
}

TEST_F(RecordKeeperTest, AFinishedGameBrowsedBackPlaysOnFromThere) {
    game.flow().newGame("4k4/9/9/9/9/9/9/9/R8/3K5 w - - 0 1");
    play({ "a1a7", "e9e8", "a7a6" });
    game.flow().announceResult({ Winner::Red, ResultReason::Adjudicated });
    EXPECT_EQ(record().tag(tags::RESULT), "1-0");
    EXPECT_FALSE(game.flow().playMove("e8e9")) << "nothing more where it ended";
    game.flow().browseTo(record().mainLine()[0]);
    answer = MESSAGE_YES;
    play({ "e9f9" });
    EXPECT_EQ(state().gameOver, 0);
    EXPECT_EQ(record().mainLine().size(), 3u);
}

TEST_F(RecordKeeperTest, TagsCommentsAndAnnotationsMarkTheRecordUnsaved) {
    RecordKeeper& records = game.flow().records();
    game.flow().openRecord(readPgn("[Red \"甲\"]\n1. h2e2 h9g7 *"));
    const int first = record().mainLine()[0];
    records.setComment(first, "  好棋  ");
    EXPECT_EQ(record().comment(first), "好棋");
    EXPECT_TRUE(records.hasUnsavedMoves());
    records.markSaved();
    records.setAnnotation(first, 3);
    EXPECT_TRUE(records.hasUnsavedMoves());
    EXPECT_EQ(listLines()[0], "  1.砲二平五!!");
    records.setAnnotation(first, 0);
    EXPECT_TRUE(record().nags(first).empty());
    records.markSaved();
    records.setTags({ { "Red", "甲" } });
    EXPECT_FALSE(records.hasUnsavedMoves()) << "an unchanged tag is no change";
    records.setTags({ { "Red", "乙" }, { "Event", "测试" } });
    EXPECT_TRUE(records.hasUnsavedMoves());
    EXPECT_EQ(records.recordWithDefaults().tag(tags::BLACK), "") << "an opened game keeps its tags";
}

TEST_F(RecordKeeperTest, APlayedGameNamesItsPlayersAndResult) {
    play({ "h2e2" });
    const GameRecord saved = game.flow().records().recordWithDefaults();
    EXPECT_EQ(saved.tag(tags::RED), "象棋爱好者");
    EXPECT_EQ(saved.tag(tags::BLACK), "象棋爱好者");
    EXPECT_EQ(saved.tag(tags::DATE).size(), 10u);
    EXPECT_EQ(saved.result(), "*");
}

TEST_F(RecordKeeperTest, AnEngineMoveKeepsTheEvaluationOfItsLastLine) {
    setenv("QINGLAN_FAKE_MODE", "info", 1);
    ASSERT_TRUE(game.engineSlot(true).loadProgram(QINGLAN_FAKE_ENGINE));
    game.flow().setComputerRed(true);
    const std::int64_t deadline = tickMs() + 20000;
    while (state().board.plyCount() == 0 && tickMs() < deadline) {
        game.engines().pollEngines();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_EQ(state().board.plyCount(), 1);
    const std::optional<Evaluation> evaluation
        = parseEvaluation(record().comment(record().mainLine()[0]));
    ASSERT_TRUE(evaluation) << record().comment(record().mainLine()[0]);
    EXPECT_EQ(evaluation->centipawns, 12);
    EXPECT_EQ(evaluation->depth, 1);
    host.finishMoveInFlight();
    game.flow().setComputerRed(false);
    play({ "h9g7" });
    EXPECT_EQ(record().comment(record().mainLine()[1]), "") << "a person's move has none";
}

TEST_F(RecordKeeperTest, ALineAboutAnotherPositionIsNotTaken) {
    EngineThoughts thoughts;
    Board start, other;
    start.setStartPosition();
    other.setStartPosition();
    ASSERT_TRUE(other.makeMoveText("h2e2"));
    thoughts.note(true, *parseThinkingLine("info depth 9 score -40 time 1500 pv h9g7"), other);
    thoughts.note(
        false, *parseThinkingLine("info depth 3 nodes 10"), start); // no score: nothing kept
    EXPECT_FALSE(thoughts.take(true, start));
    EXPECT_FALSE(thoughts.take(false, start));
    thoughts.note(true, *parseThinkingLine("info depth 9 score mate -3 time 1500 pv h9g7"), other);
    const std::optional<Evaluation> taken = thoughts.take(true, other);
    ASSERT_TRUE(taken);
    EXPECT_EQ(taken->mateIn, -3);
    EXPECT_EQ(taken->timeMs, 1500);
    EXPECT_FALSE(thoughts.take(true, other)) << "taken once";
}

TEST_F(RecordKeeperTest, FilesAndTextsAreToldApartByContent) {
    const GameSource position = readGameText("position startpos moves h2e2");
    EXPECT_TRUE(position.isPosition());
    const GameSource pgn = readGameText("1. 炮二平五 马８进７ *");
    ASSERT_EQ(pgn.games.size(), 1u);
    EXPECT_EQ(readListedGame(pgn, 0).game.mainLine().size(), 2u);
    EXPECT_FALSE(pgn.isPosition());
    EXPECT_NE(readGameText("hello").error, "");
    EXPECT_NE(readGameFile("/nonexistent/game.pgn").error, "");
    GameRecord game = readPgn("[Event \"测试\"]\n1. h2e2 {评注} h9g7 *");
    const std::string gbk = pgnBytes(game, { Notation::Wxf, true });
    EXPECT_EQ(gbk.find("测试"), std::string::npos) << "not UTF-8";
    const GameSource back = readGameText(gbk);
    ASSERT_EQ(back.games.size(), 1u);
    const GameRecord read = readListedGame(back, 0).game;
    EXPECT_EQ(read.tag(tags::EVENT), "测试");
    EXPECT_EQ(read.comment(read.mainLine()[0]), "评注");
}

} // namespace
} // namespace qinglan
