#include <gtest/gtest.h>

#include "platform/imagedecode.h"
#include "support/mediafiles.h"

namespace {

using platform::RgbaImage;

// A 3 x 2 picture with distinct corners: red, green, blue / white, black, half-grey.
std::vector<std::uint8_t> Pattern(int channels)
{
    const std::uint8_t px[6][4] = {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255},
                                   {255, 255, 255, 255}, {0, 0, 0, 255}, {128, 128, 128, 100}};
    std::vector<std::uint8_t> out;
    for (auto& p : px)
        out.insert(out.end(), p, p + channels);
    return out;
}

using testutil::DecodeImageBytes;

void ExpectPixel(const RgbaImage& img, int x, int y, int r, int g, int b, int a, int tol = 0)
{
    const std::uint8_t* p = &img.rgba[(static_cast<std::size_t>(y) * img.width + x) * 4];
    const int want[4] = {r, g, b, a};
    for (int c = 0; c < 4; ++c)
        EXPECT_NEAR(p[c], want[c], tol) << x << "," << y << " channel " << c;
}

// The first `pixels` RGBA pixels of a decoded block, every channel.
std::vector<int> BlockPixels(const std::uint8_t* out, int pixels)
{
    return std::vector<int>(out, out + pixels * 4);
}

// Channel `c` of the block's first `pixels` pixels.
std::vector<int> BlockChannel(const std::uint8_t* out, int c, int pixels)
{
    std::vector<int> values;
    for (int i = 0; i < pixels; ++i)
        values.push_back(out[i * 4 + c]);
    return values;
}

}  // namespace

// Where each format's rows and quadrants land is drawn and checked by the D3DX tests; here, what
// a drawing cannot show: alpha kept as stored, and the colours of a lossy file.
TEST(ImageDecode, CommonFormatsKeepAlphaAndColour)
{
    const std::string png = testutil::PngFile(3, 2, 4, Pattern(4)), tga = testutil::TgaFile(3, 2, 4, Pattern(4));
    RgbaImage img;
    for (const std::string* file : {&png, &tga}) {
        ASSERT_TRUE(DecodeImageBytes(*file, img));
        ExpectPixel(img, 2, 1, 128, 128, 128, 100);
    }

    // JPEG is lossy: a flat 16 x 16 orange must stay orange.
    std::vector<std::uint8_t> flat;
    for (int i = 0; i < 16 * 16; ++i)
        flat.insert(flat.end(), {240, 120, 10});
    ASSERT_TRUE(DecodeImageBytes(testutil::JpgFile(16, 16, 3, flat, 95), img));
    ExpectPixel(img, 8, 8, 240, 120, 10, 255, 6);

    EXPECT_FALSE(DecodeImageBytes("not an image at all", img));
    EXPECT_FALSE(DecodeImageBytes(png.substr(0, 20), img));
}

