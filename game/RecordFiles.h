#pragma once

#include "records/MoveNotation.h"
#include "records/RecordFile.h"

#include <string>

namespace qinglan {

inline constexpr const char* RECORD_OPEN_FILTER
    = "棋谱或局面文件（*.pgn *.xqf *.fen）|*.pgn;*.xqf;*.fen|所有文件|*";
inline constexpr const char* RECORD_SAVE_FILTER = "PGN棋谱文件（*.pgn）|*.pgn";

// What a file or a pasted text held: a position (the ".fen" text) or games.
struct GameSource {
    std::string position; // the position text, when it was one
    RecordFileContents records; // else the games read
    std::string error; // "" when either holds something
    bool isPosition() const { return !position.empty(); }
};

// Reads a position, an XQF or a PGN file, told apart by content whatever the name.
GameSource readGameFile(const std::string& path);
// The same for a text from the clipboard: a FEN, a position line or PGN.
GameSource readGameText(const std::string& text);

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
