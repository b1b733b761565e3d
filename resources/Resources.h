#pragma once

#include <QString>

// The built-in images and sounds, compiled into the program. Paths are Qt resource
// paths, readable with QFile.

namespace qinglan {

// Makes the compiled-in resources available; call once before the first use.
void initBuiltInResources();

namespace res {
// Piece images by side and type 0-6 (king, advisor, elephant, horse, chariot, cannon,
// pawn): red 55x57, black 55x56, PNG with alpha.
QString pieceImagePath(bool red, int type);
inline const QString SELECTION_FRAME = QStringLiteral(":/images/selection.png"); // 55x55
inline const QString BOARD = QStringLiteral(":/images/board.png"); // 556x618
inline const QString BACKGROUND = QStringLiteral(":/images/background.jpg"); // 1321x1080
inline const QString MOVE_LIST_BACKGROUND = QStringLiteral(":/images/movelist.jpg"); // 200x197
inline const QString APP_ICON = QStringLiteral(":/images/icon.png"); // 256x256
inline const QString SOUND_CHECK = QStringLiteral(":/sounds/check.wav");
inline const QString SOUND_CAPTURE = QStringLiteral(":/sounds/capture.wav");
inline const QString SOUND_MOVE = QStringLiteral(":/sounds/move.wav");
inline const QString SOUND_ILLEGAL = QStringLiteral(":/sounds/illegal.wav");
} // namespace res

} // namespace qinglan
