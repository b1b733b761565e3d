// Position files through the "打开" and "保存" menu items, and the position editor
// through its controls.
#include "WindowFixture.h"
#include "app/dialogs/PositionEditor.h"
#include "platform/DialogRunner.h"
#include "platform/FileDialogs.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <optional>

namespace qinglan::testing {

namespace {

const std::string START(START_FEN);

struct AskedFile {
    std::string caption;
    std::string filter;
    bool save = false;
};

} // namespace

class PositionFileTest : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        setFileDialogHandler(
            [this](const std::string& caption, const std::string& filter, bool save) {
                asked.push_back({ caption, filter, save });
                return chosen;
            });
    }
    void TearDown() override {
        setFileDialogHandler({});
        WindowFixture::TearDown();
    }

    std::string pathOf(const char* name) {
        return folder.filePath(QString::fromUtf8(name)).toStdString();
    }
    void save(const std::string& path) {
        chosen = path;
        menus().save->trigger();
    }
    void open(const std::string& path) {
        chosen = path;
        menus().open->trigger();
    }
    static std::string bytesOf(const std::string& path) {
        QFile file(QString::fromStdString(path));
        file.open(QIODevice::ReadOnly);
        return file.readAll().toStdString();
    }
    static void write(const std::string& path, const std::string& bytes) {
        QFile file(QString::fromStdString(path));
        file.open(QIODevice::WriteOnly);
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }

    QTemporaryDir folder;
    std::string chosen;
    std::vector<AskedFile> asked;
};

TEST_F(PositionFileTest, SavesExactBytesAndOpensThemBack) {
    const std::string fresh = pathOf("fresh.fen");
    save(fresh);
    EXPECT_EQ(bytesOf(fresh), START);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].caption, "保存局面");
    EXPECT_EQ(asked[0].filter, "FEN局面文件（*.fen）|*.fen");
    EXPECT_TRUE(asked[0].save);

    playByClicks("h2e2");
    playByClicks("h9g7");
    const std::string played = pathOf("played.fen");
    save(played);
    EXPECT_EQ(bytesOf(played), START + " moves h2e2 h9g7");
    const std::string fen = game().board.toFen();

    window->flow().newGame();
    open(played);
    EXPECT_EQ(asked.back().caption, "打开局面文件");
    EXPECT_FALSE(asked.back().save);
    EXPECT_EQ(game().board.toFen(), fen);
    EXPECT_EQ(game().board.plyCount(), 2);
    EXPECT_EQ(game().moveList.text(), "  ==开始==\r\n  1.砲二平五\r\n    马８进７");
    EXPECT_EQ(listText(), "  ==开始==\n  1.砲二平五\n    马８进７");
    EXPECT_TRUE(messages.empty());
    // The moves came back as plies: a take-back removes them with their lines.
    menus().takeBack->trigger();
    EXPECT_EQ(game().board.toFen(), START);
    EXPECT_EQ(game().moveList.text(), "  ==开始==");
}

