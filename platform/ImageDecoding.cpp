#include "platform/ImageDecoding.h"

namespace qinglan {

QImage decodePng(const QByteArray&) {
    return {};
}
QImage decodeImage(const QByteArray&) {
    return {};
}
QImage loadImageFile(const QString&) {
    return {};
}

} // namespace qinglan
