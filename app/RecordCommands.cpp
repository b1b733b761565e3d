#include "app/RecordCommands.h"

#include "app/MainWindow.h"
#include "app/dialogs/GameInfoDialog.h"
#include "app/dialogs/GameListDialog.h"
#include "app/dialogs/SaveOptionsDialog.h"
#include "game/RecordFiles.h"
#include "platform/DialogRunner.h"
#include "platform/FileDialogs.h"
#include "platform/MessageCodes.h"
#include "records/PgnWriter.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>

namespace qinglan {

namespace {

constexpr const char* BOX_TITLE = "青岚象棋";

RecordKeeper& records(MainWindow& window) {
    return window.flow().records();
}

// Opens what a file or the clipboard held; where names it in messages.
bool openSource(MainWindow& window, GameSource& source, const std::string& where) {
    if (!source.error.empty()) {
        window.showMessage("无法打开（" + source.error + "），当前对局不变：\r\n" + where,
            BOX_TITLE, MESSAGE_FLAG_WARNING);
        return false;
    }
    if (source.isPosition()) {
        window.flow().openPosition(source.position);
        return true;
    }
    int chosen = 0;
    if (source.games.size() > 1) {
        GameListDialog list(source.games, &window);
        if (runModalDialog(list) != QDialog::Accepted || !list.chosenGame()) return false;
        chosen = *list.chosenGame();
    }
    ReadGame read = readListedGame(source, chosen);
    const std::string problem = read.problem;
    window.flow().openRecord(std::move(read.game));
    // What came before the fault is shown; the person should know the rest is missing.
    if (!problem.empty())
        window.showMessage("棋谱读到一处错误为止（" + problem + "）：\r\n" + where, BOX_TITLE,
            MESSAGE_FLAG_WARNING);
    return true;
}

} // namespace

void openGameFile(MainWindow& window) {
    if (!mayLeaveGame(window)) return;
    const std::string path = window.askOpenFileName("打开棋谱", RECORD_OPEN_FILTER);
    if (!path.empty()) openGameFileAt(window, path);
}

bool openGameFileAt(MainWindow& window, const std::string& path) {
    GameSource source = readGameFile(path);
    return openSource(window, source, path);
}

bool saveGameRecord(MainWindow& window) {
    const std::string path = askSaveFileName(&window, "保存棋谱", RECORD_SAVE_FILTER, "pgn");
    if (path.empty()) return false;
    SaveOptionsDialog options(&window);
    if (runModalDialog(options) != QDialog::Accepted) return false;
    const std::string error
        = saveGameFile(path, records(window).recordWithDefaults(), options.choice());
    // Said out loud: otherwise the player believes the game is safe in the file.
    if (!error.empty()) {
        window.showMessage(
            "棋谱没有保存（" + error + "）：\r\n" + path, BOX_TITLE, MESSAGE_FLAG_WARNING);
        return false;
    }
    records(window).markSaved();
    return true;
}

void editGameInfo(MainWindow& window) {
    GameInfoDialog dialog(records(window).recordWithDefaults(), &window);
    if (runModalDialog(dialog) == QDialog::Accepted) records(window).setTags(dialog.tags());
}

void copyGame(MainWindow& window) {
    const std::string pgn = writePgn(records(window).recordWithDefaults(), Notation::Chinese);
    QGuiApplication::clipboard()->setText(QString::fromStdString(pgn));
}

void copyPosition(MainWindow& window) {
    QGuiApplication::clipboard()->setText(
        QString::fromStdString(window.game().state().board.toFen()));
}

void pasteGame(MainWindow& window) {
    const std::string text = QGuiApplication::clipboard()->text().toStdString();
    if (text.empty() || !mayLeaveGame(window)) return;
    GameSource source = readGameText(text);
    openSource(window, source, "剪贴板");
}

bool mayLeaveGame(MainWindow& window) {
    if (!window.menus().askToSave->isChecked() || !records(window).hasUnsavedMoves()) return true;
    const int answer = window.showMessage(
        "当前棋局还没有保存，要保存吗？", BOX_TITLE, MESSAGE_FLAG_YES_NO | MESSAGE_FLAG_WARNING);
    if (answer == MESSAGE_YES) return saveGameRecord(window);
    records(window).markSaved();
    return true;
}

} // namespace qinglan
