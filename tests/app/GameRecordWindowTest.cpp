// Game records in the window: opening the samples, browsing with the keys, the mouse and
// the wheel, variations, a move in the middle, comments, annotations and tags, saving and
// opening again, the unsaved-game question, the command line and the clipboard.
#include "WindowFixture.h"
#include "app/dialogs/GameListDialog.h"
#include "platform/FileDialogs.h"
#include "records/RecordFile.h"

#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QScrollBar>
#include <QTableView>
#include <QTextBlock>
#include <QWheelEvent>
#include <fstream>

namespace qinglan::testing {

namespace {
const std::string SAMPLES = QINGLAN_RECORD_SAMPLES;
const std::string COMMENTED = SAMPLES + "/utf8_converted_variations_comments.pgn";
const std::string XQF = SAMPLES + "/v11_1999_wuyang_liudahua_huronghua.xqf";
} // namespace

class GameRecordWindowTest : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        setFileDialogHandler([this](const std::string&, const std::string&, bool save) {
            asked.push_back(save ? "save" : "open");
            return chosen;
        });
        // The dialogs of this test by their titles; anything else is cancelled.
        onDialog = [this](QDialog& dialog) {
            const QString title = dialog.windowTitle();
            if (title == QStringLiteral("保存选项") && onSaveOptions) return onSaveOptions(dialog);
            if (title == QStringLiteral("棋局信息") && onGameInfo) return onGameInfo(dialog);
            if (title.startsWith(QStringLiteral("选择棋局")) && onGameList)
                return onGameList(dialog);
            return int(QDialog::Rejected);
        };
        onSaveOptions = [](QDialog&) { return int(QDialog::Accepted); };
    }
    void TearDown() override {
        setFileDialogHandler({});
        WindowFixture::TearDown();
    }

    const GameRecord& record() const { return game().record.game; }
    int current() const { return game().record.current; }
    void open(const std::string& path) {
        chosen = path;
        menus().openRecord->trigger();
    }
    void save(const std::string& path) {
        chosen = path;
        menus().saveRecord->trigger();
    }
    std::string pathOf(const char* name) const {
        return folder.filePath(QString::fromUtf8(name)).toStdString();
    }
    QPlainTextEdit& commentBox() { return *window->moveListWindow().commentBox(); }
    QPlainTextEdit& listBox() { return *window->moveListWindow().moveListBox(); }
    // The line of the list that shows node, as the box highlights it.
    std::string highlightedLine() {
        const auto selections = listBox().extraSelections();
        return selections.isEmpty() ? std::string()
                                    : selections[0].cursor.block().text().toStdString();
    }
    void clickLine(int line) {
        const QTextBlock block = listBox().document()->findBlockByNumber(line);
        QTextCursor cursor(block);
        const QPoint at = listBox().cursorRect(cursor).center();
        QTest::mouseClick(listBox().viewport(), Qt::LeftButton, {}, at);
    }
    void wheel(int delta) {
        QWheelEvent event(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, delta),
            Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(listBox().viewport(), &event);
    }
    // The first main-line move that has an alternative.
    int branchingMove() const {
        for (int node : record().mainLine())
            if (record().nextSibling(node) != GameRecord::NONE) return node;
        return GameRecord::NONE;
    }
    bool anyClockRuns() const {
        return game().redClock.state() == SideClock::Running
            || game().blackClock.state() == SideClock::Running;
    }

    QTemporaryDir folder;
    std::string chosen;
    std::vector<std::string> asked;
    std::function<int(QDialog&)> onSaveOptions, onGameInfo, onGameList;
};

TEST_F(GameRecordWindowTest, ACommentedGameIsBrowsedWithKeysMouseAndWheel) {
    open(COMMENTED);
    ASSERT_TRUE(messages.empty()) << messages[0].text;
    const std::vector<int> main = record().mainLine();
    ASSERT_GT(main.size(), 20u);
    EXPECT_EQ(current(), GameRecord::ROOT);
    EXPECT_EQ(game().board.toFen(), std::string(START_FEN));
    sounds.clear();

    for (int i = 0; i < 8; ++i) menus().browseForward->trigger();
    EXPECT_EQ(current(), main[7]);
    EXPECT_EQ(game().board.plyCount(), 8);
    // Line breaks as the box has them: the file's CR LF pairs are one break.
    EXPECT_EQ(commentBox().toPlainText(),
        QString::fromStdString(record().comment(main[7])).remove(QLatin1Char('\r')));
    EXPECT_FALSE(record().comment(main[7]).empty()) << "the sample comments 4...g6g5";
    EXPECT_EQ(highlightedLine(), game().moveList.lines()[8]);
    menus().browseBack->trigger();
    EXPECT_EQ(current(), main[6]);
    menus().browseEnd->trigger();
    EXPECT_EQ(current(), main.back());
    EXPECT_EQ(game().board.toFen(), record().positionAfter(main.back()).toFen());
    EXPECT_EQ(listBox().verticalScrollBar()->value(), listBox().verticalScrollBar()->maximum())
        << "the current move is kept in view";
    menus().browseStart->trigger();
    EXPECT_EQ(current(), GameRecord::ROOT);

    clickLine(3);
    EXPECT_EQ(current(), main[2]);
    wheel(-120);
    EXPECT_EQ(current(), main[3]);
    wheel(120);
    wheel(120);
    EXPECT_EQ(current(), main[1]);

    // Into the variation and out again.
    const int branch = branchingMove();
    ASSERT_NE(branch, GameRecord::NONE);
    window->flow().browseTo(branch);
    menus().browseNextVariation->trigger();
    const int variation = record().nextSibling(branch);
    EXPECT_EQ(current(), variation);
    EXPECT_EQ(game().board.toFen(), record().positionAfter(variation).toFen());
    EXPECT_EQ(highlightedLine(), game().moveList.lines()[game().moveList.lineOfNode(variation)]);
    menus().browseForward->trigger();
    EXPECT_EQ(record().parentOf(current()), variation);
    menus().browseBack->trigger();
    menus().browsePreviousVariation->trigger();
    EXPECT_EQ(current(), branch);

    EXPECT_TRUE(sounds.empty()) << "browsing is silent";
    EXPECT_FALSE(anyClockRuns());
    EXPECT_TRUE(messages.empty());
}

