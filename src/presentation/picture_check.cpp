#include "picture_check.h"

#include <cstdint>
#include <string_view>

namespace vorn {
namespace {

constexpr std::int64_t kMaxSide = 16384;                     // larger headers are damaged files, not scenes
constexpr std::int64_t kMaxImageBytes = 256ll * 1024 * 1024; // what the image library allocates at most

std::uint32_t little(std::string_view b, std::size_t at, int size) {
    std::uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[at + i]);
    return v;
}

std::uint32_t big(std::string_view b, std::size_t at, int size) {
    std::uint32_t v = 0;
    for (int i = 0; i < size; ++i) v = (v << 8) | static_cast<unsigned char>(b[at + i]);
    return v;
}

bool sizeFits(std::int64_t width, std::int64_t height, std::int64_t bytesPerPixel) {
    return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide &&
           width * height * bytesPerPixel <= kMaxImageBytes;
}

// The bitmap's information header at `at`; `fileHeader`: a bitmap file's
// header comes before it. `inIcon`: the height counts the colour rows and the
// mask rows together.
bool checkDib(std::string_view b, std::size_t at, bool fileHeader, bool inIcon) {
    if (b.size() < at + 4) return false;
    const std::uint32_t headerSize = little(b, at, 4);
    std::int64_t width, height;
    unsigned planes, bits, compression = 0, colours = 0;
    if (headerSize == 12) {
        if (b.size() < at + 12) return false;
        width = static_cast<std::int16_t>(little(b, at + 4, 2));
        height = static_cast<std::int16_t>(little(b, at + 6, 2));
        planes = little(b, at + 8, 2);
        bits = little(b, at + 10, 2);
    } else if (headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 64 || headerSize == 108 ||
               headerSize == 124) {
        if (b.size() < at + headerSize) return false;
        width = static_cast<std::int32_t>(little(b, at + 4, 4));
        height = static_cast<std::int32_t>(little(b, at + 8, 4));
        planes = little(b, at + 12, 2);
        bits = little(b, at + 14, 2);
        compression = little(b, at + 16, 4);
        colours = little(b, at + 32, 4);
    } else {
        return false;
    }
    if (planes != 1) return false;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
    if (compression != 0 && !(bits == 8 && compression == 1) && !(bits == 4 && compression == 2) &&
        !((bits == 16 || bits == 32) && compression == 3))
        return false;
    if (inIcon) height /= 2;
    const std::int64_t rows = height < 0 ? -height : height;
    if (width <= 0 || rows == 0 || width > kMaxSide || rows > kMaxSide) return false;

    // The games' usual picture, whole and uncompressed, is shown without the
    // image library's limit on memory.
    if (fileHeader && bits == 24 && compression == 0 && headerSize >= 40) {
        const std::size_t rowBytes = (std::size_t(width) * 3 + 3) & ~std::size_t(3);
        const std::size_t offset = little(b, 10, 4);
        if (offset >= 54 && offset <= b.size() && (b.size() - offset) / rowBytes >= std::size_t(rows)) return true;
    }
    if (!sizeFits(width, rows, bits <= 8 ? 1 : 4)) return false;
    // A palette must be there whole; the pixels may be cut short.
    std::size_t paletteEnd = at + headerSize;
    if (bits <= 8) {
        const std::size_t count = colours != 0 && colours < (1u << bits) ? colours : (1u << bits);
        paletteEnd += count * (headerSize == 12 ? 3 : 4);
    } else if (compression == 3 && headerSize == 40) {
        paletteEnd += 12; // the three colour masks
    }
    return paletteEnd <= b.size();
}

bool checkBitmapFile(std::string_view b) { return b.size() >= 18 && checkDib(b, 14, true, false); }

bool checkPng(std::string_view b) {
    static constexpr std::string_view signature("\x89PNG\r\n\x1a\n", 8);
    if (b.substr(0, 8) != signature || b.size() < 33 || b.substr(12, 4) != "IHDR" || big(b, 8, 4) != 13) return false;
    const std::int64_t width = big(b, 16, 4), height = big(b, 20, 4);
    const unsigned depth = static_cast<unsigned char>(b[24]), type = static_cast<unsigned char>(b[25]);
    if (type != 0 && type != 2 && type != 3 && type != 4 && type != 6) return false;
    if (depth != 1 && depth != 2 && depth != 4 && depth != 8 && depth != 16) return false;
    return sizeFits(width, height, 4);
}

bool checkJpeg(std::string_view b) {
    if (b.size() < 4 || static_cast<unsigned char>(b[0]) != 0xFF || static_cast<unsigned char>(b[1]) != 0xD8)
        return false;
    std::size_t at = 2;
    while (at + 4 <= b.size()) {
        if (static_cast<unsigned char>(b[at]) != 0xFF) return false;
        const unsigned marker = static_cast<unsigned char>(b[at + 1]);
        if (marker == 0xFF) {
            ++at;
            continue;
        }
        const std::size_t length = big(b, at + 2, 2);
        if (length < 2) return false;
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (at + 9 > b.size()) return false;
            return sizeFits(big(b, at + 7, 2), big(b, at + 5, 2), 4);
        }
        at += 2 + length;
    }
    return false;
}

