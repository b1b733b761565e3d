#pragma once

#include <QImage>
#include <QPixmap>
#include <QWidget>
#include <vector>

namespace qinglan {

// The board surface ("动画框"): numbered sprites, each with an image, a position in
// widget pixels, visibility, a layer, a per-mille zoom of its natural size and a
// transparency percentage. Higher layers paint over lower ones; within a layer the
// lower number paints first. Scaled and blended pixmaps are cached per sprite and
// rebuilt only when the image, zoom or transparency changes, so moving a sprite
// costs a repaint and nothing else.
class SpriteSurface : public QWidget {
    Q_OBJECT
public:
    explicit SpriteSurface(QWidget* parent = nullptr);

    // Adds a hidden sprite with no image and returns its number: 1, 2, 3, ...
    int createSprite();
    int spriteCount() const;

    // Each setter ignores a number outside 1..spriteCount().
    void setImage(int id, const QImage& image);
    void setPosition(int id, int x, int y);
    void setVisible(int id, bool visible);
    void setLayer(int id, int layer);
    void setZoom(int id, int xPerMille, int yPerMille);
    // 0 draws the image as it is, 100 not at all (see applyTransparency).
    void setTransparency(int id, int percent);

    // Natural (unzoomed) size of the sprite's image; empty for no image.
    QSize naturalSize(int id) const;
    QPoint position(int id) const;
    bool isSpriteVisible(int id) const;
    int layer(int id) const;
    int transparency(int id) const;
    QSize zoomedSize(int id) const;

    // The pixel colour the surface shows at a widget point (for tests).
    QColor colorAt(QPoint point);
    // How many scaled and blended pixmaps have been built so far (for tests and benchmarks).
    int cacheBuildCount() const;

signals:
    // Left or right button pressed, in widget pixels.
    void pressed(QPoint point);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    struct Sprite {
        QImage image;
        QPixmap cache; // image zoomed and blended; rebuilt when stale
        bool cacheStale = true;
        qreal cacheDpr = 1; // device pixel ratio the cache was built for
        QPoint position;
        bool visible = false;
        int layer = 0;
        int zoomX = 1000, zoomY = 1000;
        int transparency = 0;
    };
    Sprite* sprite(int id);
    const Sprite* sprite(int id) const;
    void refreshCache(Sprite& s);
    QRect spriteRect(const Sprite& s) const;

    std::vector<Sprite> sprites_;
    int cacheBuilds_ = 0;
};

// The per-pixel transparency rule: with u = round(percent * 255 / 100) (halves away
// from zero), each pixel's alpha a becomes max(0, a - u). Works on any image format;
// returns ARGB32 premultiplied.
QImage applyTransparency(const QImage& image, int percent);

} // namespace qinglan