TEST_F(PositionFileTest, OpensEveryFormAndRebuildsTheList) {
    struct Row {
        std::string content;
        std::string fen;
        std::vector<std::string> lines;
    };
    const std::string blackFirst = "3k5/9/9/9/9/9/9/9/9/4K3P b - - 0 1";
    const Row rows[] = {
        // Black moves first: red's first move is numbered 1.5.
        { blackFirst + " moves d9d8 e0e1 d8d9", "3k5/9/9/9/9/9/9/9/4K4/8P w - - 0 1",
            { "    将４进１", "1.5.帅五进一", "    将４退１" } },
        // "position fen", a line end, an illegal move (no line), a second " moves ".
        { "position fen " + blackFirst + " moves d9d8 d9d8 e0e1\r\n",
            "9/3k5/9/9/9/9/9/9/4K4/8P b - - 0 1", { "    将４进１", "1.5.帅五进一" } },
        { "position startpos moves h2e2 moves h9g7",
            "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RNBAKABNR b - - 0 1",
            { "  1.砲二平五" } },
        // As a Windows editor saves it: a byte order mark first, CR LF last.
        { "\xEF\xBB\xBF" + blackFirst + " moves d9d8\r\n", "9/3k5/9/9/9/9/9/9/9/4K3P w - - 0 1",
            { "    将４进１" } },
        // Too many pieces: the excess is dropped, as any FEN reads.
        { "4k4/9/9/9/9/9/9/9/9/RRR2K3 w", "4k4/9/9/9/9/9/9/9/9/RR3K3 w - - 0 1", {} },
    };
    for (const Row& row : rows) {
        const std::string path = pathOf("row.fen");
        write(path, row.content);
        open(path);
        EXPECT_EQ(game().board.toFen(), row.fen) << row.content;
        std::vector<std::string> lines(
            game().moveList.lines().begin() + 1, game().moveList.lines().end());
        EXPECT_EQ(lines, row.lines) << row.content;
        EXPECT_EQ(game().board.plyCount(), static_cast<int>(row.lines.size()));
    }
    for (const ShownMessage& m : messages) ADD_FAILURE() << m.text;
}

TEST_F(PositionFileTest, OpeningRestartsAFinishedGame) {
    // Mated at once; the result box is answered No and the game stays over.
    window->flow().newGame("R3k4/1R7/9/9/9/9/9/9/9/3K5 b");
    ASSERT_EQ(game().gameOver, 1);
    const std::string path = pathOf("start.fen");
    write(path, START);
    open(path);
    EXPECT_EQ(game().gameOver, 0);
    EXPECT_EQ(game().board.toFen(), START);
    EXPECT_EQ(game().redClock.state(), SideClock::Running);
}

TEST_F(PositionFileTest, BadFilesAreReportedAndTheGameGoesOn) {
    playByClicks("h2e2");
    const std::string fen = game().board.toFen();
    const std::string list = game().moveList.text();
    const std::string huge = START + " moves" + std::string(1100 * 1024, ' ');
    struct Row {
        const char* name;
        std::string bytes;
        const char* reason;
    };
    const Row rows[] = {
        { "empty.fen", "", "文件是空的" },
        { "blank.fen", " \r\n", "文件是空的" },
        { "zero.fen", std::string("\0rnbakabnr/9", 12), "文件是空的" },
        { "picture.fen", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), "文件内容不是局面" },
        { "words.fen", "hello world", "文件内容不是局面" },
        { "huge.fen", huge, "文件太大" },
    };
    for (const Row& row : rows) {
        messages.clear();
        const std::string path = pathOf(row.name);
        write(path, row.bytes);
        open(path);
        ASSERT_EQ(messages.size(), 1u) << row.name;
        EXPECT_NE(messages[0].text.find(row.reason), std::string::npos) << messages[0].text;
        EXPECT_NE(messages[0].text.find(path), std::string::npos);
        EXPECT_EQ(game().board.toFen(), fen) << row.name;
        EXPECT_EQ(game().moveList.text(), list) << row.name;
    }
    messages.clear();
    open(pathOf("missing.fen"));
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_EQ(game().board.toFen(), fen);
}

TEST_F(PositionFileTest, AFileThatCannotBeWrittenIsReported) {
    playByClicks("h2e2");
    const std::string fen = game().board.toFen();
    QDir(folder.path()).mkdir(QStringLiteral("sub"));
    struct Row {
        std::string path;
        const char* reason;
    };
    const Row rows[] = {
        { "/dev/full", "磁盘空间不足" },
        { pathOf("no/such/folder.fen"), "文件夹不存在" },
        { pathOf("sub"), "这是一个文件夹" },
    };
    for (const Row& row : rows) {
        messages.clear();
        save(row.path);
        ASSERT_EQ(messages.size(), 1u) << row.path;
        EXPECT_NE(messages[0].text.find("局面没有保存"), std::string::npos);
        EXPECT_NE(messages[0].text.find(row.reason), std::string::npos) << messages[0].text;
        EXPECT_EQ(game().board.toFen(), fen);
        EXPECT_EQ(game().board.plyCount(), 1);
    }
}

