#pragma once

#include "rules/Board.h"

#include <set>
#include <string>
#include <string_view>

namespace qinglan::test {

inline Board boardAt(std::string_view text) {
    Board board;
    board.setPosition(text);
    return board;
}

// The legal moves of the side to move as coordinate texts.
inline std::set<std::string> legalMoveTexts(const Board& board) {
    int moves[MAX_PSEUDO_MOVES];
    int count = board.generateLegalMoves(moves);
    std::set<std::string> texts;
    for (int i = 0; i < count; ++i) texts.insert(moveToCoord(moves[i]));
    return texts;
}

} // namespace qinglan::test
