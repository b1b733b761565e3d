#include "Art.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace resgen {

namespace {

// Drawn at SUPER times the size and scaled down with area averaging: cleaner edges and
// glyph strokes than anti-aliasing at 1x.
constexpr int SUPER = 4;

const char16_t* const RED_GLYPHS[7] = { u"帥", u"仕", u"相", u"馬", u"車", u"砲", u"兵" };
const char16_t* const BLACK_GLYPHS[7] = { u"將", u"士", u"象", u"馬", u"車", u"炮", u"卒" };

QColor sideColour(bool red) {
    return red ? QColor(178, 24, 18) : QColor(28, 24, 22);
}

// One disc of radius r centred at c: soft shadow, a bevelled wooden rim, an ivory face lit
// from the top left, an inner ring and the glyph, which sits slightly sunk into the face.
void paintDisc(QPainter& p, QPointF c, double r, const QString& glyph, bool red) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);

    const QPointF shadowCentre = c + QPointF(0, 0.05 * r);
    QRadialGradient shadow(shadowCentre, r * 1.04);
    shadow.setColorAt(0.0, QColor(0, 0, 0, 120));
    shadow.setColorAt(0.90, QColor(0, 0, 0, 90));
    shadow.setColorAt(1.0, QColor(0, 0, 0, 0));
    p.setBrush(shadow);
    p.drawEllipse(shadowCentre, r * 1.04, r * 1.04);

    QLinearGradient rim(c - QPointF(r * 0.5, r), c + QPointF(r * 0.5, r));
    rim.setColorAt(0.0, QColor(236, 200, 140));
    rim.setColorAt(0.55, QColor(196, 148, 86));
    rim.setColorAt(1.0, QColor(128, 82, 40));
    p.setBrush(rim);
    p.drawEllipse(c, r, r);

    const double face = r * 0.88;
    QLinearGradient lip(c + QPointF(r * 0.4, r), c - QPointF(r * 0.4, r));
    lip.setColorAt(0.0, QColor(246, 222, 176));
    lip.setColorAt(1.0, QColor(150, 104, 56));
    p.setBrush(lip);
    p.drawEllipse(c, face + r * 0.035, face + r * 0.035);

    QRadialGradient ivory(c - QPointF(face * 0.35, face * 0.40), face * 1.55);
    ivory.setColorAt(0.0, QColor(255, 249, 232));
    ivory.setColorAt(0.45, QColor(246, 226, 186));
    ivory.setColorAt(1.0, QColor(214, 176, 122));
    p.setBrush(ivory);
    p.drawEllipse(c, face, face);

    QColor ring = sideColour(red);
    ring.setAlpha(200);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(ring, r * 0.05));
    p.drawEllipse(c, face * 0.86, face * 0.86);
    p.setPen(Qt::NoPen);

    QFont font(glyphFamily());
    font.setPixelSize(int(r * 1.08));
    font.setWeight(QFont::Black);
    QPainterPath path;
    path.addText(0, 0, font, glyph);
    const QRectF box = path.boundingRect();
    path.translate(c.x() - box.center().x(), c.y() - box.center().y());
    p.setBrush(QColor(255, 255, 255, 150));
    p.drawPath(path.translated(r * 0.025, r * 0.035));
    // A hairline of the same colour around the outline thickens the strokes a little: the
    // font's boldest weight is still light for a 55-pixel piece.
    p.setBrush(sideColour(red));
    p.setPen(QPen(sideColour(red), r * 0.014));
    p.drawPath(path);
    p.setPen(Qt::NoPen);
}

QImage finish(const QImage& big, int w, int h) {
    return big.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_ARGB32);
}

QImage blank(int w, int h) {
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

} // namespace

QImage drawPiece(bool red, int type) {
    // Red images are a pixel taller than black ones; the disc is the same in both and the
    // spare rows hold the foot of the shadow.
    const int w = 55, h = red ? 57 : 56;
    QImage big = blank(w * SUPER, h * SUPER);
    QPainter p(&big);
    p.scale(SUPER, SUPER);
    const QString glyph = QString::fromUtf16(red ? RED_GLYPHS[type] : BLACK_GLYPHS[type]);
    paintDisc(p, QPointF(CROSS, CROSS), 26.0, glyph, red);
    p.end();
    return finish(big, w, h);
}

QString pieceFileName(bool red, int type) {
    static const char* const names[7]
        = { "king", "advisor", "elephant", "horse", "chariot", "cannon", "pawn" };
    return QString(red ? "red_" : "black_") + names[type] + ".png";
}

QImage drawSelectionFrame() {
    constexpr int SIZE = 55;
    QImage big = blank(SIZE * SUPER, SIZE * SUPER);
    QPainter p(&big);
    p.scale(SUPER, SUPER);
    p.setRenderHint(QPainter::Antialiasing);
    // Each bracket is a rounded corner; a dark blue stroke under a light one keeps it
    // visible on pale wood and on a dark glyph alike.
    constexpr double INSET = 2.5, ARM = 15, BEND = 6;
    QPainterPath corner;
    corner.moveTo(INSET, INSET + ARM);
    corner.lineTo(INSET, INSET + BEND);
    corner.quadTo(INSET, INSET, INSET + BEND, INSET);
    corner.lineTo(INSET + ARM, INSET);
    for (int i = 0; i < 4; ++i) {
        p.save();
        p.translate(SIZE / 2.0, SIZE / 2.0);
        p.rotate(90 * i);
        p.translate(-SIZE / 2.0, -SIZE / 2.0);
        p.strokePath(
            corner, QPen(QColor(12, 58, 160), 4.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.strokePath(
            corner, QPen(QColor(58, 146, 255), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.restore();
    }
    p.end();
    return finish(big, SIZE, SIZE);
}

QImage drawAppIcon() {
    constexpr int SIZE = 256;
    QImage big = blank(SIZE * 2, SIZE * 2);
    QPainter p(&big);
    p.scale(2, 2);
    paintDisc(p, QPointF(SIZE / 2.0, SIZE / 2.0 - 3), 118, QString::fromUtf16(RED_GLYPHS[0]), true);
    p.end();
    return finish(big, SIZE, SIZE);
}

} // namespace resgen
