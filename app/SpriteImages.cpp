#include "app/SpriteImages.h"

#include "platform/ImageDecoding.h"
#include "resources/Resources.h"

namespace qinglan {

QImage SpriteImages::piece(int code) const {
    const auto index = static_cast<std::size_t>(code & 7);
    if (index >= red.size()) return {};
    if (code & 8) return red[index];
    if (code & 16) return black[index];
    return {};
}

const SpriteImages& builtInImages() {
    static const SpriteImages images = [] {
        SpriteImages i;
        for (int type = 0; type < 7; ++type) {
            i.red[static_cast<std::size_t>(type)] = loadImageFile(res::pieceImagePath(true, type));
            i.black[static_cast<std::size_t>(type)]
                = loadImageFile(res::pieceImagePath(false, type));
        }
        i.selectionFrame = loadImageFile(res::SELECTION_FRAME);
        i.board = loadImageFile(res::BOARD);
        i.background = loadImageFile(res::BACKGROUND);
        i.moveListBackground = loadImageFile(res::MOVE_LIST_BACKGROUND);
        return i;
    }();
    return images;
}

} // namespace qinglan
