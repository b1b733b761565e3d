// The board surface: the transparency rule, paint order, zoom, visibility, the number
// range, mouse presses and when the scaled pixmaps are rebuilt.
#include "platform/SpriteSurface.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace qinglan;

namespace {

QImage solid(QSize size, QColor color) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(color);
    return image;
}

int alphaAfter(int alpha, int percent) {
    const QImage out = applyTransparency(solid({ 1, 1 }, QColor(200, 100, 50, alpha)), percent);
    return qAlpha(out.pixel(0, 0));
}

// A 100 × 100 surface with a white opaque backdrop as sprite 1 on layer 0.
struct Surface {
    SpriteSurface widget;
    Surface() {
        widget.resize(100, 100);
        const int backdrop = widget.createSprite();
        widget.setImage(backdrop, solid({ 100, 100 }, Qt::white));
        widget.setLayer(backdrop, 0);
        widget.setVisible(backdrop, true);
    }
    int add(QColor color, QPoint at, int layer, QSize size = { 10, 10 }) {
        const int id = widget.createSprite();
        widget.setImage(id, solid(size, color));
        widget.setPosition(id, at.x(), at.y());
        widget.setLayer(id, layer);
        widget.setVisible(id, true);
        return id;
    }
    QRgb at(int x, int y) { return widget.colorAt({ x, y }).rgb() & 0xffffff; }
};

constexpr QRgb WHITE = 0xffffff;
constexpr QRgb RED = 0xff0000;
constexpr QRgb GREEN = 0x00ff00;
constexpr QRgb BLUE = 0x0000ff;

} // namespace

TEST(Transparency, SubtractsRoundedPercentFromEveryAlpha) {
    // u = round(percent × 255 / 100), halves away from zero: 10 → 26, 30 → 77, 50 → 128.
    struct Row {
        int percent, alpha, expected;
    };
    const Row rows[]
        = { { 0, 255, 255 }, { 10, 255, 229 }, { 30, 255, 178 }, { 40, 255, 153 }, { 50, 255, 127 },
              { 90, 255, 25 }, { 100, 255, 0 }, { 0, 100, 100 }, { 10, 100, 74 }, { 30, 100, 23 },
              { 40, 100, 0 }, { 100, 100, 0 }, { 10, 26, 0 }, { 10, 27, 1 }, { 30, 0, 0 } };
    for (const Row& row : rows)
        EXPECT_EQ(alphaAfter(row.alpha, row.percent), row.expected)
            << "percent " << row.percent << ", alpha " << row.alpha;
}

TEST(Transparency, KeepsColoursAndClampsOutOfRangePercent) {
    const QImage out = applyTransparency(solid({ 2, 2 }, QColor(200, 100, 50)), 30)
                           .convertToFormat(QImage::Format_ARGB32);
    const QColor c = out.pixelColor(1, 1);
    EXPECT_NEAR(c.red(), 200, 1);
    EXPECT_NEAR(c.green(), 100, 1);
    EXPECT_NEAR(c.blue(), 50, 1);
    EXPECT_EQ(out.format(), QImage::Format_ARGB32);
    EXPECT_EQ(applyTransparency(solid({ 1, 1 }, Qt::red), 30).format(),
        QImage::Format_ARGB32_Premultiplied);
    // A hand-edited settings file may hold anything: below 0 is opaque, above 100 gone.
    EXPECT_EQ(alphaAfter(100, -40), 100);
    EXPECT_EQ(alphaAfter(255, 250), 0);
    EXPECT_TRUE(applyTransparency(QImage(), 30).isNull());
}

TEST(SpriteSurface, BlendsATransparentSpriteOverWhatLiesBeneath) {
    Surface s;
    const int black = s.add(Qt::black, { 0, 0 }, 1);
    s.widget.setTransparency(black, 40);
    // background + (pixel − background) × (255 − s) / 255 with s = 102: 255 − 153 = 102.
    const QColor seen = s.widget.colorAt({ 5, 5 });
    EXPECT_NEAR(seen.red(), 102, 1);
    EXPECT_NEAR(seen.blue(), 102, 1);
    s.widget.setTransparency(black, 100);
    EXPECT_EQ(s.at(5, 5), WHITE);
    s.widget.setTransparency(black, 0);
    EXPECT_EQ(s.at(5, 5), 0u);
    EXPECT_EQ(s.widget.transparency(black), 0);
}

