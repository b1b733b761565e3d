#include "enginelink/UciTranslation.h"

#include "rules/Board.h"
#include "rules/Pieces.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <vector>

namespace qinglan {

namespace {

struct Square {
    char file;
    int rank; // from 0
};

std::vector<std::string> tokens(std::string_view text) {
    std::vector<std::string> out;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find(' ', at);
        if (end == std::string_view::npos) end = text.size();
        if (end > at) out.emplace_back(text.substr(at, end - at));
        at = end + 1;
    }
    return out;
}

std::string joined(const std::vector<std::string>& words) {
    std::string out;
    for (const std::string& word : words) out += (out.empty() ? "" : " ") + word;
    return out;
}

bool isFile(char c) {
    return c >= 'a' && c <= 'i';
}

// One square read from the front of text; rankBase 0 or 1.
std::optional<Square> takeSquare(std::string_view& text, int rankBase) {
    if (text.size() < 2 || !isFile(text[0])) return std::nullopt;
    std::size_t digits = 1;
    if (rankBase == 1 && text.size() >= 3 && text[1] == '1' && text[2] == '0') digits = 2;
    if (text[1] < '0' || text[1] > '9') return std::nullopt;
    const int rank = std::atoi(std::string(text.substr(1, digits)).c_str()) - rankBase;
    if (rank < 0 || rank > 9) return std::nullopt;
    Square square { text[0], rank };
    text.remove_prefix(1 + digits);
    return square;
}

std::optional<std::pair<Square, Square>> parseMove(std::string_view move, int rankBase) {
    auto from = takeSquare(move, rankBase);
    if (!from) return std::nullopt;
    auto to = takeSquare(move, rankBase);
    if (!to || !move.empty()) return std::nullopt;
    return std::pair { *from, *to };
}

std::string moveText(const std::pair<Square, Square>& move, int rankBase) {
    return move.first.file + std::to_string(move.first.rank + rankBase) + move.second.file
        + std::to_string(move.second.rank + rankBase);
}

std::string convertMove(std::string_view move, int fromBase, int toBase) {
    auto parsed = parseMove(move, fromBase);
    return parsed ? moveText(*parsed, toBase) : std::string(move);
}

// True when every move is legal in turn, read with this rank base.
bool legalIn(Board board, const std::vector<std::string>& moves, int rankBase) {
    for (const std::string& move : moves) {
        auto parsed = parseMove(move, rankBase);
        if (!parsed || !board.makeMoveText(moveText(*parsed, 0))) return false;
    }
    return !moves.empty();
}

} // namespace

std::string moveToOneBased(std::string_view move) {
    return convertMove(move, 0, 1);
}

std::string moveToZeroBased(std::string_view move) {
    return convertMove(move, 1, 0);
}

RankBase detectRankBase(std::string_view positionLine, std::string_view moves) {
    Board board;
    board.setPosition(positionLine);
    const std::vector<std::string> list = tokens(moves);
    const bool zero = legalIn(board, list, 0);
    const bool one = legalIn(board, list, 1);
    if (zero == one) return RankBase::Unknown;
    return zero ? RankBase::Zero : RankBase::One;
}

std::string movesToOneBased(std::string_view moves) {
    std::vector<std::string> words = tokens(moves);
    for (std::string& word : words) word = moveToOneBased(word);
    return joined(words);
}

std::string positionToOneBased(std::string_view positionLine) {
    std::vector<std::string> words = tokens(positionLine);
    auto moves = std::find(words.begin(), words.end(), "moves");
    if (moves == words.end()) return std::string(positionLine);
    for (auto word = moves + 1; word != words.end(); ++word) *word = moveToOneBased(*word);
    return joined(words);
}

std::string movesExceptBanned(const Board& board, const std::vector<std::string>& banned) {
    int moves[MAX_PSEUDO_MOVES];
    const int count = board.generateLegalMoves(moves);
    std::vector<std::string> allowed;
    for (int i = 0; i < count; ++i) {
        std::string move = moveToCoord(moves[i]);
        if (std::find(banned.begin(), banned.end(), move) == banned.end()) allowed.push_back(move);
    }
    return joined(allowed);
}

} // namespace qinglan
