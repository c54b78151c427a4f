#include <gtest/gtest.h>

#include <cstring>
#include <iterator>

#include "platform/imagedecode.h"
#include "support/mediafiles.h"

namespace {

bool Decode(const std::string& file, platform::RgbaImage& out)
{
    return platform::DecodeBmp(reinterpret_cast<const std::uint8_t*>(file.data()), file.size(), out);
}

// Every pixel's R, G, B as 0xRRGGBB, top row first.
std::vector<std::uint32_t> Rgbs(const platform::RgbaImage& img)
{
    std::vector<std::uint32_t> out;
    for (std::size_t i = 0; i + 3 < img.rgba.size(); i += 4)
        out.push_back((img.rgba[i] << 16) | (img.rgba[i + 1] << 8) | img.rgba[i + 2]);
    return out;
}

}  // namespace

// A 3 x 2 picture (odd width, so every depth pads its rows) at every depth and in both row
// orders reads the same colours, top row first.
TEST(Bitmap, EveryUncompressedDepthReadsTopRowFirst)
{
    const std::vector<std::uint32_t> palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
    const std::vector<std::uint32_t> indices = {1, 2, 3, 0, 1, 3};
    const std::vector<std::uint32_t> rgb = {0xFF0000, 0x00FF00, 0x0000FF, 0x000000, 0xFF0000, 0x0000FF};
    const std::vector<std::uint32_t> twoColours = {0xFF0000, 0x000000, 0xFF0000, 0x000000, 0xFF0000, 0xFF0000};
    const std::vector<std::uint32_t> rgb555 = {0x7C00, 0x03E0, 0x001F, 0, 0x7C00, 0x001F};
    const std::vector<std::uint32_t> rgb565 = {0xF800, 0x07E0, 0x001F, 0, 0xF800, 0x001F};
    for (bool topDown : {false, true}) {
        const std::string files[] = {
            testutil::BmpWithBits(3, 2, 1, {1, 0, 1, 0, 1, 1}, {0x000000, 0xFF0000}, topDown),
            testutil::BmpWithBits(3, 2, 4, indices, palette, topDown),
            testutil::BmpWithBits(3, 2, 8, indices, palette, topDown),
            testutil::BmpWithBits(3, 2, 16, rgb555, {}, topDown),
            testutil::BmpWithBits(3, 2, 16, rgb565, {}, topDown, {0xF800, 0x07E0, 0x001F}),
            testutil::BmpWithBits(3, 2, 24, rgb, {}, topDown),
            testutil::BmpWithBits(3, 2, 32, rgb, {}, topDown),
        };
        for (std::size_t f = 0; f < std::size(files); ++f) {
            SCOPED_TRACE(testing::Message() << "file " << f << (topDown ? " top-down" : " bottom-up"));
            platform::RgbaImage img;
            ASSERT_TRUE(Decode(files[f], img));
            EXPECT_EQ(img.width, 3);
            EXPECT_EQ(Rgbs(img), f == 0 ? twoColours : rgb);
        }
    }
}

// Nothing past the file's end is read: a file missing a byte of its pixels or of its palette
// fails, and so do compressed files and strangers.
TEST(Bitmap, FilesThatCannotHoldTheirClaimsFail)
{
    platform::RgbaImage img;
    const std::string good = testutil::BmpWithBits(3, 2, 24, std::vector<std::uint32_t>(6, 0x808080));
    ASSERT_TRUE(Decode(good, img));
    EXPECT_TRUE(Decode(good.substr(0, good.size() - 3), img));  // only the last row's padding gone
    EXPECT_FALSE(Decode(good.substr(0, good.size() - 4), img));
    const std::string indexed = testutil::BmpWithBits(2, 1, 8, {0, 1}, std::vector<std::uint32_t>(256, 0));
    EXPECT_FALSE(Decode(indexed.substr(0, 54 + 1023), img));

    std::string huge = good;
    huge[18] = '\xFF';  // a width of 255 the pixel bytes cannot hold
    EXPECT_FALSE(Decode(huge, img));
    std::string rle = testutil::BmpWithBits(2, 1, 8, {0, 1}, std::vector<std::uint32_t>(2, 0));
    rle[30] = 1;  // BI_RLE8
    EXPECT_FALSE(Decode(rle, img));
    EXPECT_FALSE(Decode(testutil::PngFile(1, 1, 3, {1, 2, 3}), img));
    EXPECT_FALSE(Decode(good.substr(0, 20), img));
}

// A bitmap (a height map) of more than 4096 pixels a side is refused: its grid samples no more.
TEST(Bitmap, SidesBeyond4096AreRefused)
{
    platform::RgbaImage img;
    const std::vector<std::uint32_t> palette = {0x000000, 0xFFFFFF};
    EXPECT_TRUE(Decode(testutil::BmpWithBits(4096, 1, 1, std::vector<std::uint32_t>(4096, 1), palette), img));
    EXPECT_FALSE(Decode(testutil::BmpWithBits(4097, 1, 1, std::vector<std::uint32_t>(4097, 1), palette), img));
    EXPECT_FALSE(Decode(testutil::BmpWithBits(1, 4097, 1, std::vector<std::uint32_t>(4097, 1), palette), img));
}