TEST(SpriteSurface, PaintsByLayerThenByNumber) {
    Surface s;
    const int red = s.add(Qt::red, { 0, 0 }, 2);
    const int green = s.add(Qt::green, { 5, 0 }, 1);
    const int blue = s.add(Qt::blue, { 0, 0 }, 2);
    EXPECT_EQ(s.at(2, 2), BLUE); // same layer: the higher number on top
    EXPECT_EQ(s.at(12, 2), GREEN);
    EXPECT_EQ(s.at(7, 2), BLUE); // green lies on a lower layer
    s.widget.setLayer(red, 3);
    EXPECT_EQ(s.at(2, 2), RED);
    s.widget.setLayer(green, 5);
    EXPECT_EQ(s.at(7, 2), GREEN);
    EXPECT_EQ(s.at(2, 2), RED);
    s.widget.setLayer(blue, -1); // below the backdrop on layer 0
    s.widget.setVisible(red, false);
    EXPECT_EQ(s.at(2, 2), WHITE);
    EXPECT_EQ(s.widget.layer(blue), -1);
}

TEST(SpriteSurface, ZoomIsPerMilleOfTheNaturalSizeTruncated) {
    Surface s;
    const int piece = s.add(Qt::red, { 10, 10 }, 1, { 55, 57 });
    EXPECT_EQ(s.widget.naturalSize(piece), QSize(55, 57));
    EXPECT_EQ(s.widget.zoomedSize(piece), QSize(55, 57));
    s.widget.setZoom(piece, 1500, 500);
    EXPECT_EQ(s.widget.zoomedSize(piece), QSize(82, 28)); // 82.5 and 28.5 truncated
    EXPECT_EQ(s.widget.naturalSize(piece), QSize(55, 57));
    EXPECT_EQ(s.at(10 + 81, 10 + 27), RED);
    EXPECT_EQ(s.at(10 + 82, 10 + 27), WHITE);
    EXPECT_EQ(s.at(10 + 81, 10 + 28), WHITE);
    s.widget.setZoom(piece, 999, 1000);
    EXPECT_EQ(s.widget.zoomedSize(piece), QSize(54, 57));
    s.widget.setZoom(piece, 0, 1000);
    EXPECT_EQ(s.widget.zoomedSize(piece), QSize(0, 57));
    EXPECT_EQ(s.at(10, 10), WHITE);
    s.widget.setZoom(piece, -500, -500);
    EXPECT_EQ(s.at(10, 10), WHITE);
    // A zoom far past any screen is not drawn rather than allocated.
    s.widget.setZoom(piece, 2000000000, 2000000000);
    EXPECT_EQ(s.widget.zoomedSize(piece), QSize(32767, 32767));
    EXPECT_EQ(s.at(10, 10), WHITE);
}

TEST(SpriteSurface, NewSpritesAreHiddenAndNumberedInCreationOrder) {
    SpriteSurface widget;
    EXPECT_EQ(widget.spriteCount(), 0);
    EXPECT_EQ(widget.createSprite(), 1);
    EXPECT_EQ(widget.createSprite(), 2);
    EXPECT_EQ(widget.spriteCount(), 2);
    EXPECT_FALSE(widget.isSpriteVisible(1));
    EXPECT_TRUE(widget.naturalSize(2).isEmpty());

    Surface s;
    const int hidden = s.widget.createSprite();
    s.widget.setImage(hidden, solid({ 10, 10 }, Qt::red));
    EXPECT_EQ(s.at(5, 5), WHITE);
    s.widget.setVisible(hidden, true);
    EXPECT_EQ(s.at(5, 5), RED);
    s.widget.setImage(hidden, QImage()); // an empty image shows nothing
    EXPECT_EQ(s.at(5, 5), WHITE);
}

TEST(SpriteSurface, IgnoresNumbersOutsideTheRange) {
    Surface s;
    const int red = s.add(Qt::red, { 0, 0 }, 1);
    for (int id : { 0, -1, red + 1, 1000 }) {
        s.widget.setImage(id, solid({ 10, 10 }, Qt::blue));
        s.widget.setPosition(id, 0, 0);
        s.widget.setVisible(id, true);
        s.widget.setLayer(id, 9);
        s.widget.setZoom(id, 3000, 3000);
        s.widget.setTransparency(id, 50);
        EXPECT_FALSE(s.widget.isSpriteVisible(id));
        EXPECT_TRUE(s.widget.naturalSize(id).isEmpty());
        EXPECT_TRUE(s.widget.zoomedSize(id).isEmpty());
        EXPECT_EQ(s.widget.position(id), QPoint());
        EXPECT_EQ(s.widget.layer(id), 0);
        EXPECT_EQ(s.widget.transparency(id), 0);
    }
    EXPECT_EQ(s.widget.spriteCount(), red);
    EXPECT_EQ(s.at(5, 5), RED);
    EXPECT_EQ(s.widget.transparency(red), 0);
}

