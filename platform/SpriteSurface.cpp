#include "platform/SpriteSurface.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdint>

namespace qinglan {

namespace {

// 256 MiB of pixels, as much as Qt's image readers allow by default.
constexpr double MAX_CACHE_PIXELS = 64.0 * 1024 * 1024;

// Drawn length of one axis: trunc(natural × perMille / 1000). 64-bit so that a large
// zoom of a large image cannot overflow; a non-positive zoom draws nothing.
int zoomedLength(int natural, int perMille) {
    if (natural <= 0 || perMille <= 0) return 0;
    const std::int64_t length = std::int64_t(natural) * perMille / 1000;
    // Far beyond any screen, and keeps the size within int.
    return static_cast<int>(std::min<std::int64_t>(length, 32767));
}

} // namespace

QImage applyTransparency(const QImage& image, int percent) {
    if (image.isNull()) return {};
    // Out-of-range settings (a hand-edited settings file) are read as the nearest valid
    // value: a negative percent would otherwise raise the alpha of soft edges.
    percent = std::clamp(percent, 0, 100);
    if (percent == 0) return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int u = static_cast<int>(std::lround(percent * 255.0 / 100.0));
    // Work on straight alpha so that the colour channels keep their values.
    QImage straight = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < straight.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(straight.scanLine(y));
        for (int x = 0; x < straight.width(); ++x) {
            const int alpha = std::max(0, qAlpha(line[x]) - u);
            line[x] = (line[x] & 0x00ffffffu) | (QRgb(alpha) << 24);
        }
    }
    return straight.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

SpriteSurface::SpriteSurface(QWidget* parent)
    : QWidget(parent) { }

int SpriteSurface::createSprite() {
    sprites_.emplace_back();
    return spriteCount();
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

void SpriteSurface::setImage(int id, const QImage& image) {
    Sprite* s = sprite(id);
    if (!s) return;
    // The board view hands the same shared image in at every full redraw; only a
    // different image costs a rebuild.
    if (s->image.cacheKey() == image.cacheKey() && s->image.isNull() == image.isNull()) return;
    const QRect before = spriteRect(*s);
    s->image = image;
    s->cacheStale = true;
    if (s->visible) update(before.united(spriteRect(*s)));
}

void SpriteSurface::setPosition(int id, int x, int y) {
    Sprite* s = sprite(id);
    if (!s || s->position == QPoint(x, y)) return;
    const QRect before = spriteRect(*s);
    s->position = QPoint(x, y);
    if (s->visible) {
        update(before);
        update(spriteRect(*s));
    }
}

void SpriteSurface::setVisible(int id, bool visible) {
    Sprite* s = sprite(id);
    if (!s || s->visible == visible) return;
    s->visible = visible;
    update(spriteRect(*s));
}

void SpriteSurface::setLayer(int id, int layer) {
    Sprite* s = sprite(id);
    if (!s || s->layer == layer) return;
    s->layer = layer;
    if (s->visible) update(spriteRect(*s));
}

void SpriteSurface::setZoom(int id, int xPerMille, int yPerMille) {
    Sprite* s = sprite(id);
    if (!s || (s->zoomX == xPerMille && s->zoomY == yPerMille)) return;
    const QRect before = spriteRect(*s);
    s->zoomX = xPerMille;
    s->zoomY = yPerMille;
    s->cacheStale = true;
    if (s->visible) update(before.united(spriteRect(*s)));
}

void SpriteSurface::setTransparency(int id, int percent) {
    Sprite* s = sprite(id);
    if (!s || s->transparency == percent) return;
    s->transparency = percent;
    s->cacheStale = true;
    if (s->visible) update(spriteRect(*s));
}

QSize SpriteSurface::naturalSize(int id) const {
    const Sprite* s = sprite(id);
    return s && !s->image.isNull() ? s->image.size() : QSize();
}

QPoint SpriteSurface::position(int id) const {
    const Sprite* s = sprite(id);
    return s ? s->position : QPoint();
}

bool SpriteSurface::isSpriteVisible(int id) const {
    const Sprite* s = sprite(id);
    return s && s->visible;
}

int SpriteSurface::layer(int id) const {
    const Sprite* s = sprite(id);
    return s ? s->layer : 0;
}

int SpriteSurface::transparency(int id) const {
    const Sprite* s = sprite(id);
    return s ? s->transparency : 0;
}

QSize SpriteSurface::zoomedSize(int id) const {
    const Sprite* s = sprite(id);
    return s ? spriteRect(*s).size() : QSize();
}

int SpriteSurface::cacheBuildCount() const {
    return cacheBuilds_;
}

QColor SpriteSurface::colorAt(QPoint point) {
    const QImage pixel = grab(QRect(point, QSize(1, 1))).toImage();
    return pixel.isNull() ? QColor() : pixel.pixelColor(0, 0);
}

QRect SpriteSurface::spriteRect(const Sprite& s) const {
    if (s.image.isNull()) return {};
    return QRect(s.position,
        QSize(zoomedLength(s.image.width(), s.zoomX), zoomedLength(s.image.height(), s.zoomY)));
}

void SpriteSurface::refreshCache(Sprite& s) {
    const qreal dpr = devicePixelRatioF();
    if (!s.cacheStale && s.cacheDpr == dpr) return;
    s.cacheStale = false;
    s.cacheDpr = dpr;
    s.cache = QPixmap();
    const QSize size = spriteRect(s).size();
    // Nothing to draw, or a zoom no screen could show: Qt would try to allocate it.
    if (size.isEmpty() || qint64(size.width()) * size.height() * dpr * dpr > MAX_CACHE_PIXELS)
        return;
    ++cacheBuilds_;
    // On a high-density screen the pixmap holds device pixels, so zoomed sprites stay sharp.
    const QSize deviceSize = (QSizeF(size) * dpr).toSize();
    QImage scaled = deviceSize == s.image.size()
        ? s.image
        : s.image.scaled(deviceSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    // An opaque picture drawn as it is (the background) stays opaque, so painting it is a
    // plain copy rather than a blend.
    const bool opaque = !scaled.hasAlphaChannel() && s.transparency <= 0;
    s.cache = QPixmap::fromImage(opaque ? scaled : applyTransparency(scaled, s.transparency));
    s.cache.setDevicePixelRatio(dpr);
}

void SpriteSurface::paintEvent(QPaintEvent* event) {
    // Layer first, then creation order; sorting 38 indices per paint costs nothing.
    std::vector<int> order;
    order.reserve(sprites_.size());
    for (int i = 0; i < spriteCount(); ++i) {
        const Sprite& s = sprites_[static_cast<std::size_t>(i)];
        if (s.visible && !s.image.isNull() && s.transparency < 100
            && spriteRect(s).intersects(event->rect()))
            order.push_back(i);
    }
    std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
        return sprites_[static_cast<std::size_t>(a)].layer
            < sprites_[static_cast<std::size_t>(b)].layer;
    });

    QPainter painter(this);
    for (int i : order) {
        Sprite& s = sprites_[static_cast<std::size_t>(i)];
        refreshCache(s);
        if (!s.cache.isNull()) painter.drawPixmap(s.position, s.cache);
    }
}

void SpriteSurface::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    event->accept();
    emit pressed(event->position().toPoint());
}

} // namespace qinglan
