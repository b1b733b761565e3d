#include "platform/ImageDecoding.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <cstring>
#include <png.h>

namespace qinglan {

namespace {

// A background picture is a few hundred kilobytes; anything far beyond is not one, and
// reading it whole could exhaust memory.
constexpr qint64 MAX_IMAGE_FILE_BYTES = 64 * 1024 * 1024;
// The 256 MiB that Qt's own image readers allow by default, at 4 bytes a pixel.
constexpr quint64 MAX_IMAGE_PIXELS = 64 * 1024 * 1024;
// What a picture as read may take, in MiB (Qt's own default, stated so it holds).
constexpr int PICTURE_ALLOCATION_LIMIT_MB = 256;

bool startsWith(const QByteArray& bytes, const char* prefix, qsizetype length) {
    return bytes.size() >= length && std::memcmp(bytes.constData(), prefix, size_t(length)) == 0;
}

bool isPng(const QByteArray& bytes) {
    return startsWith(bytes, "\x89PNG\r\n\x1a\n", 8);
}

} // namespace

QImage decodePng(const QByteArray& bytes) {
    if (!isPng(bytes)) return {};
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    // libpng reads only inside the buffer it is given and reports a short one as an error.
    if (!png_image_begin_read_from_memory(&png, bytes.constData(), size_t(bytes.size()))) return {};
        // Format_ARGB32 is one 32-bit word 0xAARRGGBB, so its byte order follows the CPU's.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    png.format = PNG_FORMAT_BGRA;
#else
    png.format = PNG_FORMAT_ARGB;
#endif
    // A header may claim any size; QImage would try to allocate it (and with memory
    // overcommit succeed, until libpng writes the rows).
    QImage image;
    if (quint64(png.width) * png.height <= MAX_IMAGE_PIXELS)
        image = QImage(int(png.width), int(png.height), QImage::Format_ARGB32);
    if (image.isNull()) {
        png_image_free(&png);
        return {};
    }
    // The stride is counted in components, which are bytes for an 8-bit format.
    const auto stride = static_cast<png_int_32>(image.bytesPerLine());
    if (!png_image_finish_read(&png, nullptr, image.bits(), stride, nullptr)) {
        png_image_free(&png);
        return {};
    }
    png_image_free(&png);
    return image;
}

namespace {

// Only the formats a background may have, told by their first bytes; other Qt plugins
// never see the bytes.
const char* pictureFormat(const QByteArray& head) {
    if (isPng(head)) return "PNG";
    if (startsWith(head, "\xff\xd8\xff", 3)) return "JPEG";
    if (startsWith(head, "GIF87a", 6) || startsWith(head, "GIF89a", 6)) return "GIF";
    if (startsWith(head, "BM", 2)) return "BMP";
    return nullptr;
}

} // namespace

QImage decodeImage(const QByteArray& bytes) {
    if (isPng(bytes)) return decodePng(bytes);
    const char* format = pictureFormat(bytes);
    if (!format) return {};
    return QImage::fromData(bytes, format);
}

QImage loadPictureFile(const QString& path, QSize largest) {
    if (!QFileInfo(path).isFile()) return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const char* format = pictureFormat(file.peek(8));
    if (!format) return {};
    QImageReader reader(&file, format);
    reader.setAllocationLimit(PICTURE_ALLOCATION_LIMIT_MB);
    // JPEG and PNG shrink while they decode, so neither the full picture's memory nor
    // the limit above ever comes into play for them; the others shrink after reading.
    const QSize size = reader.size();
    if (size.isValid() && !largest.isEmpty() && size != size.boundedTo(largest))
        reader.setScaledSize(size.boundedTo(largest));
    return reader.read();
}

QImage loadImageFile(const QString& path) {
    // Directories, pipes and devices are not pictures, and reading one could block or
    // never end.
    if (!QFileInfo(path).isFile()) return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = file.read(MAX_IMAGE_FILE_BYTES + 1);
    if (bytes.size() > MAX_IMAGE_FILE_BYTES) return {};
    return decodeImage(bytes);
}

} // namespace qinglan
