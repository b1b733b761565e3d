#include "Perft.h"

#include <algorithm>

namespace qinglan {

std::uint64_t perft(Board& board, int depth) {
    if (depth <= 0) return 1;
    if (depth == 1) return static_cast<std::uint64_t>(board.countLegalMoves());
    int moves[MAX_PSEUDO_MOVES];
    int count = board.generateLegalMoves(moves);
    std::uint64_t nodes = 0;
    for (int i = 0; i < count; ++i) {
        int captured = board.makeRawMove(moves[i]);
        nodes += perft(board, depth - 1);
        board.unmakeRawMove(moves[i], captured);
    }
    return nodes;
}

std::vector<std::pair<std::string, std::uint64_t>> perftDivide(Board& board, int depth) {
    std::vector<std::pair<std::string, std::uint64_t>> split;
    if (depth <= 0) return split;
    int moves[MAX_PSEUDO_MOVES];
    int count = board.generateLegalMoves(moves);
    for (int i = 0; i < count; ++i) {
        int captured = board.makeRawMove(moves[i]);
        split.emplace_back(moveToCoord(moves[i]), perft(board, depth - 1));
        board.unmakeRawMove(moves[i], captured);
    }
    std::sort(split.begin(), split.end());
    return split;
}

} // namespace qinglan