TEST_F(GameRecordWindowTest, AnXqfOpensAndReachesItsLastPosition) {
    open(XQF);
    ASSERT_TRUE(messages.empty()) << messages[0].text;
    menus().browseEnd->trigger();
    EXPECT_EQ(game().board.plyCount(), 62);
    EXPECT_EQ(
        game().board.toFen().rfind("4kab2/4a4/4b4/p7p/2n1Nn3/5C3/4P3P/4B4/4A4/2BAK4 w", 0), 0u)
        << game().board.toFen();
    EXPECT_EQ(record().result(), "1/2-1/2");
}

TEST_F(GameRecordWindowTest, AMoveInTheMiddleAsksAndKeepsOrReplacesTheRest) {
    open(COMMENTED);
    const std::vector<int> main = record().mainLine();
    menus().browseForward->trigger();
    menus().browseForward->trigger(); // after 1. h2e2 b9c7: red to move, h0g2 follows
    answer = MESSAGE_YES;
    playByClicks("b0c2");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].text.find("变着"), std::string::npos);
    EXPECT_EQ(record().mainLine(), main) << "the line is kept";
    EXPECT_EQ(record().parentOf(current()), main[1]);
    EXPECT_NE(current(), main[2]);

    messages.clear();
    window->flow().browseTo(main[1]);
    answer = MESSAGE_NO;
    playByClicks("i0i1");
    ASSERT_EQ(messages.size(), 1u);
    ASSERT_EQ(record().mainLine().size(), 3u) << "the rest of the line was replaced";
    EXPECT_EQ(record().moveText(record().mainLine()[2]), "i0i1");
    EXPECT_EQ(record().firstChild(main[1]), record().mainLine()[2]);
    EXPECT_EQ(record().nextSibling(record().mainLine()[2]), GameRecord::NONE);
    messages.clear();
    playByClicks("h9g7"); // at the end of the line: no question
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(record().mainLine().size(), 4u);
}

TEST_F(GameRecordWindowTest, CommentsAnnotationsAndTagsSurviveSavingAndOpening) {
    open(COMMENTED);
    const int branch = branchingMove();
    window->flow().browseTo(branch);
    commentBox().setPlainText(QStringLiteral("新的注释"));
    EXPECT_EQ(record().comment(branch), "新的注释");
    emit window->moveListWindow().annotationChosen(branch, 1);
    EXPECT_NE(listText().find("!"), std::string::npos);
    onGameInfo = [](QDialog& dialog) {
        EXPECT_EQ(control<QLineEdit>(dialog, "Event")->text(), QString());
        type(dialog, "Event", QStringLiteral("全国赛"));
        type(dialog, "Red", QStringLiteral("甲"));
        control<QComboBox>(dialog, "Result")->setCurrentIndex(1);
        return int(QDialog::Accepted);
    };
    menus().gameInfo->trigger();
    EXPECT_EQ(record().tag(tags::EVENT), "全国赛");
    EXPECT_EQ(record().result(), "1-0");
    const GameRecord edited = record();

    for (int encoding : { 0, 1 }) {
        const std::string path = pathOf(encoding ? "gbk.pgn" : "utf8.pgn");
        onSaveOptions = [encoding](QDialog& dialog) {
            control<QComboBox>(dialog, "encoding")->setCurrentIndex(encoding);
            control<QComboBox>(dialog, "notation")->setCurrentIndex(encoding ? 1 : 0);
            return int(QDialog::Accepted);
        };
        save(path);
        ASSERT_TRUE(messages.empty()) << messages[0].text;
        EXPECT_FALSE(window->flow().records().hasUnsavedMoves());
        open(pathOf("nothing.pgn")); // a failed open leaves the game as it was
        EXPECT_EQ(messages.size(), 1u);
        messages.clear();
        open(path);
        ASSERT_TRUE(messages.empty()) << messages[0].text;
        GameRecord expected = edited;
        GameRecord read = record();
        // The writer owns these two tags.
        for (GameRecord* r : { &expected, &read }) {
            r->setTag("Format", "");
            r->setTag("FEN", r->startFen());
        }
        EXPECT_TRUE(read == expected) << path;
        EXPECT_EQ(read.comment(branch), "新的注释");
    }
}

