#include "Board.h"
#include "Tables.h"

#include <cstdlib>

namespace qinglan {

namespace {

// Names by type 0-6, red then black.
constexpr const char* RED_NAMES[7] = { "帅", "仕", "相", "马", "车", "砲", "兵" };
constexpr const char* BLACK_NAMES[7] = { "将", "士", "象", "马", "车", "炮", "卒" };
// Red counts files from its right in Chinese numerals, black from its right in
// full-width digits; both are indexed here by file 0-8 from the "a" file.
constexpr const char* RED_FILES[9] = { "九", "八", "七", "六", "五", "四", "三", "二", "一" };
constexpr const char* BLACK_FILES[9] = { "１", "２", "３", "４", "５", "６", "７", "８", "９" };
// Step counts 1-9 (index 0 unused).
constexpr const char* RED_STEPS[10] = { "", "一", "二", "三", "四", "五", "六", "七", "八", "九" };
constexpr const char* BLACK_STEPS[10]
    = { "", "１", "２", "３", "４", "５", "６", "７", "８", "９" };

const char* tandemPrefix(int ahead, int behind) {
    if (ahead >= 1 && behind == 0) return "后";
    if (ahead == 0 && behind >= 1) return "前";
    if (ahead == 1 && behind == 1) return "中";
    constexpr const char* ORDINALS[4] = { "", "二", "三", "四" };
    return ahead >= 1 && ahead <= 3 ? ORDINALS[ahead] : "";
}

// Pieces of the same code on the moving piece's file, walking from src by step.
int countOnFile(const Board& board, int src, int step) {
    int code = board.pieceAt(src), count = 0;
    for (int sq = src + step; tables::IN_BOARD[sq]; sq += step)
        count += board.pieceAt(sq) == code ? 1 : 0;
    return count;
}

} // namespace

std::string Board::moveToChinese(std::string_view text) const {
    int move = coordToMove(text);
    if (move == 0 || !isPseudoLegal(move)) return {};
    const int src = moveSrc(move), dst = moveDst(move);
    const int piece = squares_[src], type = pieceType(piece);
    const bool red = (piece & RED) != 0;
    const int forward = red ? -16 : 16;
    const char* const* files = red ? RED_FILES : BLACK_FILES;
    const char* name = (red ? RED_NAMES : BLACK_NAMES)[type];

    std::string notation;
    int ahead = 0, behind = 0;
    if (type >= HORSE) {
        ahead = countOnFile(*this, src, forward);
        behind = countOnFile(*this, src, -forward);
    }
    if (ahead + behind == 0)
        notation = std::string(name) + files[squareFile(src)];
    else
        notation = std::string(tandemPrefix(ahead, behind)) + name;

    const int rowDiff = (dst >> 4) - (src >> 4);
    notation += rowDiff == 0 ? "平" : rowDiff * forward > 0 ? "进" : "退";
    if (rowDiff == 0 || type == ADVISOR || type == ELEPHANT || type == HORSE)
        notation += files[squareFile(dst)];
    else
        notation += (red ? RED_STEPS : BLACK_STEPS)[std::abs(rowDiff)];
    return notation;
}

} // namespace qinglan
