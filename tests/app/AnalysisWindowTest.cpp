// The main engine studying the position shown in the real window: restarts on every
// browsing step with no stale line, several ranked lines in both protocols, hints that
// draw an arrow and play nothing, and the arrow's setting.
#include "WindowFixture.h"
#include "analysis/AnalysisScore.h"
#include "analysis/AnalysisText.h"
#include "analysis/PositionScores.h"
#include "app/AnalysisController.h"
#include "app/EvaluationChart.h"
#include "app/MoveArrow.h"
#include "app/ReviewRunner.h"
#include "app/ThinkingWindow.h"
#include "app/dialogs/ReviewDialog.h"
#include "platform/Ticks.h"
#include "records/GameRecord.h"
#include "settings/SettingsFile.h"

#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <chrono>
#include <cstdio>
#include <thread>
#include <unistd.h>

namespace qinglan::testing {
namespace {

class AnalysisWindowTest : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        window->heartbeat().stop();
    }
    void TearDown() override {
        WindowFixture::TearDown();
        unsetenv("QINGLAN_FAKE_MODE");
    }

    EngineProcess& engine() { return window->game().engineSlot(true); }
    AnalysisController& analysis() { return window->analysis(); }

    bool loadEngine(const char* mode) {
        setenv("QINGLAN_FAKE_MODE", mode, 1);
        // The same program may speak either protocol from one load to the next.
        engine().chooseForProgram(EngineProtocol::Auto, {});
        return engine().loadProgram(QINGLAN_FAKE_ENGINE);
    }

    std::string box() const {
        ThinkingWindow* thinking = window->thinkingWindow();
        return thinking ? thinking->box(true)->toPlainText().toStdString() : std::string();
    }
    // The rows of the box after its header.
    std::vector<std::string> rows() const {
        std::vector<std::string> found;
        const QStringList lines = QString::fromStdString(box()).split(QLatin1Char('\n'));
        for (const QString& line : lines)
            if (line.size() > 2 && line[0].isDigit() && line[1] == QLatin1Char('.'))
                found.push_back(line.toStdString());
        return found;
    }
    // Rows written for the board shown from the engine's lines, as the box must hold.
    std::string expectedRows() {
        std::string text = analysisText(game().board, analysis().live().lines());
        std::string plain;
        for (char c : text)
            if (c != '\r') plain += c;
        return plain;
    }
    bool showsLinesOfBoard(std::size_t count) {
        return rows().size() == count && box().ends_with(expectedRows());
    }
    // Whatever the box shows is about the board shown: each line starts with a legal move.
    bool noStaleLine() {
        for (const ThinkingLine& line : analysis().live().lines())
            if (!line.pv.empty() && game().board.moveToChinese(line.pv.front()).empty())
                return false;
        if (rows().empty()) return true;
        const std::string expected = expectedRows();
        return !expected.empty() && box().ends_with(expected);
    }

    void playMoves(std::initializer_list<const char*> moves) {
        for (const char* move : moves) {
            ASSERT_TRUE(window->flow().playMove(move)) << move;
            finishAnimation();
        }
    }
};