TEST_F(GameRecordWindowTest, AnUnsavedGameIsOfferedForSavingOnce) {
    menus().askToSave->setChecked(true);
    chosen = "";
    menus().openRecord->trigger();
    EXPECT_TRUE(messages.empty()) << "nothing played, nothing asked";
    asked.clear();
    playByClicks("h2e2");
    answer = MESSAGE_YES; // save, but the save dialog is cancelled: the game stays
    menus().openRecord->trigger();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].text.find("还没有保存"), std::string::npos);
    EXPECT_EQ(asked, std::vector<std::string> { "save" });
    EXPECT_FALSE(window->close());
    EXPECT_EQ(messages.size(), 2u);

    answer = MESSAGE_NO;
    menus().openRecord->trigger();
    EXPECT_EQ(messages.size(), 3u);
    EXPECT_EQ(asked.back(), "open");
    menus().openRecord->trigger();
    EXPECT_EQ(messages.size(), 3u) << "asked once";
    playByClicks("h9g7");
    answer = MESSAGE_YES;
    chosen = pathOf("saved.pgn");
    EXPECT_TRUE(window->close()) << "saved, then closed";
    EXPECT_TRUE(QFile::exists(QString::fromStdString(chosen)));
}

TEST_F(GameRecordWindowTest, AFileOfManyGamesListsThemAndOpensTheOneChosen) {
    std::ofstream(pathOf("many.pgn")) << "[Event \"甲赛\"]\n[Red \"张\"]\n1. h2e2 *\n\n"
                                      << "[Event \"乙赛\"]\n[Red \"李\"]\n1. b2e2 h9g7 *\n\n"
                                      << "[Event \"丙赛\"]\n[Red \"王\"]\n1. h0g2 *\n";
    int rows = 0;
    onGameList = [&rows](QDialog& dialog) {
        auto& list = static_cast<GameListDialog&>(dialog);
        rows = list.table()->model()->rowCount();
        list.table()->sortByColumn(2, Qt::DescendingOrder); // 张, 王, 李 by code point
        list.filter()->setText(QStringLiteral("乙"));
        EXPECT_EQ(list.table()->model()->rowCount(), 1);
        list.table()->selectRow(0);
        list.table()->setCurrentIndex(list.table()->model()->index(0, 0));
        return int(QDialog::Accepted);
    };
    open(pathOf("many.pgn"));
    EXPECT_EQ(rows, 3);
    EXPECT_EQ(record().tag(tags::EVENT), "乙赛");
    EXPECT_EQ(record().mainLine().size(), 2u);
    onGameList = {};
    open(pathOf("many.pgn")); // cancelled: the game stays
    EXPECT_EQ(record().tag(tags::EVENT), "乙赛");
}

TEST_F(GameRecordWindowTest, AFileOnTheCommandLineIsOpenedByContent) {
    QFile::copy(QString::fromStdString(COMMENTED), QString::fromStdString(pathOf("棋谱.txt")));
    dialogs.clear();
    window->openFileAtStart(pathOf("棋谱.txt"));
    settle();
    EXPECT_TRUE(messages.empty());
    EXPECT_GT(record().nodeCount(), 20);
    EXPECT_EQ(std::count(dialogs.begin(), dialogs.end(), "开始对局"), 0);
}

TEST_F(GameRecordWindowTest, PasteTakesAFenAPositionLineOrAGame) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(QStringLiteral("4k4/9/9/9/9/9/9/9/4R4/3K5 w - - 0 1"));
    menus().paste->trigger();
    EXPECT_EQ(game().board.toFen(), "4k4/9/9/9/9/9/9/9/4R4/3K5 w - - 0 1");
    clipboard->setText(QStringLiteral("position startpos moves h2e2 h9g7"));
    menus().paste->trigger();
    EXPECT_EQ(game().board.plyCount(), 2);
    EXPECT_EQ(game().moveList.moveLineCount(), 2);
    clipboard->setText(QStringLiteral("[Event \"贴\"]\n1. 炮二平五 {中炮} 马８进７ *"));
    menus().paste->trigger();
    EXPECT_EQ(record().tag(tags::EVENT), "贴");
    EXPECT_EQ(record().comment(record().mainLine()[0]), "中炮");
    clipboard->setText(QStringLiteral("随便一段话"));
    menus().paste->trigger();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(record().tag(tags::EVENT), "贴");

    menus().copyPosition->trigger();
    EXPECT_EQ(clipboard->text().toStdString(), std::string(START_FEN));
    menus().browseEnd->trigger();
    menus().copyRecord->trigger();
    EXPECT_NE(clipboard->text().indexOf(QStringLiteral("{中炮}")), -1);
    EXPECT_NE(clipboard->text().indexOf(QStringLiteral("马８进７")), -1);
}

} // namespace qinglan::testing
