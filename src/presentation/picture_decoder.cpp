#include "picture_decoder.h"

#include <QBuffer>
#include <QImageReader>

namespace vorn {
namespace {

constexpr int kMaxSide = 16384; // larger headers are damaged files, not scenes

std::optional<QImage> readImage(const std::string& bytes, const char* format, bool preferIcon) {
    QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setDecideFormatFromContent(format == nullptr);
    QImage best;
    do {
        const QSize size = reader.size();
        if (size.isValid() && (size.width() > kMaxSide || size.height() > kMaxSide)) return std::nullopt;
        QImage image = reader.read();
        if (image.isNull()) break;
        if (!preferIcon) return image;
        if (best.isNull() || image.size() == QSize(32, 32) ||
            (best.size() != QSize(32, 32) && image.width() > best.width()))
            best = image;
    } while (reader.jumpToNextImage());
    if (best.isNull()) return std::nullopt;
    return best;
}

} // namespace

std::optional<QImage> decodePicture(const std::string& bytes) {
    if (bytes.empty()) return std::nullopt;
    // Windows bitmaps, the games' own pictures, go straight to the built-in
    // reader; only other files wait for the image plugins to be asked.
    if (bytes.rfind("BM", 0) == 0) return readImage(bytes, "bmp", false);
    return readImage(bytes, nullptr, false);
}

std::optional<QImage> decodeIcon(const std::string& bytes) {
    if (bytes.empty()) return std::nullopt;
    if (auto icon = readImage(bytes, "ico", true)) return icon;
    return readImage(bytes, nullptr, false);
}

} // namespace vorn