TEST_F(AnalysisWindowTest, BrowsingRestartsTheStudyWithNoStaleLine) {
    ASSERT_TRUE(loadEngine("analyst"));
    playMoves({ "h2e2", "h9g7", "h0g2" });
    menus().computerBlack->trigger();
    menus().analysisMode->trigger();
    ASSERT_TRUE(analysis().analysing());
    EXPECT_FALSE(game().sides.computerBlack) << "no engine plays while one studies";
    EXPECT_FALSE(menus().computerBlack->isChecked());
    ASSERT_TRUE(runUntil([&] { return showsLinesOfBoard(1); }));
    const std::string atEnd = rows().front();

    for (QAction* step :
        { menus().browseBack, menus().browseBack, menus().browseStart, menus().browseEnd }) {
        const std::int64_t pressed = tickMs();
        step->trigger();
        // At once, before any heartbeat: the old position's line is gone.
        EXPECT_TRUE(noStaleLine()) << box();
        ASSERT_TRUE(runUntil([&] { return showsLinesOfBoard(1); }));
        std::printf("browsing key to first new line: %lld ms\n",
            static_cast<long long>(tickMs() - pressed));
    }
    EXPECT_EQ(rows().front(), atEnd) << "back at the end, the same study";
    EXPECT_EQ(game().board.plyCount(), 3) << "nothing was played";

    // A move by the person restarts it too.
    ASSERT_TRUE(window->flow().playMove("c6c5"));
    finishAnimation();
    EXPECT_TRUE(noStaleLine()) << box();
    ASSERT_TRUE(runUntil([&] { return showsLinesOfBoard(1); }));
    EXPECT_EQ(game().board.plyCount(), 4);

    menus().analysisMode->trigger();
    EXPECT_FALSE(analysis().analysing());
    EXPECT_EQ(engine().state(), EngineState::Idle) << "leaving the mode stops the engine";
    EXPECT_FALSE(window->moveArrow().drawn());
}

// Real engines: the figure from a browsing key to the first line of the new position.
TEST_F(AnalysisWindowTest, BrowsingLatencyWithRealEngines) {
    const std::pair<const char*, EngineProtocol> engines[]
        = { { QINGLAN_BUNDLED_ENGINE, EngineProtocol::Auto },
              { "/usr/games/fairy-stockfish", EngineProtocol::Uci } };
    for (const auto& [program, protocol] : engines) {
        SCOPED_TRACE(program);
        if (access(program, X_OK) != 0) continue;
        engine().chooseForProgram(protocol, {});
        ASSERT_TRUE(engine().loadProgram(program));
        playMoves({ "h2e2", "h9g7" });
        menus().analysisMode->trigger();
        ASSERT_TRUE(runUntil([&] { return showsLinesOfBoard(1); }));
        const std::int64_t pressed = tickMs();
        menus().browseBack->trigger();
        ASSERT_TRUE(runUntil([&] { return showsLinesOfBoard(1); }));
        std::printf("%s: browsing key to first new line %lld ms\n", program,
            static_cast<long long>(tickMs() - pressed));
        menus().analysisMode->trigger();
        engine().unload();
        window->flow().newGame();
    }
}

TEST_F(AnalysisWindowTest, SeveralLinesRankedInBothProtocols) {
    for (const char* mode : { "analyst", "analyst,uci" }) {
        SCOPED_TRACE(mode);
        ASSERT_TRUE(loadEngine(mode));
        menus().analysisMode->trigger();
        menus().analysisLines[2]->trigger();
        EXPECT_EQ(analysis().lines(), 3);
        ASSERT_TRUE(runUntil([&] { return showsLinesOfBoard(3); }));
        const std::vector<std::string> shown = rows();
        for (std::size_t rank = 0; rank < shown.size(); ++rank)
            EXPECT_TRUE(shown[rank].starts_with(std::to_string(rank + 1) + ". 深度"))
                << shown[rank];
        // The arrow shows the best line's first move.
        EXPECT_TRUE(window->moveArrow().drawn());
        EXPECT_EQ(window->moveArrow().move(), analysis().live().lines()[0].pv[0]);
        menus().analysisLines[0]->trigger();
        ASSERT_TRUE(runUntil([&] { return showsLinesOfBoard(1); }));
        menus().analysisMode->trigger();
        engine().unload();
    }
}

