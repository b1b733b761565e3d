// Picture decoding: libpng on good and damaged PNG bytes (these run under
// AddressSanitizer), the formats handed to Qt, and reading files.
#include "platform/ImageDecoding.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <array>
#include <gtest/gtest.h>

using namespace qinglan;

namespace {

QImage sample() {
    QImage image(5, 3, QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgba(40 * x, 80 * y, 200, x == 0 ? 0 : 60 * x));
    return image;
}

QByteArray encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, format));
    return bytes;
}

quint32 crc32(const QByteArray& bytes) {
    quint32 crc = 0xffffffffu;
    for (char c : bytes) {
        crc ^= quint8(c);
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void putBigEndian(QByteArray& bytes, int at, quint32 value) {
    for (int k = 0; k < 4; ++k) bytes[at + k] = char(value >> (24 - 8 * k));
}

// A PNG whose header claims the given size, with a valid header checksum.
QByteArray pngClaiming(quint32 width, quint32 height) {
    QByteArray bytes = encoded(sample(), "PNG");
    // Signature (8), length (4), "IHDR" (4), then width and height; the CRC covers the
    // type and the 13 data bytes.
    putBigEndian(bytes, 16, width);
    putBigEndian(bytes, 20, height);
    putBigEndian(bytes, 29, crc32(bytes.mid(12, 17)));
    return bytes;
}

} // namespace

TEST(DecodePng, KeepsEveryPixelAndItsAlpha) {
    const QImage original = sample();
    const QImage decoded = decodePng(encoded(original, "PNG"));
    ASSERT_FALSE(decoded.isNull());
    EXPECT_EQ(decoded.format(), QImage::Format_ARGB32);
    ASSERT_EQ(decoded.size(), original.size());
    for (int y = 0; y < original.height(); ++y)
        for (int x = 1; x < original.width(); ++x)
            EXPECT_EQ(decoded.pixel(x, y), original.pixel(x, y)) << x << "," << y;
    EXPECT_EQ(qAlpha(decoded.pixel(0, 1)), 0);

    // Opaque and grey-scale PNGs come out as ARGB32 too.
    QImage grey(4, 4, QImage::Format_Grayscale8);
    grey.fill(77);
    const QImage greyDecoded = decodePng(encoded(grey, "PNG"));
    ASSERT_FALSE(greyDecoded.isNull());
    EXPECT_EQ(greyDecoded.pixel(3, 3), qRgba(77, 77, 77, 255));
}

TEST(DecodePng, RejectsEveryTruncation) {
    const QByteArray whole = encoded(sample(), "PNG");
    ASSERT_FALSE(decodePng(whole).isNull());
    // Up to the end of the image data; only the trailing end chunk may be missing.
    const qsizetype imageEnd = whole.size() - 12;
    for (qsizetype length = 0; length < imageEnd; ++length) {
        // A copy of exactly that length, so AddressSanitizer sees any read past it.
        const QByteArray cut(whole.constData(), length);
        EXPECT_TRUE(decodePng(cut).isNull()) << "length " << length;
    }
}

TEST(DecodePng, RejectsDamagedOrForeignBytes) {
    const QByteArray whole = encoded(sample(), "PNG");
    QByteArray badHeaderCrc = whole;
    badHeaderCrc[29] = char(badHeaderCrc[29] ^ 0x55);
    EXPECT_TRUE(decodePng(badHeaderCrc).isNull());

    // The image data chunk follows the header chunk (33 bytes in); damage its contents.
    const int dataStart = whole.indexOf("IDAT") + 4;
    ASSERT_GT(dataStart, 4);
    QByteArray badData = whole;
    badData[dataStart + 2] = char(badData[dataStart + 2] ^ 0xff);
    EXPECT_TRUE(decodePng(badData).isNull());

    EXPECT_TRUE(decodePng(QByteArray()).isNull());
    EXPECT_TRUE(decodePng(encoded(sample(), "BMP")).isNull());
    QByteArray garbage("\x89PNG\r\n\x1a\n", 8);
    for (int k = 0; k < 200; ++k) garbage.append(char((k * 37 + 11) & 0xff));
    EXPECT_TRUE(decodePng(garbage).isNull());
}

TEST(DecodePng, RefusesImpossibleSizesWithoutCrashing) {
    EXPECT_TRUE(decodePng(pngClaiming(100000, 100000)).isNull());
    EXPECT_TRUE(decodePng(pngClaiming(0x7fffffffu, 1)).isNull());
    EXPECT_TRUE(decodePng(pngClaiming(0, 3)).isNull());
    // A plausible header over too little data.
    EXPECT_TRUE(decodePng(pngClaiming(500, 500)).isNull());
}

TEST(DecodeImage, ChoosesTheDecoderByContent) {
    const QImage png = decodeImage(encoded(sample(), "PNG"));
    ASSERT_FALSE(png.isNull());
    EXPECT_EQ(png.pixel(2, 2), sample().pixel(2, 2));

    QImage photo(40, 30, QImage::Format_RGB32);
    photo.fill(QColor(10, 120, 230));
    const QImage jpeg = decodeImage(encoded(photo, "JPEG"));
    ASSERT_EQ(jpeg.size(), QSize(40, 30));
    EXPECT_NEAR(jpeg.pixelColor(20, 15).blue(), 230, 6);

    const QImage bmp = decodeImage(encoded(photo, "BMP"));
    ASSERT_EQ(bmp.size(), QSize(40, 30));
    EXPECT_EQ(bmp.pixel(0, 0), photo.pixel(0, 0));

    // One white pixel.
    static const unsigned char gif[] = { 'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 0xff,
        0xff, 0xff, 0, 0, 0, ',', 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 'D', 1, 0, ';' };
    const QImage gifImage = decodeImage(QByteArray(reinterpret_cast<const char*>(gif), sizeof gif));
    ASSERT_EQ(gifImage.size(), QSize(1, 1));
    EXPECT_EQ(gifImage.pixel(0, 0) & 0xffffff, 0xffffffu);

    EXPECT_TRUE(decodeImage(encoded(photo, "PPM")).isNull()); // not a background format
    EXPECT_TRUE(decodeImage(QByteArray("\xff\xd8\xff garbage", 12)).isNull());
    EXPECT_TRUE(decodeImage(QByteArray("BM")).isNull());
    EXPECT_TRUE(decodeImage(QByteArray()).isNull());
}

TEST(LoadImageFile, ReadsFilesAndResourcesAndRefusesTheRest) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("底图.png"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(encoded(sample(), "PNG"));
    file.close();
    EXPECT_EQ(loadImageFile(path).size(), QSize(5, 3));

    // Named by its contents, not by its extension.
    const QString misnamed = dir.filePath(QStringLiteral("photo.jpg"));
    ASSERT_TRUE(QFile::copy(path, misnamed));
    EXPECT_EQ(loadImageFile(misnamed).size(), QSize(5, 3));

    EXPECT_TRUE(loadImageFile(dir.filePath(QStringLiteral("missing.png"))).isNull());
    EXPECT_TRUE(loadImageFile(dir.path()).isNull());
    EXPECT_TRUE(loadImageFile(QString()).isNull());
    EXPECT_TRUE(loadImageFile(QStringLiteral("/dev/zero")).isNull());

    // Qt Widgets carries a few PNGs of its own as resources.
    const QString resource = QStringLiteral(":/qt-project.org/styles/commonstyle/images/"
                                            "standardbutton-ok-16.png");
    if (!QFile::exists(resource)) GTEST_SKIP() << "no built-in Qt resource to read";
    EXPECT_FALSE(loadImageFile(resource).isNull());
}

TEST(LoadPictureFile, ReadsEveryFormatNoLargerThanAsked) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QImage photo(600, 400, QImage::Format_RGB32);
    photo.fill(QColor(10, 120, 230));
    for (const char* format : { "PNG", "JPEG", "BMP" }) {
        SCOPED_TRACE(format);
        const QString path = dir.filePath(QString::fromLatin1(format));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(encoded(photo, format));
        file.close();
        // Each direction on its own: the background is stretched over the window anyway.
        EXPECT_EQ(loadPictureFile(path, QSize(300, 500)).size(), QSize(300, 400));
        const QImage whole = loadPictureFile(path, QSize(600, 400));
        ASSERT_EQ(whole.size(), QSize(600, 400));
        EXPECT_NEAR(whole.pixelColor(300, 200).blue(), 230, 6);
    }
    const QString notes = dir.filePath(QStringLiteral("notes.png"));
    QFile file(notes);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a picture");
    file.close();
    for (const QString& path : { notes, dir.filePath(QStringLiteral("missing.png")), dir.path() })
        EXPECT_TRUE(loadPictureFile(path, QSize(300, 300)).isNull()) << path.toStdString();
}
