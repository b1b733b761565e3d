#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

namespace qinglan {

// Decodes PNG bytes with libpng (alpha kept); a null image when they are not a PNG.
QImage decodePng(const QByteArray& bytes);
// PNG through decodePng, JPEG, GIF and BMP through Qt; a null image on failure.
QImage decodeImage(const QByteArray& bytes);
// Reads a file (a ":/" resource path works too) and decodes it; null on failure.
QImage loadImageFile(const QString& path);
// A picture the user chose (PNG, JPEG, GIF or BMP, told by content), read no larger
// than largest in either direction: a big photo is shrunk while it is decoded, so it
// costs the memory of what is shown. Null when the file is missing or no picture.
QImage loadPictureFile(const QString& path, QSize largest);

} // namespace qinglan
