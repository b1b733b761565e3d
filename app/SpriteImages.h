#pragma once

#include <QImage>
#include <array>

namespace qinglan {

// The built-in pictures of the board surface, decoded once per run.
struct SpriteImages {
    std::array<QImage, 7> red; // by piece type: king .. pawn, 55 x 57
    std::array<QImage, 7> black; // 55 x 56
    QImage selectionFrame; // 55 x 55
    QImage board; // 556 x 618
    QImage background; // 1321 x 1080
    QImage moveListBackground; // 200 x 197

    // The piece picture for a piece code; an empty image for a code of neither side.
    QImage piece(int code) const;
};

// Decodes the built-in resources on first use; initBuiltInResources must have run.
const SpriteImages& builtInImages();

} // namespace qinglan
