// The compiled-in pictures: what the board view and the platform's PNG decoder rely on.
#include "resources/Resources.h"

#include <QCryptographicHash>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QSet>
#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

using namespace qinglan;

namespace {

QByteArray readResource(const QString& path) {
    initBuiltInResources();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

struct PngHeader {
    bool valid = false;
    int width = 0, height = 0, bitDepth = 0, colourType = -1;
};

// The IHDR chunk is always first and at a fixed offset.
PngHeader readPngHeader(const QByteArray& bytes) {
    PngHeader h;
    if (bytes.size() < 33 || !bytes.startsWith("\x89PNG\r\n\x1a\n") || bytes.mid(12, 4) != "IHDR")
        return h;
    const auto be32 = [&](int at) {
        return int((quint8(bytes[at]) << 24) | (quint8(bytes[at + 1]) << 16)
            | (quint8(bytes[at + 2]) << 8) | quint8(bytes[at + 3]));
    };
    h.valid = true;
    h.width = be32(16);
    h.height = be32(20);
    h.bitDepth = quint8(bytes[24]);
    h.colourType = quint8(bytes[25]);
    return h;
}

// Loads a resource and checks that its content (not its name) is of the given format.
QImage decode(const QString& path, const char* format) {
    initBuiltInResources();
    QImageReader reader(path);
    EXPECT_EQ(reader.format(), QByteArray(format)) << path.toStdString();
    return reader.read().convertToFormat(QImage::Format_ARGB32);
}

// 8-bit RGBA, the layout the platform layer decodes the sprite pictures into.
void expectRgbaPng(const QString& path, int width, int height) {
    const PngHeader h = readPngHeader(readResource(path));
    ASSERT_TRUE(h.valid) << path.toStdString() << " is not a PNG";
    EXPECT_EQ(h.width, width);
    EXPECT_EQ(h.height, height);
    EXPECT_EQ(h.bitDepth, 8);
    EXPECT_EQ(h.colourType, 6) << "RGBA";
}

int medianGray(const QImage& image) {
    std::vector<int> grays;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) grays.push_back(qGray(image.pixel(x, y)));
    std::nth_element(grays.begin(), grays.begin() + grays.size() / 2, grays.end());
    return grays[grays.size() / 2];
}

double meanGray(const QImage& image, const QRect& area) {
    double sum = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) sum += qGray(image.pixel(x, y));
    return sum / (area.width() * area.height());
}

} // namespace

TEST(BuiltInImages, PiecePathsCoverBothSetsAndRejectOtherTypes) {
    QSet<QString> paths;
    for (bool red : { true, false })
        for (int type = 0; type < 7; ++type) paths.insert(res::pieceImagePath(red, type));
    EXPECT_EQ(paths.size(), 14);
    EXPECT_FALSE(paths.contains(QString()));
    for (int type : { -1, 7, 8, 100 }) {
        EXPECT_EQ(res::pieceImagePath(true, type), QString()) << type;
        EXPECT_EQ(res::pieceImagePath(false, type), QString()) << type;
    }
}

TEST(BuiltInImages, PiecesAreDistinctDiscsWithTransparentCorners) {
    QSet<QByteArray> digests;
    for (bool red : { true, false }) {
        const int height = red ? 57 : 56;
        for (int type = 0; type < 7; ++type) {
            const QString path = res::pieceImagePath(red, type);
            SCOPED_TRACE(path.toStdString());
            expectRgbaPng(path, 55, height);
            digests.insert(QCryptographicHash::hash(readResource(path), QCryptographicHash::Sha1));
            const QImage image = decode(path, "png");
            ASSERT_EQ(image.size(), QSize(55, height));
            for (QPoint corner :
                { QPoint(0, 0), QPoint(54, 0), QPoint(0, height - 1), QPoint(54, height - 1) })
                EXPECT_EQ(qAlpha(image.pixel(corner)), 0) << corner.x() << "," << corner.y();
            for (QPoint inside :
                { QPoint(27, 28), QPoint(6, 28), QPoint(50, 28), QPoint(27, 4), QPoint(27, 52) })
                EXPECT_EQ(qAlpha(image.pixel(inside)), 255) << inside.x() << "," << inside.y();
        }
    }
    EXPECT_EQ(digests.size(), 14) << "two piece types share one picture";
}

// The glyph's ink tells the sides apart: a mix-up of the two sets shows up here.
TEST(BuiltInImages, GlyphInkMatchesTheSide) {
    for (bool red : { true, false }) {
        for (int type = 0; type < 7; ++type) {
            const QString path = res::pieceImagePath(red, type);
            SCOPED_TRACE(path.toStdString());
            const QImage image = decode(path, "png");
            int redInk = 0, darkInk = 0;
            for (int y = 16; y <= 40; ++y) {
                for (int x = 15; x <= 39; ++x) {
                    const QRgb c = image.pixel(x, y);
                    if (qRed(c) > 130 && qGreen(c) < 80 && qBlue(c) < 80) ++redInk;
                    if (qRed(c) < 80 && qGreen(c) < 80 && qBlue(c) < 80) ++darkInk;
                }
            }
            if (red) {
                EXPECT_GT(redInk, 40);
                EXPECT_EQ(darkInk, 0);
            } else {
                EXPECT_GT(darkInk, 40);
                EXPECT_EQ(redInk, 0);
            }
        }
    }
}