TEST_F(PositionFileTest, CancellingChangesNothing) {
    playByClicks("h2e2");
    const std::string fen = game().board.toFen();
    open("");
    save("");
    EXPECT_EQ(game().board.toFen(), fen);
    EXPECT_EQ(game().board.plyCount(), 1);
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(QDir(folder.path()).isEmpty());
}

// The position editor, driven through its controls while runModalDialog hands it over.
class PositionEditorTest : public WindowFixture {
protected:
    void TearDown() override {
        setDialogHandler({});
        WindowFixture::TearDown();
    }

    // Runs the editor; script works the controls and says how it closes.
    std::optional<std::string> edit(std::function<void(QDialog&)> script) {
        setDialogHandler([script](QDialog& dialog) {
            script(dialog);
            return dialog.result();
        });
        return editPosition(window.get(), state->editorBoard);
    }
    static void click(QDialog& d, const char* name) {
        d.findChild<QAbstractButton*>(QString::fromUtf8(name))->click();
    }
    static QLineEdit* fenLine(QDialog& d) {
        return d.findChild<QLineEdit*>(QStringLiteral("FEN编辑框"));
    }
    static std::string fenText(QDialog& d) { return fenLine(d)->text().toStdString(); }
    static const EditorTray& trayOf(QDialog& d) { return static_cast<PositionEditor&>(d).tray(); }
    // A click at a half-scale point of the picture area.
    static void press(QDialog& d, QPoint at) {
        QTest::mouseClick(
            d.findChild<SpriteSurface*>(QStringLiteral("编辑棋盘")), Qt::LeftButton, {}, at);
    }
    // The half-scale centre of a board cell (file 1-9, row 1-10 from the top) or a
    // tray cell (column and row from 0).
    static QPoint boardCell(int file, int row) {
        return { ((file - 1) * 57 + 22 + 27) / 2, ((row - 1) * 57 + 22 + 27) / 2 };
    }
    static QPoint trayCell(int column, int row) {
        return { (column * 57 + 556 + 27) / 2, (row * 57 + 40 + 27) / 2 };
    }
    static int trayCount(const EditorTray& tray) {
        int n = 0;
        for (const auto& row : tray)
            for (int code : row) n += code != 0;
        return n;
    }
};

TEST_F(PositionEditorTest, OpensOnTheStartAndEmptiesIntoTheTrayInOrder) {
    state->editorBoard.setPosition("4k4/9/9/9/9/9/9/9/9/4K4 b");
    const auto result = edit([](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("编辑局面"));
        EXPECT_EQ(d.size(), QSize(392, 379));
        EXPECT_EQ(fenText(d), "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w ");
        EXPECT_TRUE(d.findChild<QRadioButton*>(QStringLiteral("红先"))->isChecked());
        EXPECT_EQ(trayCount(trayOf(d)), 0);

        click(d, "清空按钮");
        EXPECT_EQ(fenText(d), "9/9/9/9/9/9/9/9/9/9 w - - 0 1");
        // Black pawns, cannons, chariots, horses, elephants, advisors, king; then red.
        std::vector<int> order;
        for (int side : { BLACK, RED })
            for (int type = PAWN; type >= KING; --type)
                order.insert(order.end(), type == PAWN ? 5 : type == KING ? 1 : 2, side + type);
        std::vector<int> shown;
        for (const auto& row : trayOf(d))
            for (int code : row)
                if (code != 0) shown.push_back(code);
        EXPECT_EQ(shown, order);
        EXPECT_EQ(trayOf(d)[3][3], BLACK + KING);
        EXPECT_EQ(trayOf(d)[7][3], RED + KING);
        click(d, "确定按钮");
    });
    EXPECT_EQ(result, "9/9/9/9/9/9/9/9/9/9 w - - 0 1");
}

