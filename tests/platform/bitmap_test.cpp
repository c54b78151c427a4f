// BMP files as other tools write them, read alike for textures (DecodeImage) and height maps
// (SampleBmp): every file here is made byte by byte.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <iterator>
#include <numeric>

#include "platform/imagedecode.h"
#include "support/mediafiles.h"

namespace {

const std::uint8_t* Bytes(const std::string& file) { return reinterpret_cast<const std::uint8_t*>(file.data()); }

std::string U32(std::uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); }
std::string U16(std::uint16_t v) { return std::string(reinterpret_cast<const char*>(&v), 2); }

// A BMP of a 40-byte header with the compression, colour count, table (masks, palette) and pixel
// bytes given; `height` negative for top-down.
std::string RawBmp(int width, int height, int bits, std::uint32_t compression, std::uint32_t colours,
                   const std::string& table, const std::string& pixels)
{
    const std::size_t offset = 54 + table.size();
    return "BM" + U32(static_cast<std::uint32_t>(offset + pixels.size())) + U32(0) +
           U32(static_cast<std::uint32_t>(offset)) + U32(40) + U32(width) + U32(height) + U16(1) + U16(bits) +
           U32(compression) + U32(static_cast<std::uint32_t>(pixels.size())) + U32(0) + U32(0) + U32(colours) + U32(0) +
           table + pixels;
}

// Palette entries (0xRRGGBB) as a Windows file stores them: blue, green, red, 0.
std::string Palette(const std::vector<std::uint32_t>& colours)
{
    std::string table;
    for (std::uint32_t c : colours)
        table += U32(c);
    return table;
}

// The reader's whole image through the texture path, which must agree with the height-map path's
// sampling at every pixel; false (and an empty image) when either refuses the file. The bytes are
// held in a buffer of exactly their size, so that a read past the file's end is one past the
// buffer, which the sanitizers and valgrind report.
bool Decode(const std::string& file, platform::RgbaImage& out)
{
    out = {};
    platform::RgbaImage bmp;
    const std::vector<std::uint8_t> exact(file.begin(), file.end());
    const bool decoded = platform::DecodeImage(exact.data(), exact.size(), out);
    EXPECT_EQ(decoded, platform::DecodeBmp(exact.data(), exact.size(), bmp));
    if (!decoded)
        return false;
    EXPECT_EQ(bmp.rgba, out.rgba);
    std::vector<int> columns(static_cast<std::size_t>(out.width)), rows(static_cast<std::size_t>(out.height));
    std::iota(columns.begin(), columns.end(), 0);
    std::iota(rows.begin(), rows.end(), 0);
    std::vector<std::uint8_t> sampled;
    EXPECT_TRUE(platform::SampleBmp(exact.data(), exact.size(), columns, rows, sampled));
    EXPECT_EQ(sampled, out.rgba);
    return true;
}

// Every pixel's R, G, B as 0xRRGGBB, top row first; with `alpha`, as 0xAARRGGBB.
std::vector<std::uint32_t> Pixels(const platform::RgbaImage& img, bool alpha = false)
{
    std::vector<std::uint32_t> out;
    for (std::size_t i = 0; i + 3 < img.rgba.size(); i += 4)
        out.push_back((alpha ? static_cast<std::uint32_t>(img.rgba[i + 3]) << 24 : 0u) | (img.rgba[i] << 16) |
                      (img.rgba[i + 1] << 8) | img.rgba[i + 2]);
    return out;
}

constexpr std::uint32_t R = 0xFF0000, G = 0x00FF00, B = 0x0000FF, W = 0xFFFFFF, K = 0x000000;

}  // namespace

