#pragma once

#include "records/MoveNotation.h"
#include "records/PgnReader.h"
#include "records/RecordFile.h"

#include <string>
#include <vector>

namespace qinglan {

inline constexpr const char* RECORD_OPEN_FILTER
    = "棋谱或局面文件（*.pgn *.xqf *.fen）|*.pgn;*.xqf;*.fen|所有文件|*";
inline constexpr const char* RECORD_SAVE_FILTER = "PGN棋谱文件（*.pgn）|*.pgn";

// One game of a file as listed: a PGN game by its tags and where it lies in the text,
// so that a file of many games is listed without reading their moves; an XQF game whole.
struct ListedGame {
    GameRecord game;
    GameSpan span;
    bool whole = false;
    std::string problem; // of a game read whole
};

// What a file or a pasted text held: a position (the ".fen" text) or games.
struct GameSource {
    std::string position; // the position text, when it was one
    std::string text; // the PGN text (UTF-8) the listed games lie in
    std::vector<ListedGame> games;
    std::string error; // "" when either holds something
    bool isPosition() const { return !position.empty(); }
};

// Reads a position, an XQF or a PGN file, told apart by content whatever the name.
GameSource readGameFile(const std::string& path);
// The same for a text from the clipboard: a FEN, a position line or PGN.
GameSource readGameText(const std::string& text);
// The whole of a listed game, with why a line of it ended early ("" when none did).
ReadGame readListedGame(const GameSource& source, int index);

// How a game is saved; Chinese notation in UTF-8 unless the person chooses otherwise.
struct SaveOptions {
    Notation notation = Notation::Chinese;
    bool gbk = false;
};

// The PGN bytes of a game as the options ask.
std::string pgnBytes(const GameRecord& game, const SaveOptions& options);
// Writes them as the whole file; "" when written, else the reason.
std::string saveGameFile(
    const std::string& path, const GameRecord& game, const SaveOptions& options);

} // namespace qinglan
