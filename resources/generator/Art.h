#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Drawing of the built-in pictures. Every function returns a finished image of the
// size that the program expects; the caller only saves it.

namespace resgen {

// Board geometry shared by the board, the pieces and the preview: a piece image's
// top-left corner for file f, row r (1-based) is at (f-1)*PITCH+MARGIN, and the line
// crossing lies CROSS pixels right of and below it (lines are 2 px wide, centred there).
constexpr int PITCH = 57;
constexpr int MARGIN = 22;
constexpr int CROSS = 28;
constexpr int BOARD_W = 556, BOARD_H = 618;

inline int pieceLeft(int file) {
    return (file - 1) * PITCH + MARGIN;
}
inline int pieceTop(int row) {
    return (row - 1) * PITCH + MARGIN;
}

// The family used for every glyph: a serif CJK face when present, it reads as brushwork.
QString glyphFamily();

QImage drawBoard();
QImage drawBackground();
QImage drawMoveListBackground();

// type 0-6: king, advisor, elephant, horse, chariot, cannon, pawn.
QImage drawPiece(bool red, int type);
// The file name a piece image is written under, e.g. "red_king.png".
QString pieceFileName(bool red, int type);
QImage drawSelectionFrame();
// The program's icon, size x size pixels (256 is the window icon).
QImage drawAppIcon(int size = 256);
// The same icon as SVG, the glyph as outlines.
QByteArray drawAppIconSvg();
// The sizes of the desktop's icon theme the generator writes.
inline constexpr int ICON_SIZES[] = { 16, 22, 24, 32, 48, 64, 128, 256 };

} // namespace resgen