bool checkGif(std::string_view b) {
    if (b.size() < 13 || (b.substr(0, 6) != "GIF87a" && b.substr(0, 6) != "GIF89a")) return false;
    return sizeFits(little(b, 6, 2), little(b, 8, 2), 4);
}

// A Windows icon: one directory entry at least, and an image whose data lies
// in the file and whose header is sound.
bool checkIco(std::string_view b) {
    if (b.size() < 6 || little(b, 0, 2) != 0 || (little(b, 2, 2) != 1 && little(b, 2, 2) != 2)) return false;
    const std::size_t count = little(b, 4, 2);
    bool any = false;
    for (std::size_t i = 0; i < count && 6 + 16 * (i + 1) <= b.size(); ++i) {
        const std::size_t entry = 6 + 16 * i;
        const std::uint64_t size = little(b, entry + 8, 4), offset = little(b, entry + 12, 4);
        if (offset + size > b.size() || size < 4) continue;
        const std::string_view image = b.substr(offset, size);
        if (image.substr(0, 4) == std::string_view("\x89PNG", 4) ? checkPng(image) : checkDib(image, 0, false, true))
            any = true;
    }
    return any;
}

// Portable anymaps, which the image library also recognises by their contents.
bool checkAnymap(std::string_view b) {
    if (b.size() < 3 || b[0] != 'P' || b[1] < '1' || b[1] > '6') return false;
    std::size_t at = 2;
    std::int64_t values[2] = {0, 0};
    for (std::int64_t& v : values) {
        while (at < b.size() && (b[at] == ' ' || b[at] == '\t' || b[at] == '\r' || b[at] == '\n' || b[at] == '#')) {
            if (b[at] == '#')
                while (at < b.size() && b[at] != '\n') ++at;
            else
                ++at;
        }
        if (at >= b.size() || b[at] < '0' || b[at] > '9') return false;
        while (at < b.size() && b[at] >= '0' && b[at] <= '9' && v <= kMaxSide) v = v * 10 + (b[at++] - '0');
    }
    return sizeFits(values[0], values[1], 4);
}

} // namespace

bool isShowablePicture(const std::string& bytes) {
    const std::string_view b(bytes);
    if (b.empty()) return false;
    if (b.substr(0, 2) == "BM") return checkBitmapFile(b);
    return checkPng(b) || checkJpeg(b) || checkGif(b) || checkIco(b) || checkAnymap(b);
}

bool isShowableIcon(const std::string& bytes) {
    if (bytes.empty()) return false;
    return checkIco(bytes) || isShowablePicture(bytes);
}

} // namespace vorn