TEST(SpriteSurface, ReportsLeftAndRightPressesOnly) {
    SpriteSurface widget;
    widget.resize(100, 100);
    QSignalSpy spy(&widget, &SpriteSurface::pressed);
    QTest::mousePress(&widget, Qt::LeftButton, {}, QPoint(12, 34));
    QTest::mousePress(&widget, Qt::RightButton, {}, QPoint(56, 78));
    QTest::mousePress(&widget, Qt::MiddleButton, {}, QPoint(1, 1));
    ASSERT_EQ(spy.count(), 2);
    EXPECT_EQ(spy.at(0).at(0).toPoint(), QPoint(12, 34));
    EXPECT_EQ(spy.at(1).at(0).toPoint(), QPoint(56, 78));
}

TEST(SpriteCache, RebuiltOnlyWhenImageZoomOrTransparencyChange) {
    Surface s;
    const QImage pieceImage = solid({ 55, 57 }, Qt::red);
    const int piece = s.add(Qt::red, { 0, 0 }, 2);
    s.widget.setImage(piece, pieceImage);
    s.widget.grab();
    const int built = s.widget.cacheBuildCount();
    EXPECT_GE(built, 2); // backdrop and piece

    for (int step = 0; step < 5; ++step) {
        s.widget.setPosition(piece, step * 7, step * 3);
        s.widget.setLayer(piece, step % 2 ? 5 : 2);
        s.widget.setVisible(piece, true);
        s.widget.grab();
    }
    s.widget.setImage(piece, pieceImage); // the same image again, as a full redraw does
    s.widget.setZoom(piece, 1000, 1000);
    s.widget.setTransparency(piece, 0);
    s.widget.grab();
    EXPECT_EQ(s.widget.cacheBuildCount(), built);
    EXPECT_EQ(s.at(30, 14), RED);

    s.widget.setTransparency(piece, 100);
    EXPECT_EQ(s.at(30, 14), WHITE);
    EXPECT_EQ(s.widget.cacheBuildCount(), built); // nothing to draw, nothing built
    s.widget.setTransparency(piece, 40);
    EXPECT_NE(s.at(30, 14), RED);
    EXPECT_EQ(s.widget.cacheBuildCount(), built + 1);
    s.widget.setZoom(piece, 500, 500);
    s.widget.grab();
    EXPECT_EQ(s.widget.cacheBuildCount(), built + 2);
    EXPECT_EQ(s.at(60, 45), WHITE); // now 27 × 28 from (28, 12)
    EXPECT_NE(s.at(54, 39), WHITE);
    s.widget.setImage(piece, solid({ 55, 57 }, Qt::blue));
    s.widget.setTransparency(piece, 0);
    EXPECT_EQ(s.at(29, 13), BLUE);
    EXPECT_EQ(s.widget.cacheBuildCount(), built + 3);
}

TEST(SpriteCache, AMoveRepaintsTheSpotLeftBehind) {
    Surface s;
    const int red = s.add(Qt::red, { 0, 0 }, 1);
    s.widget.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&s.widget));
    auto shown = [&](QPoint at) {
        QCoreApplication::processEvents();
        const QImage screen = s.widget.screen()->grabWindow(s.widget.winId()).toImage();
        return screen.pixel(at) & 0xffffff;
    };
    EXPECT_EQ(shown({ 5, 5 }), RED);
    s.widget.setPosition(red, 50, 50);
    EXPECT_EQ(shown({ 5, 5 }), WHITE);
    EXPECT_EQ(shown({ 55, 55 }), RED);
    s.widget.setVisible(red, false);
    EXPECT_EQ(shown({ 55, 55 }), WHITE);
    s.widget.setVisible(red, true);
    s.widget.setZoom(red, 300, 300);
    EXPECT_EQ(shown({ 55, 55 }), WHITE);
    EXPECT_EQ(shown({ 51, 51 }), RED);
}