// A 3 x 2 picture (odd width, so every depth pads its rows) at every depth and in both row
// orders reads the same colours, top row first, opaque: a 32-bit pixel's fourth byte is no alpha
// without an alpha mask. A truecolour file may carry a palette before its pixels.
TEST(Bitmap, EveryUncompressedDepthReadsTopRowFirst)
{
    const std::vector<std::uint32_t> palette = {K, R, G, B};
    const std::vector<std::uint32_t> indices = {1, 2, 3, 0, 1, 3};
    const std::vector<std::uint32_t> rgb = {R, G, B, K, R, B};
    const std::vector<std::uint32_t> rgb555 = {0x7C00, 0x03E0, 0x001F, 0, 0x7C00, 0x001F};
    const std::vector<std::uint32_t> rgb565 = {0xF800, 0x07E0, 0x001F, 0, 0xF800, 0x001F};
    std::vector<std::uint32_t> fourthByte = rgb;
    for (std::uint32_t& p : fourthByte)
        p |= 0x40000000;
    for (bool topDown : {false, true}) {
        const std::string files[] = {
            testutil::BmpWithBits(3, 2, 1, {1, 0, 1, 0, 1, 1}, {K, R}, topDown),
            testutil::BmpWithBits(3, 2, 4, indices, palette, topDown),
            testutil::BmpWithBits(3, 2, 8, indices, palette, topDown),
            testutil::BmpWithBits(3, 2, 16, rgb555, {}, topDown),
            testutil::BmpWithBits(3, 2, 16, rgb565, {}, topDown, {0xF800, 0x07E0, 0x001F}),
            testutil::BmpWithBits(3, 2, 24, rgb, {}, topDown),
            testutil::BmpWithBits(3, 2, 32, fourthByte, {}, topDown),
            testutil::BmpWithBits(3, 2, 16, rgb555, {W, W, W}, topDown),
            testutil::BmpWithBits(3, 2, 24, rgb, {W, W}, topDown),
        };
        for (std::size_t f = 0; f < std::size(files); ++f) {
            SCOPED_TRACE(testing::Message() << "file " << f << (topDown ? " top-down" : " bottom-up"));
            platform::RgbaImage img;
            ASSERT_TRUE(Decode(files[f], img));
            EXPECT_EQ(img.width, 3);
            std::vector<std::uint32_t> want = f == 0 ? std::vector<std::uint32_t>{R, K, R, K, R, R} : rgb;
            for (std::uint32_t& p : want)
                p |= 0xFF000000;
            EXPECT_EQ(Pixels(img, true), want);
        }
    }
}

// Alpha comes from an alpha mask: the fourth mask of BI_ALPHABITFIELDS, or the one inside a
// header of 56 bytes or more (here a 108-byte one, whose palette-less pixels follow it).
TEST(Bitmap, AlphaMasksGiveAlpha)
{
    platform::RgbaImage img;
    ASSERT_TRUE(Decode(testutil::BmpWithBits(2, 1, 32, {0x80FF0000, 0x0000FF00}, {},
                                             false, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}),
                       img));
    EXPECT_EQ(Pixels(img, true), (std::vector<std::uint32_t>{0x80FF0000, 0x0000FF00}));
    ASSERT_TRUE(Decode(testutil::BmpWithBits(2, 1, 16, {0x8000 | 0x7C00, 0x001F}, {},
                                             false, {0x7C00, 0x03E0, 0x001F, 0x8000}),
                       img));
    EXPECT_EQ(Pixels(img, true), (std::vector<std::uint32_t>{0xFFFF0000, 0x000000FF}));

    std::string v4 = RawBmp(1, 1, 32, 3, 0, "", U32(0x11223344));
    v4.replace(14, 4, U32(108));
    v4.insert(54, U32(0xFF0000) + U32(0xFF00) + U32(0xFF) + U32(0xFF000000) + std::string(52, '\0'));
    v4.replace(10, 4, U32(14 + 108));
    ASSERT_TRUE(Decode(v4, img));
    EXPECT_EQ(Pixels(img, true), (std::vector<std::uint32_t>{0x11223344}));
}

// Palette entries come from the file alone: an OS/2 1.x file's 256 three-byte entries all count
// (entry 255 included), and an index past a Windows file's shorter palette reads black.
TEST(Bitmap, PaletteIndicesReadOnlyTheFile)
{
    std::string os2Palette;
    for (int i = 0; i < 256; ++i)
        os2Palette += {static_cast<char>(i), static_cast<char>(255 - i), static_cast<char>(i / 2)};
    const std::string pixels = {'\xFF', '\x00', '\x01', '\x00'};  // one row: 255, 0, 1, padding
    const std::string os2 = "BM" + U32(static_cast<std::uint32_t>(26 + 768 + 4)) + U32(0) + U32(26 + 768) + U32(12) +
                            U16(3) + U16(1) + U16(1) + U16(8) + os2Palette + pixels;
    platform::RgbaImage img;
    ASSERT_TRUE(Decode(os2, img));
    EXPECT_EQ(Pixels(img, true), (std::vector<std::uint32_t>{0xFF7F00FF, 0xFF00FF00, 0xFF00FE01}));

    // Two colours named, indices 0, 1, 2 and 255.
    ASSERT_TRUE(Decode(RawBmp(4, 1, 8, 0, 2, Palette({R, G}), std::string("\x00\x01\x02\xFF", 4)), img));
    EXPECT_EQ(Pixels(img, true), (std::vector<std::uint32_t>{0xFFFF0000, 0xFF00FF00, 0xFF000000, 0xFF000000}));
}