TEST(ImageDecode, DxtBlocksFollowTheirColourAndAlphaModes)
{
    std::uint8_t out[64];
    // Red and blue end points, indices 0,1,2,3 along the first row; the second row takes index 0.
    const std::uint8_t dxt1[8] = {0x00, 0xF8, 0x1F, 0x00, 0b11100100, 0, 0, 0};
    platform::DecodeDxtBlock(platform::DxtKind::Dxt1, dxt1, out);
    EXPECT_EQ(BlockPixels(out, 5), (std::vector<int>{255, 0, 0, 255, 0, 0, 255, 255, 170, 0, 85, 255, 85, 0, 170, 255,
                                                     255, 0, 0, 255}));

    // c0 <= c1 selects three colours and transparent black.
    const std::uint8_t punch[8] = {0x1F, 0x00, 0x00, 0xF8, 0b11100100, 0, 0, 0};
    platform::DecodeDxtBlock(platform::DxtKind::Dxt1, punch, out);
    EXPECT_EQ(BlockPixels(out, 4), (std::vector<int>{0, 0, 255, 255, 255, 0, 0, 255, 127, 0, 127, 255, 0, 0, 0, 0}));

    // DXT3: explicit 4-bit alpha; its colour block never uses the transparent mode.
    std::uint8_t dxt3[16] = {0xF0, 0x0F, 0, 0, 0, 0, 0, 0, 0x1F, 0x00, 0x00, 0xF8, 0b11100100, 0, 0, 0};
    platform::DecodeDxtBlock(platform::DxtKind::Dxt3, dxt3, out);
    EXPECT_EQ(BlockPixels(out, 4), (std::vector<int>{0, 0, 255, 0, 255, 0, 0, 255, 85, 0, 170, 255, 170, 0, 85, 0}));

    // DXT5: a0 = 255 > a1 = 0 gives six interpolated steps; a0 <= a1 gives four, then 0 and 255.
    std::uint8_t dxt5[16] = {255, 0, 0b10001000, 0b11000110, 0b11111010, 0, 0, 0, 0x00, 0xF8, 0x00, 0xF8, 0, 0, 0, 0};
    // Alpha indices of pixels 0..7: 0, 1, 2, 3, 4, 5, 6, 7.
    platform::DecodeDxtBlock(platform::DxtKind::Dxt5, dxt5, out);
    EXPECT_EQ(BlockChannel(out, 3, 8), (std::vector<int>{255, 0, 218, 182, 145, 109, 72, 36}));
    dxt5[0] = 0;
    dxt5[1] = 255;
    platform::DecodeDxtBlock(platform::DxtKind::Dxt5, dxt5, out);
    EXPECT_EQ(BlockChannel(out, 3, 8), (std::vector<int>{0, 255, 51, 102, 153, 204, 0, 255}));
}

TEST(ImageDecode, DdsFilesOfEachLayout)
{
    RgbaImage img;
    // 5 x 3 DXT1: four blocks (2 x 1), partial blocks cropped.
    const std::string red("\x00\xF8\x00\xF8\0\0\0\0", 8), blue("\x1F\x00\x1F\x00\0\0\0\0", 8);
    const std::string dxt1 = testutil::DdsHeader(5, 3, 0x4, "DXT1", 0) + red + blue;
    ASSERT_TRUE(DecodeImageBytes(dxt1, img));
    EXPECT_EQ(std::pair(img.width, img.height), std::pair(5, 3));
    ExpectPixel(img, 3, 2, 255, 0, 0, 255);
    ExpectPixel(img, 4, 0, 0, 0, 255, 255);
    EXPECT_FALSE(DecodeImageBytes(dxt1.substr(0, dxt1.size() - 1), img)) << "truncated data";

    for (const char* cc : {"DXT3", "DXT5"}) {
        std::string dds = testutil::DdsHeader(4, 4, 0x4, cc, 0);
        // DXT3: first pixels opaque; DXT5: a0 = 255.
        const std::string block = std::string("\xFF\xFF", 2) + std::string(6, '\0') + red;
        ASSERT_TRUE(DecodeImageBytes(dds + block, img)) << cc;
        ExpectPixel(img, 0, 0, 255, 0, 0, 255);
    }

    // 32-bit A8R8G8B8 stored B, G, R, A; 24-bit R8G8B8 without alpha reads opaque.
    std::string argb = testutil::DdsHeader(2, 1, 0x41, nullptr, 32);
    argb += std::string("\x10\x20\x30\x40\x01\x02\x03\x04", 8);
    ASSERT_TRUE(DecodeImageBytes(argb, img));
    ExpectPixel(img, 0, 0, 0x30, 0x20, 0x10, 0x40);
    ExpectPixel(img, 1, 0, 0x03, 0x02, 0x01, 0x04);
    std::string rgb = testutil::DdsHeader(1, 2, 0x40, nullptr, 24);
    rgb += std::string("\x10\x20\x30\x01\x02\x03", 6);
    ASSERT_TRUE(DecodeImageBytes(rgb, img));
    ExpectPixel(img, 0, 1, 0x03, 0x02, 0x01, 0xFF);

    EXPECT_FALSE(DecodeImageBytes(testutil::DdsHeader(4, 4, 0x4, "ATI2", 0) + std::string(16, '\0'), img));
    EXPECT_FALSE(DecodeImageBytes(testutil::DdsHeader(0, 4, 0x4, "DXT1", 0) + std::string(16, '\0'), img));
}

