#include "Preview.h"

#include "Art.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace resgen {

namespace {

constexpr int WINDOW_W = 756, WINDOW_H = 618;

// The program's layer blending: a transparency of t percent removes u = t*255/100 from
// every pixel's own alpha before the pixel is mixed over what lies beneath.
void blendLayer(QImage& canvas, const QImage& layer, int left, int top, int transparency) {
    const int u = int(std::lround(transparency * 255.0 / 100.0));
    const QImage src = layer.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < src.height(); ++y) {
        const int cy = top + y;
        if (cy < 0 || cy >= canvas.height()) continue;
        const auto* in = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        auto* out = reinterpret_cast<QRgb*>(canvas.scanLine(cy));
        for (int x = 0; x < src.width(); ++x) {
            const int cx = left + x;
            if (cx < 0 || cx >= canvas.width()) continue;
            const int s = u + 255 - qAlpha(in[x]);
            if (s >= 255) continue;
            const QRgb bg = out[cx];
            const auto channel
                = [s](int b, int p) { return int(std::lround(b + (p - b) * (255 - s) / 255.0)); };
            out[cx] = qRgb(channel(qRed(bg), qRed(in[x])), channel(qGreen(bg), qGreen(in[x])),
                channel(qBlue(bg), qBlue(in[x])));
        }
    }
}

QImage load(const QString& folder, const QString& name) {
    return QImage(folder + name);
}

QString pieceFile(int code) {
    return pieceFileName(code & 8, code & 7);
}

} // namespace

QImage composePreview(const QString& folder) {
    QImage canvas = load(folder, "background.jpg")
                        .scaled(WINDOW_W, WINDOW_H, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                        .convertToFormat(QImage::Format_RGB32);
    blendLayer(canvas, load(folder, "board.png"), 0, 0, 40);

    // The start position after red's opening cannon move h2e2, with both markers shown.
    const int R = 8, B = 16;
    const int back[9] = { 4, 3, 2, 1, 0, 1, 2, 3, 4 };
    int grid[10][9] = {};
    for (int f = 0; f < 9; ++f) {
        grid[0][f] = B | back[f];
        grid[9][f] = R | back[f];
    }
    grid[2][1] = grid[2][7] = B | 5;
    grid[7][1] = R | 5;
    grid[7][4] = R | 5;
    for (int f = 0; f < 9; f += 2) {
        grid[3][f] = B | 6;
        grid[6][f] = R | 6;
    }
    for (int r = 0; r < 10; ++r)
        for (int f = 0; f < 9; ++f)
            if (grid[r][f])
                blendLayer(canvas, load(folder, pieceFile(grid[r][f])), pieceLeft(f + 1),
                    pieceTop(r + 1), 10);
    const QImage frame = load(folder, "selection.png");
    blendLayer(canvas, frame, pieceLeft(8), pieceTop(8), 0);
    blendLayer(canvas, frame, pieceLeft(5), pieceTop(8), 0);
    blendLayer(canvas, load(folder, pieceFile(R)), 627, 450, 10);
    blendLayer(canvas, load(folder, pieceFile(B)), 627, 40, 10);

    // The move-list window: its own picture stretched into it, the whole window at alpha 178.
    QImage list = load(folder, "movelist.jpg")
                      .scaled(170, 200, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    list = list.convertToFormat(QImage::Format_ARGB32);
    {
        QPainter p(&list);
        QFont font(glyphFamily().replace("Serif", "Sans"));
        font.setPixelSize(14);
        p.setFont(font);
        p.setPen(Qt::black);
        p.drawText(QRect(6, 4, 160, 190), Qt::AlignLeft | Qt::AlignTop,
            "1. 炮二平五  马８进７\n2. 马二进三  车９平８");
    }
    QImage faded(list.size(), QImage::Format_ARGB32);
    for (int y = 0; y < list.height(); ++y)
        for (int x = 0; x < list.width(); ++x)
            faded.setPixel(x, y, (list.pixel(x, y) & 0xFFFFFF) | (178u << 24));
    blendLayer(canvas, faded, 571, 209, 0);

    QPainter p(&canvas);
    QFont font(glyphFamily().replace("Serif", "Sans"));
    font.setPixelSize(16);
    p.setFont(font);
    p.setPen(Qt::black);
    const char* const redNumbers[9] = { "一", "二", "三", "四", "五", "六", "七", "八", "九" };
    for (int j = 1; j <= 9; ++j) {
        p.drawText(QRect(pieceLeft(10 - j), 592, 57, 22), Qt::AlignCenter,
            QString::fromUtf8(redNumbers[j - 1]));
        p.drawText(QRect(pieceLeft(j), 3, 57, 22), Qt::AlignCenter, QString::number(j));
    }
    p.drawText(QRect(556, 97, 200, 100), Qt::AlignCenter, "黑方：青岚引擎\n用时 00:03:12");
    p.drawText(QRect(556, 507, 200, 100), Qt::AlignCenter, "红方：棋手\n用时 00:02:47");
    p.end();
    return canvas;
}

} // namespace resgen
