#include "Art.h"
#include "Noise.h"

#include <QFontDatabase>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace resgen {

namespace {

constexpr double PI = 3.14159265358979323846;

QRgb rgb(double r, double g, double b) {
    return qRgb(int(std::lround(clamp01(r / 255) * 255)), int(std::lround(clamp01(g / 255) * 255)),
        int(std::lround(clamp01(b / 255) * 255)));
}

// Warm wood with the grain running down the board: warped stripes of slightly
// different tone, fine fibres along them and a broad, slow change of colour.
// Amplitudes stay small so the lines and the pieces remain the only sharp detail.
double woodTone(int x, int y) {
    const double warp = 26 * fractalNoise(x / 210.0, y / 330.0, 3, 11);
    const double u = x + warp;
    const double band = std::sin(u * 2 * PI / 31 + 2.5 * fractalNoise(x / 90.0, y / 500.0, 2, 17));
    const double stripe = std::pow(0.5 + 0.5 * band, 3.0);
    const double fibre = fractalNoise(u / 1.6, y / 55.0, 2, 23) - 0.5;
    const double broad = fractalNoise(x / 260.0, y / 240.0, 3, 29) - 0.5;
    return 0.40 + 0.26 * stripe + 0.16 * fibre + 0.5 * broad;
}

void fillWood(QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const double t = clamp01(woodTone(x, y));
            line[x] = rgb(mix(234, 186, t), mix(178, 118, t), mix(104, 56, t));
        }
    }
}

// Darkens the picture towards its rim and lays a thin light bevel inside the edge,
// so the board reads as a raised slab over the background.
void frameEdges(QImage& image) {
    const int w = image.width(), h = image.height();
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int d = std::min(std::min(x, y), std::min(w - 1 - x, h - 1 - y));
            double f = 1.0;
            if (d == 0)
                f = 0.55;
            else if (d == 1)
                f = 0.72;
            else if (d <= 3)
                f = 1.08;
            else if (d < 14)
                f = 1.0 - 0.07 * (14 - d) / 10.0;
            if (f == 1.0) continue;
            const QRgb c = line[x];
            line[x] = rgb(qRed(c) * f, qGreen(c) * f, qBlue(c) * f);
        }
    }
}

const QColor INK(26, 13, 4);

int crossX(int file) {
    return pieceLeft(file) + CROSS;
}
int crossY(int row) {
    return pieceTop(row) + CROSS;
}

// 2-pixel lines centred on the crossing coordinate, on whole pixels so they stay crisp.
void hLine(QPainter& p, int x0, int x1, int y) {
    p.fillRect(x0 - 1, y - 1, x1 - x0 + 2, 2, INK);
}
void vLine(QPainter& p, int x, int y0, int y1) {
    p.fillRect(x - 1, y0 - 1, 2, y1 - y0 + 2, INK);
}

void drawGrid(QPainter& p) {
    for (int r = 1; r <= 10; ++r) hLine(p, crossX(1), crossX(9), crossY(r));
    vLine(p, crossX(1), crossY(1), crossY(10));
    vLine(p, crossX(9), crossY(1), crossY(10));
    for (int f = 2; f <= 8; ++f) {
        vLine(p, crossX(f), crossY(1), crossY(5));
        vLine(p, crossX(f), crossY(6), crossY(10));
    }
    // Double border: the grid's edge lines thickened outwards by one pixel, then a heavier
    // outer rule after a strip of wood.
    const int left = crossX(1) - 1, right = crossX(9) + 1;
    const int top = crossY(1) - 1, bottom = crossY(10) + 1;
    p.fillRect(left - 1, top - 1, right - left + 2, 1, INK);
    p.fillRect(left - 1, bottom, right - left + 2, 1, INK);
    p.fillRect(left - 1, top - 1, 1, bottom - top + 2, INK);
    p.fillRect(right, top - 1, 1, bottom - top + 2, INK);
    constexpr int GAP = 6, THICK = 4;
    const QRect outer(left - 1 - GAP - THICK, top - 1 - GAP - THICK,
        right - left + 2 + 2 * (GAP + THICK), bottom - top + 2 + 2 * (GAP + THICK));
    p.fillRect(outer.left(), outer.top(), outer.width(), THICK, INK);
    p.fillRect(outer.left(), outer.bottom() - THICK + 1, outer.width(), THICK, INK);
    p.fillRect(outer.left(), outer.top(), THICK, outer.height(), INK);
    p.fillRect(outer.right() - THICK + 1, outer.top(), THICK, outer.height(), INK);
}

