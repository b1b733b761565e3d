#pragma once

#include <string>
#include <string_view>

namespace qinglan {

// The main window works in a logical space of 756 x 618 pixels, scaled to the
// client area. Squares are counted from 1: file 1-9 from the "a" file (red's
// left), row 1-10 from black's back row at the top.
constexpr int LOGICAL_WIDTH = 756;
constexpr int LOGICAL_HEIGHT = 618;
constexpr int SQUARE_PITCH = 57;
constexpr int BOARD_MARGIN = 22;
// A sprite at logical (x, y) shows at (FLIP_X - x, FLIP_Y - y) in the flipped view:
// the two extreme piece positions of each axis trade places.
constexpr int FLIP_X = 500;
constexpr int FLIP_Y = 557;

struct SquareRef {
    int file = 0; // 1-9, 0 = none
    int row = 0; // 1-10, 0 = none
    bool isNone() const { return file == 0 || row == 0; }
    bool operator==(const SquareRef&) const = default;
};

// Logical top-left corner of the piece image on a square.
constexpr int squareX(int file) {
    return (file - 1) * SQUARE_PITCH + BOARD_MARGIN;
}
constexpr int squareY(int row) {
    return (row - 1) * SQUARE_PITCH + BOARD_MARGIN;
}

// A logical coordinate shown at a scale, truncated toward zero.
int scaled(double logical, double scale);

// The square under a client pixel, or none when the click misses the 9 x 10 grid.
// Positions are truncated to logical pixels first, then to squares.
SquareRef squareAt(int x, int y, double scaleX, double scaleY, bool flipped);

// "h2e2" style text of a move between two squares.
std::string moveTextFor(SquareRef from, SquareRef to);
// The squares of a four-character move text; both none when it is malformed.
struct MoveSquares {
    SquareRef from;
    SquareRef to;
};
MoveSquares squaresOfMove(std::string_view text);

// Window alpha for a transparency percentage: trunc(255 - t / 100 * 255).
int listAlpha(int transparencyPercent);

} // namespace qinglan
