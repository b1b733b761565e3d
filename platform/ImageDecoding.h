#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace qinglan {

// Decodes PNG bytes with libpng (alpha kept); a null image when they are not a PNG.
QImage decodePng(const QByteArray& bytes);
// PNG through decodePng, JPEG, GIF and BMP through Qt; a null image on failure.
QImage decodeImage(const QByteArray& bytes);
// Reads a file (a ":/" resource path works too) and decodes it; null on failure.
QImage loadImageFile(const QString& path);

} // namespace qinglan