void drawPalaces(QPainter& p) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(INK, 2.1, Qt::SolidLine, Qt::FlatCap));
    for (int top : { 1, 8 }) {
        p.drawLine(QPointF(crossX(4), crossY(top)), QPointF(crossX(6), crossY(top + 2)));
        p.drawLine(QPointF(crossX(6), crossY(top)), QPointF(crossX(4), crossY(top + 2)));
    }
    p.restore();
}

// The small corner marks around the cannon and pawn points; at the edge files only the
// inner half is drawn.
void drawPointMark(QPainter& p, int file, int row) {
    constexpr int GAP = 4, ARM = 9, W = 2;
    const int cx = crossX(file), cy = crossY(row);
    for (int sx : { -1, 1 }) {
        if ((file == 1 && sx < 0) || (file == 9 && sx > 0)) continue;
        for (int sy : { -1, 1 }) {
            const int x = sx > 0 ? cx + 1 + GAP : cx - 1 - GAP - W;
            const int y = sy > 0 ? cy + 1 + GAP : cy - 1 - GAP - W;
            const int armX = sx > 0 ? x : x + W - ARM;
            const int armY = sy > 0 ? y : y + W - ARM;
            p.fillRect(armX, y, ARM, W, INK);
            p.fillRect(x, armY, W, ARM, INK);
        }
    }
}

void drawRiverText(QPainter& p) {
    QFont font(glyphFamily());
    font.setPixelSize(38);
    font.setWeight(QFont::Bold);
    const double midY = (crossY(5) + crossY(6)) / 2.0;
    const struct {
        QString glyph;
        double file;
    } glyphs[] = { { "楚", 2.45 }, { "河", 3.55 }, { "漢", 6.45 }, { "界", 7.55 } };
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    for (const auto& g : glyphs) {
        QPainterPath path;
        path.addText(0, 0, font, g.glyph);
        const QRectF box = path.boundingRect();
        const double cx = crossX(1) + (g.file - 1) * PITCH;
        path.translate(cx - box.center().x(), midY - box.center().y());
        // A light edge below and a dark face read as characters cut into the wood.
        p.setBrush(QColor(255, 236, 200, 110));
        p.drawPath(path.translated(0.8, 1.0));
        p.setBrush(QColor(70, 38, 16, 225));
        p.drawPath(path);
    }
    p.restore();
}

} // namespace

QString glyphFamily() {
    const QStringList families = QFontDatabase::families();
    for (const char* name : { "Noto Serif CJK SC", "Noto Serif CJK TC", "Noto Sans CJK SC" })
        if (families.contains(QLatin1String(name))) return QLatin1String(name);
    return QStringLiteral("serif");
}

QImage drawBoard() {
    QImage image(BOARD_W, BOARD_H, QImage::Format_RGB32);
    fillWood(image);
    frameEdges(image);
    QPainter p(&image);
    drawGrid(p);
    drawPalaces(p);
    for (int file : { 2, 8 })
        for (int row : { 3, 8 }) drawPointMark(p, file, row);
    for (int file = 1; file <= 9; file += 2)
        for (int row : { 4, 7 }) drawPointMark(p, file, row);
    drawRiverText(p);
    p.end();
    // Written with an alpha channel (all opaque): the picture goes through the same
    // alpha-aware decoding as the piece images.
    return image.convertToFormat(QImage::Format_ARGB32);
}

QImage drawBackground() {
    QImage image(1321, 1080, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            // Soft diagonal light from the top left, mottled like handmade paper, with
            // faint irregular threads; no periodic pattern, so scaling cannot cause moire.
            const double light = 1.0 - 0.10 * (x / 1321.0 * 0.4 + y / 1080.0 * 0.6);
            const double mottle = fractalNoise(x / 140.0, y / 140.0, 4, 41) - 0.5;
            const double thread = fractalNoise(x / 2.2, y / 30.0, 2, 43) - 0.5;
            const double cross = fractalNoise(x / 30.0, y / 2.2, 2, 47) - 0.5;
            const double v = light * (1.0 + 0.06 * mottle + 0.025 * thread + 0.025 * cross);
            line[x] = rgb(234 * v, 220 * v, 192 * v);
        }
    }
    return image;
}

QImage drawMoveListBackground() {
    QImage image(200, 197, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const double fibre = fractalNoise(x / 1.8, y / 18.0, 2, 53) - 0.5;
            const double mottle = fractalNoise(x / 45.0, y / 45.0, 3, 59) - 0.5;
            const double dx = (x - 99.5) / 100.0, dy = (y - 98.0) / 98.0;
            const double vignette = 1.0 - 0.05 * (dx * dx + dy * dy);
            const double v = vignette * (1.0 + 0.02 * fibre + 0.035 * mottle);
            line[x] = rgb(250 * v, 243 * v, 226 * v);
        }
    }
    return image;
}

} // namespace resgen
