#include "app/BoardGeometry.h"

namespace qinglan {

int scaled(double logical, double scale) {
    return static_cast<int>(logical * scale);
}

SquareRef squareAt(int x, int y, double scaleX, double scaleY, bool flipped) {
    if (scaleX <= 0 || scaleY <= 0) return {};
    const int lx = static_cast<int>(x / scaleX);
    const int ly = static_cast<int>(y / scaleY);
    // Real division, then truncation toward zero: a click in the gap after a square
    // still belongs to it, one left of the first square gives file 0.
    const int file = static_cast<int>(static_cast<double>(lx - BOARD_MARGIN) / SQUARE_PITCH + 1);
    const int row = static_cast<int>(static_cast<double>(ly - BOARD_MARGIN) / SQUARE_PITCH + 1);
    if (file < 1 || file > 9 || row < 1 || row > 10) return {};
    if (flipped) return { 10 - file, 11 - row };
    return { file, row };
}

std::string moveTextFor(SquareRef from, SquareRef to) {
    return { static_cast<char>(from.file + 96), static_cast<char>(58 - from.row),
        static_cast<char>(to.file + 96), static_cast<char>(58 - to.row) };
}

MoveSquares squaresOfMove(std::string_view text) {
    if (text.size() < 4) return {};
    const SquareRef from { text[0] - 96, 58 - text[1] };
    const SquareRef to { text[2] - 96, 58 - text[3] };
    const auto valid
        = [](SquareRef s) { return s.file >= 1 && s.file <= 9 && s.row >= 1 && s.row <= 10; };
    if (!valid(from) || !valid(to)) return {};
    return { from, to };
}

int listAlpha(int transparencyPercent) {
    return static_cast<int>(255.0 - transparencyPercent / 100.0 * 255.0);
}

} // namespace qinglan