TEST_F(AnalysisWindowTest, AHintDrawsAnArrowAndPlaysNothing) {
    ASSERT_TRUE(loadEngine("analyst"));
    // Taking the rook is the fake's one-ply best move.
    window->flow().newGame("3k5/9/9/9/r8/9/9/9/9/R3K4 w - - 0 1");
    menus().hint->trigger();
    ASSERT_TRUE(analysis().hintRunning());
    ASSERT_TRUE(runUntil([&] { return !analysis().hintRunning(); }));
    EXPECT_EQ(window->moveArrow().move(), "a0a5");
    EXPECT_TRUE(window->moveArrow().drawn());
    EXPECT_EQ(game().board.plyCount(), 0);
    EXPECT_EQ(engine().state(), EngineState::Idle);

    // Turned off, the arrow is not drawn; the choice outlives the window.
    menus().bestMoveArrow->trigger();
    EXPECT_FALSE(window->moveArrow().drawn());
    // A move played takes the old hint away.
    ASSERT_TRUE(window->flow().playMove("a0a5"));
    finishAnimation();
    runUntil([] { return true; });
    window->onHeartbeat();
    menus().bestMoveArrow->trigger();
    EXPECT_FALSE(window->moveArrow().drawn());
    menus().bestMoveArrow->trigger();
    window.reset();
    window = std::make_unique<MainWindow>(*state, std::make_unique<RecordingSound>(sounds));
    EXPECT_FALSE(window->menus().bestMoveArrow->isChecked());
}

TEST_F(AnalysisWindowTest, NoHintForAnEngineToMoveNorWithoutAnEngine) {
    EXPECT_FALSE(analysis().hint());
    menus().analysisMode->trigger();
    EXPECT_FALSE(analysis().analysing());
    EXPECT_FALSE(menus().analysisMode->isChecked());
    ASSERT_FALSE(messages.empty());
    ASSERT_TRUE(loadEngine("analyst,delay=60000"));
    window->flow().setComputerRed(true);
    EXPECT_FALSE(analysis().hint());
}

// Red to move may take the black rook on a5 with the rook on a0.
constexpr const char* ROOKS = "3k5/9/9/9/r8/9/9/9/9/R3K4 w - - 0 1";

GameRecord rooksGame(std::initializer_list<const char*> moves) {
    GameRecord game;
    EXPECT_TRUE(game.setStartFen(ROOKS));
    int node = GameRecord::ROOT;
    for (const char* move : moves) node = game.addMove(node, move);
    return game;
}

class ReviewWindowTest : public AnalysisWindowTest {
protected:
    // The review dialog is confirmed with msPerPosition.
    void reviewWith(int msPerPosition) {
        onDialog = [msPerPosition](QDialog& dialog) {
            auto* review = dynamic_cast<ReviewDialog*>(&dialog);
            if (!review) return int(QDialog::Rejected);
            review->timeEdit()->setValue(msPerPosition);
            return int(QDialog::Accepted);
        };
        menus().reviewGame->trigger();
    }
    const GameRecord& record() const { return game().record.game; }
    std::string commentOf(int move) const { return record().comment(record().mainLine()[move]); }
};

TEST_F(ReviewWindowTest, AReviewWritesCommentsAndMarksAndFillsTheChart) {
    ASSERT_TRUE(loadEngine("analyst"));
    // The king steps aside instead of taking, and the rook is lost: a blunder.
    window->flow().openRecord(rooksGame({ "e0e1", "a5a0", "e1f1" }));
    menus().evaluationChart->trigger();
    ASSERT_NE(window->evaluationChart(), nullptr);
    EXPECT_TRUE(window->evaluationChart()->points().isEmpty()) << "nothing known yet";
    menus().computerRed->trigger();
    reviewWith(100);
    ASSERT_TRUE(window->review().running());
    EXPECT_FALSE(game().sides.computerRed) << "the game is not played during a review";
    ASSERT_TRUE(runUntil([&] { return !window->review().running(); }));
    EXPECT_TRUE(commentOf(0).starts_with("-9.00/1")) << commentOf(0);
    EXPECT_EQ(record().nags(record().mainLine()[0]), std::vector<std::uint8_t> { 4 });
    const int better = record().nextSibling(record().mainLine()[0]);
    ASSERT_NE(better, GameRecord::NONE) << "the better move comes as a variation";
    EXPECT_EQ(record().moveText(better), "a0a5");
    EXPECT_TRUE(game().record.unsaved);
    EXPECT_NE(listText().find("??"), std::string::npos) << listText();

    // Every position is charted from red's view: after the blunder black wins a rook.
    const QList<QPointF> points = window->evaluationChart()->points();
    ASSERT_EQ(points.size(), 4);
    EXPECT_DOUBLE_EQ(points[0].y(), 9.0);
    EXPECT_DOUBLE_EQ(points[1].y(), -9.0);
    // A click on a point shows its position.
    window->evaluationChart()->clickAt(2.2);
    EXPECT_EQ(game().record.current, record().mainLine()[1]);
    EXPECT_EQ(game().board.toFen(), record().positionAfter(record().mainLine()[1]).toFen());
}