TEST_F(PositionEditorTest, PiecesMoveBetweenBoardAndTray) {
    const auto result = edit([](QDialog& d) {
        // An empty square with nothing selected: nothing moves, the line is rewritten.
        press(d, boardCell(5, 5));
        EXPECT_EQ(fenText(d), START);
        // The red chariot on a0 dropped outside both regions goes to the tray.
        press(d, boardCell(1, 10));
        press(d, QPoint(2, 2));
        EXPECT_EQ(
            fenText(d), "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/1NBAKABNR w - - 0 1");
        EXPECT_EQ(trayOf(d)[0][0], RED + CHARIOT);
        EXPECT_EQ(trayCount(trayOf(d)), 1);
        // Back from the tray to e5; a click on another piece only moves the selection.
        press(d, trayCell(0, 0));
        press(d, boardCell(1, 1));
        press(d, trayCell(0, 0));
        press(d, boardCell(5, 5));
        EXPECT_EQ(
            fenText(d), "rnbakabnr/9/1c5c1/p1p1p1p1p/4R4/9/P1P1P1P1P/1C5C1/9/1NBAKABNR w - - 0 1");
        EXPECT_EQ(trayCount(trayOf(d)), 0);
        // A board piece dropped on an empty tray cell also returns to the tray.
        press(d, boardCell(5, 5));
        press(d, trayCell(2, 5));
        EXPECT_EQ(trayOf(d)[0][0], RED + CHARIOT);
        EXPECT_EQ(trayCount(trayOf(d)), 1);
        click(d, "黑先");
        EXPECT_EQ(
            fenText(d), "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/1NBAKABNR b - - 0 1");
        click(d, "取消按钮");
    });
    // Cancelled, yet the position stays in the editor's board.
    EXPECT_FALSE(result);
    EXPECT_EQ(state->editorBoard.toFen(),
        "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/1NBAKABNR b - - 0 1");
}

TEST_F(PositionEditorTest, TypedTextIsReadWithTheCaps) {
    edit([](QDialog& d) {
        const QString typed = QStringLiteral("RRR1k4/PPPPPPP2/9/9/9/9/9/9/9/4K4 b");
        fenLine(d)->setText(typed);
        EXPECT_EQ(fenLine(d)->text(), typed);
        EXPECT_TRUE(d.findChild<QRadioButton*>(QStringLiteral("黑先"))->isChecked());
        // Two chariots and five pawns on the board; the tray holds the other 23.
        EXPECT_EQ(trayCount(trayOf(d)), 32 - 9);
        for (const auto& row : trayOf(d))
            for (int code : row) EXPECT_NE(code, RED + CHARIOT);
        // Garbage is read as far as it goes and never breaks the editor.
        fenLine(d)->setText(QStringLiteral("\u0001//zz 9/9/RRRRRRRRRRRRR b"));
        EXPECT_EQ(trayCount(trayOf(d)), 32);
        click(d, "默认按钮");
        EXPECT_EQ(fenText(d), START);
        EXPECT_TRUE(d.findChild<QRadioButton*>(QStringLiteral("红先"))->isChecked());
        click(d, "确定按钮");
    });
    EXPECT_EQ(state->editorBoard.toFen(), START);
}

// Not a check: with QINGLAN_SHOT_DIR set, saves dialog-editor.png there for a look.
TEST_F(PositionEditorTest, Screenshot) {
    const QByteArray dir = qgetenv("QINGLAN_SHOT_DIR");
    if (dir.isEmpty()) GTEST_SKIP() << "QINGLAN_SHOT_DIR not set";
    edit([&dir](QDialog& d) {
        for (QPoint cell :
            { boardCell(1, 10), boardCell(2, 1), boardCell(8, 3), boardCell(3, 7) }) {
            press(d, cell);
            press(d, QPoint(2, 2));
        }
        press(d, trayCell(1, 0));
        d.show();
        settle();
        d.grab().save(QString::fromUtf8(dir) + QStringLiteral("/dialog-editor.png"));
        click(d, "确定按钮");
    });
}

} // namespace qinglan::testing
