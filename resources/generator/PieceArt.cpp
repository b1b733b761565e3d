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

// The disc's gradients as (position, colour) stops, shared by the painted images and
// the scalable icon.
struct Stop {
    double at;
    QColor colour;
};
const Stop SHADOW_STOPS[]
    = { { 0.0, QColor(0, 0, 0, 120) }, { 0.90, QColor(0, 0, 0, 90) }, { 1.0, QColor(0, 0, 0, 0) } };
const Stop RIM_STOPS[] = { { 0.0, QColor(236, 200, 140) }, { 0.55, QColor(196, 148, 86) },
    { 1.0, QColor(128, 82, 40) } };
const Stop LIP_STOPS[] = { { 0.0, QColor(246, 222, 176) }, { 1.0, QColor(150, 104, 56) } };
const Stop IVORY_STOPS[] = { { 0.0, QColor(255, 249, 232) }, { 0.45, QColor(246, 226, 186) },
    { 1.0, QColor(214, 176, 122) } };
const QColor GLYPH_LIGHT(255, 255, 255, 150);

template<typename Gradient, std::size_t N> Gradient withStops(Gradient g, const Stop (&stops)[N]) {
    for (const Stop& stop : stops) g.setColorAt(stop.at, stop.colour);
    return g;
}

// The parts of one disc of radius r centred at c, in drawing order.
struct Disc {
    QPointF shadowCentre;
    double shadowRadius;
    QLinearGradient rim, lip;
    double lipRadius, face;
    QRadialGradient shadow, ivory;
    QColor ring;
    double ringWidth;
    QPainterPath glyph;
    QPointF glyphLightOffset;
    double glyphOutline;
};

Disc discOf(QPointF c, double r, const QString& glyph, bool red) {
    Disc d;
    d.shadowCentre = c + QPointF(0, 0.05 * r);
    d.shadowRadius = r * 1.04;
    d.shadow = withStops(QRadialGradient(d.shadowCentre, d.shadowRadius), SHADOW_STOPS);
    d.rim = withStops(QLinearGradient(c - QPointF(r * 0.5, r), c + QPointF(r * 0.5, r)), RIM_STOPS);
    d.face = r * 0.88;
    d.lipRadius = d.face + r * 0.035;
    d.lip = withStops(QLinearGradient(c + QPointF(r * 0.4, r), c - QPointF(r * 0.4, r)), LIP_STOPS);
    d.ivory = withStops(
        QRadialGradient(c - QPointF(d.face * 0.35, d.face * 0.40), d.face * 1.55), IVORY_STOPS);
    d.ring = sideColour(red);
    d.ring.setAlpha(200);
    d.ringWidth = r * 0.05;
    QFont font(glyphFamily());
    font.setPixelSize(int(r * 1.08));
    font.setWeight(QFont::Black);
    d.glyph.addText(0, 0, font, glyph);
    const QRectF box = d.glyph.boundingRect();
    d.glyph.translate(c.x() - box.center().x(), c.y() - box.center().y());
    d.glyphLightOffset = QPointF(r * 0.025, r * 0.035);
    // A hairline of the same colour around the outline thickens the strokes a little: the
    // font's boldest weight is still light for a 55-pixel piece.
    d.glyphOutline = r * 0.014;
    return d;
}

// One disc of radius r centred at c: soft shadow, a bevelled wooden rim, an ivory face lit
// from the top left, an inner ring and the glyph, which sits slightly sunk into the face.
void paintDisc(QPainter& p, QPointF c, double r, const QString& glyph, bool red) {
    const Disc d = discOf(c, r, glyph, red);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(d.shadow);
    p.drawEllipse(d.shadowCentre, d.shadowRadius, d.shadowRadius);
    p.setBrush(d.rim);
    p.drawEllipse(c, r, r);
    p.setBrush(d.lip);
    p.drawEllipse(c, d.lipRadius, d.lipRadius);
    p.setBrush(d.ivory);
    p.drawEllipse(c, d.face, d.face);

    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(d.ring, d.ringWidth));
    p.drawEllipse(c, d.face * 0.86, d.face * 0.86);
    p.setPen(Qt::NoPen);

    p.setBrush(GLYPH_LIGHT);
    p.drawPath(d.glyph.translated(d.glyphLightOffset));
    p.setBrush(sideColour(red));
    p.setPen(QPen(sideColour(red), d.glyphOutline));
    p.drawPath(d.glyph);
    p.setPen(Qt::NoPen);
}

QString number(double value) {
    return QString::number(value, 'f', 2);
}

QString svgColour(const QColor& colour) {
    return colour.name(QColor::HexRgb);
}