TEST(BuiltInImages, SelectionFrameIsFourBlueCornersAroundAClearMiddle) {
    expectRgbaPng(res::SELECTION_FRAME, 55, 55);
    const QImage frame = decode(res::SELECTION_FRAME, "png");
    ASSERT_EQ(frame.size(), QSize(55, 55));
    // The piece under the frame must stay fully visible.
    for (int y = 12; y <= 42; ++y)
        for (int x = 12; x <= 42; ++x) ASSERT_EQ(qAlpha(frame.pixel(x, y)), 0) << x << "," << y;
    for (QPoint origin : { QPoint(0, 0), QPoint(40, 0), QPoint(0, 40), QPoint(40, 40) }) {
        int blue = 0;
        for (int y = origin.y(); y < origin.y() + 15; ++y) {
            for (int x = origin.x(); x < origin.x() + 15; ++x) {
                const QRgb c = frame.pixel(x, y);
                if (qAlpha(c) == 255 && qBlue(c) > qRed(c) + 60 && qBlue(c) > qGreen(c) + 30)
                    ++blue;
            }
        }
        EXPECT_GT(blue, 10) << "corner at " << origin.x() << "," << origin.y();
    }
}

// The board is laid under pieces placed at (f-1)*57+22, (r-1)*57+22; its lines must cross
// under the piece centres, and the strips where the file numbers are written stay clear.
TEST(BuiltInImages, BoardIsOpaqueWithCrossingsUnderThePieceCentres) {
    expectRgbaPng(res::BOARD, 556, 618);
    const QImage board = decode(res::BOARD, "png");
    ASSERT_EQ(board.size(), QSize(556, 618));
    for (int y = 0; y < board.height(); ++y)
        for (int x = 0; x < board.width(); ++x)
            ASSERT_EQ(qAlpha(board.pixel(x, y)), 255) << x << "," << y;

    const int wood = medianGray(board);
    for (int file = 1; file <= 9; ++file) {
        for (int row = 1; row <= 10; ++row) {
            const int x = (file - 1) * 57 + 22 + 27, y = (row - 1) * 57 + 22 + 28;
            EXPECT_LT(qGray(board.pixel(x, y)), wood / 2) << "file " << file << " row " << row;
            // Off the lines, half-way to the next crossing, is wood (the river text and the
            // palace diagonals lie elsewhere).
            if (file < 9 && row != 5) {
                EXPECT_GT(qGray(board.pixel(x + 20, y + 5)), wood * 3 / 4);
            }
        }
    }
    for (int top : { 3, 592 }) {
        for (int y = top; y <= top + 22; ++y) {
            for (int x = 22; x < 22 + 9 * 57; ++x)
                ASSERT_GT(qGray(board.pixel(x, y)), wood * 3 / 4)
                    << "label strip at " << x << "," << y;
        }
    }
}

TEST(BuiltInImages, PicturesHaveTheirSizesAndFormats) {
    const struct {
        QString path;
        const char* format;
        QSize size;
    } pictures[] = {
        { res::BACKGROUND, "jpeg", { 1321, 1080 } },
        { res::MOVE_LIST_BACKGROUND, "jpeg", { 200, 197 } },
        { res::APP_ICON, "png", { 256, 256 } },
    };
    for (const auto& p : pictures) {
        SCOPED_TRACE(p.path.toStdString());
        EXPECT_EQ(decode(p.path, p.format).size(), p.size);
    }
    expectRgbaPng(res::APP_ICON, 256, 256);
    const QImage icon = decode(res::APP_ICON, "png");
    EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(icon.pixel(128, 128)), 255);
}

// Black text is written over the player column and the move list.
TEST(BuiltInImages, TextBackgroundsAreLight) {
    const QImage background = decode(res::BACKGROUND, "jpeg");
    ASSERT_FALSE(background.isNull());
    // The picture is stretched over a 756-wide window; the player column is its right 200.
    const int columnLeft = background.width() * 556 / 756;
    const QRect column(columnLeft, 0, background.width() - columnLeft, background.height());
    EXPECT_GT(meanGray(background, column), 180.0);
    const QImage list = decode(res::MOVE_LIST_BACKGROUND, "jpeg");
    ASSERT_FALSE(list.isNull());
    EXPECT_GT(meanGray(list, list.rect()), 200.0);
}