// Run-length files of both kinds, every item: encoded runs, absolute runs (padded to a word when
// odd), end of line, delta, end of image. Pixels no run reaches are black, not palette entry 0.
// A run past the row's end is cut there; a file cut short keeps what it reached.
TEST(Bitmap, RunLengthFilesReadEveryKindOfRun)
{
    const std::string palette = Palette({W, R, G, B});
    const std::vector<std::uint32_t> want = {R, G, B, R, K, K,   // top row: absolute 4, end of image
                                             K, K, K, K, B, B,   // reached by the delta
                                             G, G, K, K, K, K,   // encoded 2, then a delta (2, 1)
                                             R, R, R, G, B, R};  // encoded 3, absolute 3, end of line
    const std::string rle8 = std::string("\x03\x01\x00\x03\x02\x03\x01\x00\x00\x00", 10) +
                             std::string("\x02\x02\x00\x02\x02\x01\x02\x03\x00\x00", 10) +
                             std::string("\x00\x04\x01\x02\x03\x01\x00\x01", 8);
    const std::string rle4 = std::string("\x01\x11\x00\x05\x11\x23\x10\x00\x00\x00", 10) +
                             std::string("\x02\x22\x00\x02\x02\x01\x02\x33\x00\x00", 10) +
                             std::string("\x00\x04\x12\x31\x00\x01", 6);
    platform::RgbaImage img;
    for (const auto& [bits, compression, stream] : {std::tuple{8, 1u, rle8}, std::tuple{4, 2u, rle4}}) {
        SCOPED_TRACE(bits);
        ASSERT_TRUE(Decode(RawBmp(6, 4, bits, compression, 4, palette, stream), img));
        EXPECT_EQ(Pixels(img), want);

        // Cut inside the top row's absolute run: the pixels whose bytes are there stay.
        ASSERT_TRUE(Decode(RawBmp(6, 4, bits, compression, 4, palette, stream.substr(0, stream.size() - 3)), img));
        EXPECT_EQ(Pixels(img)[0], R);
        EXPECT_EQ(Pixels(img)[3], K);
        // Cut inside the delta, with one of its two steps or none: the rows above it stay black.
        const std::size_t delta = stream.find("\x00\x02\x02\x01", 0, 4);
        for (std::size_t cut : {delta + 3, delta + 2}) {
            ASSERT_TRUE(Decode(RawBmp(6, 4, bits, compression, 4, palette, stream.substr(0, cut)), img));
            EXPECT_EQ(Pixels(img), (std::vector<std::uint32_t>{K, K, K, K, K, K, K, K, K, K, K, K, G, G, K, K, K, K,
                                                               R, R, R, G, B, R}));
        }
    }

    // A height map's rows and columns of the same file, some of them: the rows between take nothing.
    std::vector<std::uint8_t> some;
    const std::string file = RawBmp(6, 4, 8, 1, 4, palette, rle8);
    ASSERT_TRUE(platform::SampleBmp(Bytes(file), file.size(), {0, 4}, {0, 2}, some));
    platform::RgbaImage subset{2, 2, some};
    EXPECT_EQ(Pixels(subset), (std::vector<std::uint32_t>{R, K, G, K}));

    // An RLE4 run alternates its two indices, high nibble first.
    ASSERT_TRUE(Decode(RawBmp(5, 1, 4, 2, 4, palette, std::string("\x05\x12\x00\x01", 4)), img));
    EXPECT_EQ(Pixels(img), (std::vector<std::uint32_t>{R, G, R, G, R}));

    // A run of 9 in a row of 6, then one more: cut at the row's end, not carried to the next row.
    ASSERT_TRUE(Decode(RawBmp(6, 2, 8, 1, 4, palette, std::string("\x09\x01\x01\x02\x00\x00\x01\x03", 8)), img));
    EXPECT_EQ(Pixels(img), (std::vector<std::uint32_t>{B, K, K, K, K, K, R, R, R, R, R, R}));
    // Runs after the end-of-image mark draw nothing.
    ASSERT_TRUE(Decode(RawBmp(2, 2, 8, 1, 4, palette, std::string("\x02\x01\x00\x01\x00\x00\x02\x02", 8)), img));
    EXPECT_EQ(Pixels(img), (std::vector<std::uint32_t>{K, K, R, R}));
    // A delta past the top, then runs: nothing more is drawn.
    ASSERT_TRUE(Decode(RawBmp(2, 2, 8, 1, 4, palette, std::string("\x00\x02\x00\x05\x02\x01", 6)), img));
    EXPECT_EQ(Pixels(img), std::vector<std::uint32_t>(4, K));
}

