#pragma once

#include <string>

namespace qinglan {

class MainWindow;

// "保存...(&S)": asks for a ".fen" name and writes the game's position and moves.
// A file that cannot be written is reported; the game is never touched.
void savePositionFile(MainWindow& window);
// "打开...(&O)": asks for a ".fen" file, sets the game from it and restarts play.
// A file that is not a position is reported and the game goes on unchanged.
void openPositionFile(MainWindow& window);
// A position file by its path, as "打开...(&O)" opens a chosen one. False when it
// could not be read (the message has been shown).
bool openPositionFileAt(MainWindow& window, const std::string& path);
// A file given at start: a position or a game record, told apart by content. After a
// file that cannot be read (reported), the new-game dialog greets as at a plain start.
void openStartFile(MainWindow& window, const std::string& path);

} // namespace qinglan
