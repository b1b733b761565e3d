#pragma once

#include <string>

namespace qinglan {

class MainWindow;

// The game-record commands of the menus: open, save, details, clipboard, and the question
// before an unsaved game is left.

// "打开棋谱...(&R)": after the unsaved-game question, a PGN, XQF or ".fen" file.
void openGameFile(MainWindow& window);
// A file by its path (the menu's choice, the command line): a position is played on, a
// record shown at its start, a file of several games first lists them. False when
// nothing was opened; a file that cannot be read is reported and the game stays.
bool openGameFileAt(MainWindow& window, const std::string& path);
// "保存棋谱...(&W)": a name, then the notation and encoding. True when saved.
bool saveGameRecord(MainWindow& window);
// "棋局信息...(&I)": the tags, editable; confirmed ones go into the record.
void editGameInfo(MainWindow& window);
// "复制棋谱(&C)" (PGN, Chinese notation) and "复制局面(&P)" (FEN).
void copyGame(MainWindow& window);
void copyPosition(MainWindow& window);
// "粘贴(&V)": a FEN, a position line or a PGN game from the clipboard.
void pasteGame(MainWindow& window);
// Before the game is replaced or the program closes: a game with unsaved moves is
// offered for saving (unless the setting is off). False when it should stay (the
// person chose to save and then did not). Asked once: No lets this game go unasked.
bool mayLeaveGame(MainWindow& window);

} // namespace qinglan
