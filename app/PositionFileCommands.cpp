#include "app/PositionFileCommands.h"

#include "app/MainWindow.h"
#include "app/RecordCommands.h"
#include "game/PositionFile.h"
#include "platform/FileDialogs.h"
#include "platform/MessageCodes.h"

namespace qinglan {

void savePositionFile(MainWindow& window) {
    const std::string path = askSaveFileName(&window, "保存局面", POSITION_FILE_FILTER, "fen");
    if (path.empty()) return;
    const std::string error
        = writePositionFile(path, positionFileText(window.game().state().board));
    // Said out loud: otherwise the player believes the game is safe in the file.
    if (!error.empty())
        window.showMessage(
            "局面没有保存（" + error + "）：\r\n" + path, "青岚象棋", MESSAGE_FLAG_WARNING);
}

void openPositionFile(MainWindow& window) {
    if (!mayLeaveGame(window)) return;
    const std::string path = askOpenFileName(&window, "打开局面文件", POSITION_FILE_FILTER);
    if (!path.empty()) openPositionFileAt(window, path);
}

bool openPositionFileAt(MainWindow& window, const std::string& path) {
    const PositionFileRead read = readPositionFile(path);
    if (!read.error.empty()) {
        window.showMessage("无法打开局面文件（" + read.error + "），当前对局不变：\r\n" + path,
            "青岚象棋", MESSAGE_FLAG_WARNING);
        return false;
    }
    window.flow().openPosition(read.text);
    return true;
}

void openStartFile(MainWindow& window, const std::string& path) {
    if (!openGameFileAt(window, path)) window.openNewGameDialog();
}

} // namespace qinglan
