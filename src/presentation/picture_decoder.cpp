#include "picture_decoder.h"

#include <QBuffer>
#include <QImageReader>
#include <QtEndian>
#include <cstdint>
#include <cstring>

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

std::uint32_t little(const std::string& b, std::size_t at, int size) {
    std::uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[at + i]);
    return v;
}

// The games' usual picture, a whole uncompressed 24-bit bitmap, copied row by
// row into the same 32-bit image the image library makes of it, several times
// faster: the first page waits for two or three of them. Anything else (other
// depths, compression, a file cut short) goes to the image library.
std::optional<QImage> readPlainBitmap(const std::string& b) {
    if (b.size() < 54 || little(b, 14, 4) < 40) return std::nullopt;
    const auto width = static_cast<std::int32_t>(little(b, 18, 4));
    const auto height = static_cast<std::int32_t>(little(b, 22, 4));
    if (little(b, 26, 2) != 1 || little(b, 28, 2) != 24 || little(b, 30, 4) != 0) return std::nullopt;
    if (width <= 0 || width > kMaxSide || height == 0 || height < -kMaxSide || height > kMaxSide) return std::nullopt;
    const int rows = height < 0 ? -height : height;
    const std::size_t rowBytes = (std::size_t(width) * 3 + 3) & ~std::size_t(3);
    const std::size_t offset = little(b, 10, 4);
    if (offset < 54 || offset > b.size() || (b.size() - offset) / rowBytes < std::size_t(rows)) return std::nullopt;
    QImage image(width, rows, QImage::Format_RGB32);
    if (image.isNull()) return std::nullopt;
    for (int y = 0; y < rows; ++y) {
        const char* src = b.data() + offset + rowBytes * std::size_t(height < 0 ? y : rows - 1 - y);
        auto* dst = reinterpret_cast<QRgb*>(image.scanLine(y));
        // A pixel's blue, green and red bytes, read as a little-endian word
        // with the next byte on top, are already 0x??RRGGBB: the top byte is
        // replaced by an opaque alpha. The row's last pixel is read by its
        // three bytes, so the read never passes the end of the file.
        int x = 0;
        for (; x + 1 < width; ++x, src += 3) {
            std::uint32_t word;
            std::memcpy(&word, src, sizeof word);
            dst[x] = 0xff000000u | (qFromLittleEndian(word) & 0x00ffffffu);
        }
        const auto* last = reinterpret_cast<const unsigned char*>(src);
        dst[x] = qRgb(last[2], last[1], last[0]);
    }
    return image;
}

} // namespace

std::optional<QImage> decodePicture(const std::string& bytes) {
    if (bytes.empty()) return std::nullopt;
    // Windows bitmaps, the games' own pictures, go straight to the built-in
    // reader; only other files wait for the image plugins to be asked.
    if (bytes.rfind("BM", 0) == 0) {
        if (auto plain = readPlainBitmap(bytes)) return plain;
        return readImage(bytes, "bmp", false);
    }
    return readImage(bytes, nullptr, false);
}

std::optional<QImage> decodeIcon(const std::string& bytes) {
    if (bytes.empty()) return std::nullopt;
    if (auto icon = readImage(bytes, "ico", true)) return icon;
    return readImage(bytes, nullptr, false);
}

} // namespace vorn
