// Prints what one repaint of the board surface costs while a piece slides: 38 sprites
// (32 pieces, two markers, two side icons, the board and the background) at 1× and 2×
// the logical 756 × 618 window. Only positions change between frames, as in an
// animation, so every frame must reuse the cached pixmaps.
#include "platform/SpriteSurface.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QPainter>
#include <cstdio>
#include <cstdlib>

using namespace qinglan;

namespace {

constexpr int LOGICAL_WIDTH = 756;
constexpr int LOGICAL_HEIGHT = 618;
constexpr int FRAMES = 200;

QImage disc(QSize size, QColor color) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(color);
    painter.drawEllipse(QRect(QPoint(0, 0), size).adjusted(1, 1, -1, -1));
    return image;
}

QImage gradient(QSize size, QColor from, QColor to) {
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient fill(0, 0, size.width(), size.height());
    fill.setColorAt(0, from);
    fill.setColorAt(1, to);
    painter.fillRect(image.rect(), fill);
    return image;
}

struct Scene {
    SpriteSurface surface;
    double scale;

    explicit Scene(double scaleFactor)
        : scale(scaleFactor) {
        surface.resize(int(LOGICAL_WIDTH * scale), int(LOGICAL_HEIGHT * scale));
        for (int n = 1; n <= 38; ++n) surface.createSprite();
        const QImage red = disc({ 55, 57 }, QColor(200, 40, 30, 230));
        const QImage black = disc({ 55, 56 }, QColor(30, 30, 30, 230));
        for (int n = 1; n <= 32; ++n) set(n, n <= 16 ? red : black, 2, 10);
        const QImage frame = disc({ 55, 55 }, QColor(40, 80, 220, 120));
        set(33, frame, 3, 0);
        set(34, frame, 3, 0);
        set(35, gradient({ 556, 618 }, QColor(230, 190, 120), QColor(200, 150, 90)), 1, 40);
        set(36, red, 2, 30);
        set(37, black, 2, 30);
        const QImage background = gradient({ 1321, 1080 }, QColor(90, 120, 90), QColor(40, 60, 50));
        set(38, background, 0, 0);
        const int zoom = int(scale * 1000);
        for (int n = 1; n <= 37; ++n) surface.setZoom(n, zoom, zoom);
        surface.setZoom(38, surface.width() * 1000 / 1321, surface.height() * 1000 / 1080);
        placeAll(0);
    }

    void set(int n, const QImage& image, int layer, int transparency) {
        surface.setImage(n, image);
        surface.setLayer(n, layer);
        surface.setTransparency(n, transparency);
    }

    void showAll(bool visible) {
        for (int n = 1; n <= 38; ++n) surface.setVisible(n, visible);
    }

    // The board view moves all 34 movable sprites each tick; only the sliding one (1)
    // actually goes somewhere.
    void placeAll(int frame) {
        for (int n = 1; n <= 34; ++n) {
            const int file = (n - 1) % 9, row = (n - 1) / 9 * 3;
            int x = file * 57 + 22, y = row * 57 + 22;
            if (n == 1) {
                x += frame % 60 * 4;
                y += frame % 60 * 2;
            }
            surface.setPosition(n, int(x * scale), int(y * scale));
        }
        surface.setPosition(35, 0, 0);
        surface.setPosition(36, int(627 * scale), int(450 * scale));
        surface.setPosition(37, int(627 * scale), int(40 * scale));
    }
};

void measure(double scale) {
    Scene scene(scale);
    scene.surface.show();
    QCoreApplication::processEvents();

    // The first paint with the sprites shown scales and blends every pixmap.
    QElapsedTimer timer;
    timer.start();
    scene.showAll(true);
    scene.surface.repaint();
    const double firstMs = double(timer.nsecsElapsed()) / 1e6;
    const int builtAfterFirst = scene.surface.cacheBuildCount();

    timer.restart();
    for (int frame = 1; frame <= FRAMES; ++frame) {
        scene.placeAll(frame);
        QCoreApplication::processEvents(); // the queued partial repaint
    }
    const double slideMs = double(timer.nsecsElapsed()) / 1e6 / FRAMES;

    timer.restart();
    for (int frame = 1; frame <= FRAMES; ++frame) {
        scene.placeAll(frame);
        scene.surface.repaint(); // the whole surface, the worst case
    }
    const double fullMs = double(timer.nsecsElapsed()) / 1e6 / FRAMES;

    std::printf("%.0fx  %4dx%-4d  first paint (builds %2d pixmaps) %7.2f ms   "
                "slide frame %6.3f ms   full repaint %6.3f ms   pixmaps rebuilt while "
                "sliding: %d\n",
        scale, scene.surface.width(), scene.surface.height(), builtAfterFirst, firstMs, slideMs,
        fullMs, scene.surface.cacheBuildCount() - builtAfterFirst);
}

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QLoggingCategory::setFilterRules(QStringLiteral("qt.qpa.*=false"));
    QApplication app(argc, argv);
    std::printf("board surface, 38 sprites, %d frames per figure\n", FRAMES);
    measure(1.0);
    measure(2.0);
    return 0;
}