TEST_F(ReviewWindowTest, ACancelledReviewKeepsWhatWasDone) {
    ASSERT_TRUE(loadEngine("analyst,delay=150"));
    window->flow().openRecord(rooksGame({ "e0e1", "a5a0", "e1f1" }));
    reviewWith(1000);
    QProgressDialog* progress = window->review().progress();
    ASSERT_NE(progress, nullptr);
    // A move is judged once the positions before and after it are known.
    ASSERT_TRUE(runUntil([&] { return progress->value() >= 2; }));
    auto* cancel = progress->findChild<QPushButton*>();
    ASSERT_NE(cancel, nullptr);
    cancel->click();
    EXPECT_FALSE(window->review().running());
    EXPECT_EQ(engine().state(), EngineState::Idle);
    EXPECT_TRUE(commentOf(0).starts_with("-9.00/1")) << commentOf(0);
    EXPECT_EQ(commentOf(2), "") << "the last position was never searched";
    EXPECT_TRUE(messages.empty());
}

TEST(PositionScores, MovesCommentsScoreThePositionsTheyLeftFromRedsView) {
    GameRecord game = rooksGame({ "e0e1", "a5a0", "e1f1" });
    const std::vector<int> moves = game.mainLine();
    game.setComment(moves[0], "+0.35/12 1.2s");
    game.setComment(moves[1], "+1.00/5 0.1s a note"); // black's view
    game.setComment(moves[2], "-M3/20 0.5s");
    PositionScores scores;
    std::vector<std::optional<double>> chart = scores.mainLine(game);
    ASSERT_EQ(chart.size(), 4u);
    EXPECT_EQ(chart[0], 0.35);
    EXPECT_EQ(chart[1], -1.0);
    EXPECT_EQ(chart[2], -CHART_LIMIT_PAWNS) << "red is mated: capped";
    EXPECT_EQ(chart[3], std::nullopt);
    // What was learnt since counts over the comments, by position.
    Board last = game.positionAfter(moves[2]);
    scores.learn(game.positionAfter(moves[0]), Score { Score::Kind::Centipawns, 250 });
    scores.learn(last, Score { Score::Kind::Centipawns, 50 });
    chart = scores.mainLine(game);
    EXPECT_EQ(chart[1], -2.5);
    EXPECT_EQ(chart[3], -0.5);
}

TEST(AnalysisText, ScoresAreFromRedsView) {
    struct Row {
        Score score;
        bool redToMove;
        const char* text;
    };
    const Row rows[] = {
        { { Score::Kind::Centipawns, 35 }, true, "+0.35" },
        { { Score::Kind::Centipawns, 35 }, false, "-0.35" },
        { { Score::Kind::Centipawns, -120 }, false, "+1.20" },
        { { Score::Kind::Mate, 3 }, true, "红3步杀" },
        { { Score::Kind::Mate, 3 }, false, "黑3步杀" },
        { { Score::Kind::Mate, -2 }, false, "红2步杀" },
    };
    for (const Row& row : rows) EXPECT_EQ(redScoreText(row.score, row.redToMove), row.text);
}

} // namespace
} // namespace qinglan::testing
