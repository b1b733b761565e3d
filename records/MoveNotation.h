#pragma once

#include "rules/Board.h"

#include <string>
#include <string_view>

namespace qinglan {

// How moves are written in a game record.
enum class Notation { Chinese, Wxf, Iccs };

// The coordinate text of the legal move that text names in board's position. Every form
// players use is read: Chinese notation (simplified or traditional characters, Chinese,
// full-width or ASCII numerals, 前/中/后/二/三/四 for pieces sharing a file), WXF
// ("C2.5", "H8+7", "R1=2", "C++1", "+P+1", lower case for black), ICCS ("H2-E2") and plain
// coordinates ("h2e2"). "" when it names no legal move; why then says what is wrong.
std::string readMove(const Board& board, std::string_view text, std::string& why);

// A legal move (coordinate text) of the side to move, written in notation; "" when the
// move is not legal.
std::string writeMove(const Board& board, std::string_view move, Notation notation);

// True for a text that is only ASCII coordinates or WXF, without any Chinese character:
// such moves never run together, Chinese ones sometimes do ("炮二平五马８进７").
bool isAsciiMove(std::string_view text);

// How many characters (code points) a Chinese move text has; 0 when text holds anything
// else than the characters of Chinese notation.
int chineseMoveLength(std::string_view text);

} // namespace qinglan
