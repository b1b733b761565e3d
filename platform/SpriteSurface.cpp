#include "platform/SpriteSurface.h"

#include <QMouseEvent>
#include <QPainter>

namespace qinglan {

SpriteSurface::SpriteSurface(QWidget* parent)
    : QWidget(parent) { }

int SpriteSurface::createSprite() {
    sprites_.emplace_back();
    return static_cast<int>(sprites_.size());
}

int SpriteSurface::spriteCount() const {
    return static_cast<int>(sprites_.size());
}

SpriteSurface::Sprite* SpriteSurface::sprite(int id) {
    if (id < 1 || id > spriteCount()) return nullptr;
    return &sprites_[static_cast<std::size_t>(id - 1)];
}

const SpriteSurface::Sprite* SpriteSurface::sprite(int id) const {
    if (id < 1 || id > spriteCount()) return nullptr;
    return &sprites_[static_cast<std::size_t>(id - 1)];
}

void SpriteSurface::setImage(int, const QImage&) { }
void SpriteSurface::setPosition(int, int, int) { }
void SpriteSurface::setVisible(int, bool) { }
void SpriteSurface::setLayer(int, int) { }
void SpriteSurface::setZoom(int, int, int) { }
void SpriteSurface::setTransparency(int, int) { }
QSize SpriteSurface::naturalSize(int) const {
    return {};
}
QPoint SpriteSurface::position(int) const {
    return {};
}
bool SpriteSurface::isSpriteVisible(int) const {
    return false;
}
int SpriteSurface::layer(int) const {
    return 0;
}
int SpriteSurface::transparency(int) const {
    return 0;
}
QSize SpriteSurface::zoomedSize(int) const {
    return {};
}
QColor SpriteSurface::colorAt(QPoint) {
    return {};
}
void SpriteSurface::paintEvent(QPaintEvent*) { }
void SpriteSurface::mousePressEvent(QMouseEvent*) { }
void SpriteSurface::refreshCache(Sprite&) { }
QRect SpriteSurface::spriteRect(const Sprite&) const {
    return {};
}

QImage applyTransparency(const QImage& image, int) {
    return image;
}

} // namespace qinglan