QString svgStops(const QGradient& g) {
    QString stops;
    for (const auto& [at, colour] : g.stops())
        stops += QStringLiteral("<stop offset=\"%1\" stop-color=\"%2\" stop-opacity=\"%3\"/>")
                     .arg(number(at), svgColour(colour), number(colour.alphaF()));
    return stops;
}

QString svgLinear(const QString& id, const QLinearGradient& g) {
    return QStringLiteral("<linearGradient id=\"%1\" gradientUnits=\"userSpaceOnUse\" x1=\"%2\" "
                          "y1=\"%3\" x2=\"%4\" y2=\"%5\">%6</linearGradient>\n")
        .arg(id, number(g.start().x()), number(g.start().y()), number(g.finalStop().x()),
            number(g.finalStop().y()), svgStops(g));
}

QString svgRadial(const QString& id, const QRadialGradient& g) {
    return QStringLiteral("<radialGradient id=\"%1\" gradientUnits=\"userSpaceOnUse\" cx=\"%2\" "
                          "cy=\"%3\" r=\"%4\">%5</radialGradient>\n")
        .arg(id, number(g.center().x()), number(g.center().y()), number(g.radius()), svgStops(g));
}

QString svgCircle(QPointF c, double r, const QString& paint) {
    return QStringLiteral("<circle cx=\"%1\" cy=\"%2\" r=\"%3\" %4/>\n")
        .arg(number(c.x()), number(c.y()), number(r), paint);
}

// The outline as path data: the glyph needs no font where the icon is shown.
QString svgPathData(const QPainterPath& path) {
    QString data;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        const QString point = number(e.x) + ' ' + number(e.y);
        if (e.isMoveTo())
            data += 'M' + point;
        else if (e.isLineTo())
            data += 'L' + point;
        else if (e.isCurveTo())
            data += 'C' + point;
        else
            data += ' ' + point;
    }
    return data + 'Z';
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

namespace {

// The icon's disc in a 256-unit square: the red king, a little above the middle so the
// shadow's foot fits.
constexpr double ICON_UNITS = 256, ICON_RADIUS = 118;
const QPointF ICON_CENTRE(ICON_UNITS / 2.0, ICON_UNITS / 2.0 - 3);

} // namespace

QImage drawAppIcon(int size) {
    // Small sizes are drawn at 8x so the glyph's strokes average out cleanly.
    const int over = size >= 128 ? 2 : 8;
    QImage big = blank(size * over, size * over);
    QPainter p(&big);
    p.scale(over * size / ICON_UNITS, over * size / ICON_UNITS);
    paintDisc(p, ICON_CENTRE, ICON_RADIUS, QString::fromUtf16(RED_GLYPHS[0]), true);
    p.end();
    return finish(big, size, size);
}

QByteArray drawAppIconSvg() {
    const Disc d = discOf(ICON_CENTRE, ICON_RADIUS, QString::fromUtf16(RED_GLYPHS[0]), true);
    const QColor glyph = sideColour(true);
    QString svg = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                 "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" "
                                 "height=\"256\" viewBox=\"0 0 256 256\">\n<defs>\n");
    svg += svgRadial("shadow", d.shadow) + svgLinear("rim", d.rim) + svgLinear("lip", d.lip)
        + svgRadial("ivory", d.ivory) + "</defs>\n";
    svg += svgCircle(d.shadowCentre, d.shadowRadius, "fill=\"url(#shadow)\"");
    svg += svgCircle(ICON_CENTRE, ICON_RADIUS, "fill=\"url(#rim)\"");
    svg += svgCircle(ICON_CENTRE, d.lipRadius, "fill=\"url(#lip)\"");
    svg += svgCircle(ICON_CENTRE, d.face, "fill=\"url(#ivory)\"");
    svg += svgCircle(ICON_CENTRE, d.face * 0.86,
        QStringLiteral("fill=\"none\" stroke=\"%1\" stroke-opacity=\"%2\" stroke-width=\"%3\"")
            .arg(svgColour(d.ring), number(d.ring.alphaF()), number(d.ringWidth)));
    svg += QStringLiteral("<path fill=\"%1\" fill-opacity=\"%2\" d=\"%3\"/>\n")
               .arg(svgColour(GLYPH_LIGHT), number(GLYPH_LIGHT.alphaF()),
                   svgPathData(d.glyph.translated(d.glyphLightOffset)));
    svg += QStringLiteral("<path fill=\"%1\" stroke=\"%1\" stroke-width=\"%2\" d=\"%3\"/>\n")
               .arg(svgColour(glyph), number(d.glyphOutline), svgPathData(d.glyph));
    return (svg + "</svg>\n").toUtf8();
}

} // namespace resgen
