#include "headless_fixture.h"
#include "presentation/picture_decoder.h"

#include <QImage>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

using namespace vorn;

namespace {

QImage byTheImageLibrary(const std::string& bytes) {
    return QImage::fromData(reinterpret_cast<const uchar*>(bytes.data()), static_cast<int>(bytes.size()), "BMP")
        .convertToFormat(QImage::Format_RGB32);
}

// A 24-bit bitmap whose every pixel differs, stored bottom-up or top-down.
std::string patterned(int width, int height, bool topDown) {
    std::string b = test::bitmap(width, height);
    const unsigned rowBytes = (unsigned(width) * 3 + 3) & ~3u;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c) b[54 + y * rowBytes + x * 3 + c] = char((x * 7 + y * 13 + c * 101) & 0xFF);
    if (topDown) {
        const std::int32_t negative = -height;
        for (int i = 0; i < 4; ++i) b[22 + i] = char((std::uint32_t(negative) >> (8 * i)) & 0xFF);
    }
    return b;
}

} // namespace

TEST(PictureDecoder, PlainBitmapsDecodeExactlyAsTheImageLibraryDecodesThem) {
    for (const auto& [width, height] : {std::pair{1, 1}, {3, 2}, {5, 7}, {160, 101}, {482, 297}})
        for (const bool topDown : {false, true}) {
            const std::string bytes = patterned(width, height, topDown);
            const auto ours = decodePicture(bytes);
            ASSERT_TRUE(ours) << width << "x" << height;
            EXPECT_EQ(*ours, byTheImageLibrary(bytes)) << width << "x" << height << (topDown ? " top-down" : "");
        }
    std::ifstream file(std::filesystem::path(VORN_SOURCE_DIR) / "examples/demo/back.bmp", std::ios::binary);
    std::stringstream demo;
    demo << file.rdbuf();
    EXPECT_EQ(*decodePicture(demo.str()), byTheImageLibrary(demo.str()));
}

TEST(PictureDecoder, OtherBitmapsAreLeftToTheImageLibrary) {
    std::string cut = patterned(20, 20, false);
    cut.resize(cut.size() - 100); // the library shows the rows that are there
    const auto shown = decodePicture(cut);
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->size(), QSize(20, 20));
    EXPECT_EQ(shown->pixel(0, 19), byTheImageLibrary(cut).pixel(0, 19)) << "the top rows come last in the file";
    EXPECT_FALSE(decodePicture("not a picture"));
}
