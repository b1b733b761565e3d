#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qinglan {

class Board;
class MoveListText;

inline constexpr const char* POSITION_FILE_FILTER = "FEN局面文件（*.fen）|*.fen";
// A position file is one line; a game of a hundred thousand plies fits in far less.
inline constexpr std::size_t POSITION_FILE_MAX_BYTES = 1024 * 1024;

// What a position file holds for this board: the FEN the record starts from, then
// " moves" and each ply after a space; or the FEN alone without moves.
std::string positionFileText(const Board& board);

// Writes text as the whole file (no line end). "" when written, else the reason.
std::string writePositionFile(const std::string& path, std::string_view text);

struct PositionFileRead {
    std::string text; // up to the first zero byte
    std::string error; // "" when text holds a position
};

// Reads a position file. Unreadable, empty, binary, oversized or non-position
// content comes back as an error, so that opening it changes nothing.
PositionFileRead readPositionFile(const std::string& path);

// True for plain ASCII text that reads as a position: "position startpos", or a FEN
// (optionally after "position fen ") whose board part has its "/" rows.
bool looksLikePosition(std::string_view text);

// Sets board from the text and rebuilds the list: one line per ply actually played,
// each written in the position before its move. Moves that are not legal are skipped
// and the next ones are tried in the unchanged position; a second " moves " and what
// follows it are ignored.
void loadPositionText(std::string_view text, Board& board, MoveListText& list);

} // namespace qinglan