// Kept refusals: JPEG and PNG inside a BMP, depths and compressions that do not go together,
// broken headers, impossible sizes, a run-length file claiming to be top-down, and a file short
// of any byte its uncompressed rows need.
TEST(Bitmap, FilesThatCannotHoldTheirClaimsFail)
{
    platform::RgbaImage img;
    const std::string good = testutil::BmpWithBits(3, 2, 24, std::vector<std::uint32_t>(6, 0x808080));
    ASSERT_TRUE(Decode(good, img));
    EXPECT_TRUE(Decode(good.substr(0, good.size() - 3), img));  // only the last row's padding gone
    EXPECT_FALSE(Decode(good.substr(0, good.size() - 4), img));
    const std::string indexed = testutil::BmpWithBits(2, 1, 8, {0, 1}, std::vector<std::uint32_t>(256, 0));
    EXPECT_FALSE(Decode(indexed.substr(0, 54 + 1023), img));
    const std::string png = testutil::PngFile(1, 1, 3, {1, 2, 3});
    EXPECT_FALSE(platform::DecodeBmp(Bytes(png), png.size(), img));
    EXPECT_FALSE(Decode(good.substr(0, 20), img));

    const std::string rle = std::string("\x02\x01\x00\x01", 4);
    const std::string refused[] = {
        RawBmp(1, 1, 24, 4, 0, "", "\xFF\xD8\xFF\xD9"),             // JPEG inside
        RawBmp(1, 1, 24, 5, 0, "", "\x89PNG\r\n\x1A\n"),            // PNG inside
        RawBmp(2, 1, 4, 1, 2, Palette({R, G}), rle),                // RLE8 of 4 bits
        RawBmp(2, 1, 8, 2, 2, Palette({R, G}), rle),                // RLE4 of 8 bits
        RawBmp(2, -1, 8, 1, 2, Palette({R, G}), rle),               // top-down RLE
        RawBmp(1, 1, 24, 3, 0, U32(0xFF) + U32(0xFF00) + U32(0xFF0000), std::string(4, '\1')),  // fields at 24
        RawBmp(1, 1, 2, 0, 4, Palette({R, G, B, W}), std::string(4, '\0')),                   // 2 bits
        RawBmp(0, 1, 24, 0, 0, "", ""),                             // no width
        RawBmp(1, 0, 24, 0, 0, "", ""),                             // no height
        RawBmp(1, INT_MIN, 24, 0, 0, "", std::string(16, '\0')),    // a height that cannot be negated
        RawBmp(255, 2, 24, 0, 0, "", std::string(24, '\0')),        // rows the file lacks
    };
    for (std::size_t i = 0; i < std::size(refused); ++i)
        EXPECT_FALSE(Decode(refused[i], img)) << i;
    std::string header = good;
    header.replace(14, 4, U32(39));
    EXPECT_FALSE(Decode(header, img));
    header.replace(14, 4, U32(static_cast<std::uint32_t>(good.size())));
    EXPECT_FALSE(Decode(header, img));
}

// A height map's few pixels come from a bitmap of any size; a texture keeps its largest side, and
// a run-length file claiming far more pixels than its bytes could hold (all black but a few) is
// no texture.
TEST(Bitmap, SamplesOfAnySizeAndTexturesWithinTheirBounds)
{
    const std::string wide = testutil::BmpWithBits(20000, 2, 1, std::vector<std::uint32_t>(40000, 1), {K, W});
    int width = 0, height = 0;
    ASSERT_TRUE(platform::ReadBmpSize(Bytes(wide), wide.size(), width, height));
    EXPECT_EQ(std::pair(width, height), std::pair(20000, 2));
    std::vector<std::uint8_t> rgba;
    ASSERT_TRUE(platform::SampleBmp(Bytes(wide), wide.size(), {0, 19999}, {1}, rgba));
    EXPECT_EQ(rgba, std::vector<std::uint8_t>(8, 255));
    for (const auto& [columns, rows] : {std::pair<std::vector<int>, std::vector<int>>{{20000}, {0}},
                                        {{0}, {2}}, {{5, 5}, {0}}, {{0}, {1, 0}}, {{-1}, {0}}})
        EXPECT_FALSE(platform::SampleBmp(Bytes(wide), wide.size(), columns, rows, rgba));
    platform::RgbaImage img;
    EXPECT_FALSE(testutil::DecodeImageBytes(wide, img));
    EXPECT_TRUE(platform::DecodeBmp(Bytes(wide), wide.size(), img, 20000));

    // 65535 x 65535 claimed by a delta to the top row and one run there.
    const std::string sparse = RawBmp(65535, 65535, 8, 1, 2, Palette({R, G}),
                                      std::string("\x00\x02\x05\xFF\x03\x01\x00\x01", 8));
    ASSERT_TRUE(platform::ReadBmpSize(Bytes(sparse), sparse.size(), width, height));
    ASSERT_TRUE(platform::SampleBmp(Bytes(sparse), sparse.size(), {0, 5, 7, 8, 65534}, {65535 - 256, 65534}, rgba));
    EXPECT_EQ(rgba, (std::vector<std::uint8_t>{0, 0, 0, 255, 0, 255, 0, 255, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255,
                                               0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255}));
    EXPECT_FALSE(platform::DecodeBmp(Bytes(sparse), sparse.size(), img, 65535));
}
