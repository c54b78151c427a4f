// Damaged and hostile media files found by fuzzing: each is refused, or read into no more than its
// data justifies, and nothing of one leaks into what the rest of the file describes.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>

#include "platform/d3dx9/fontraster.h"
#include "platform/imagedecode.h"
#include "platform/d3dx9/xfile.h"
#include "support/mediafiles.h"

namespace {

using testutil::DecodeImageBytes;

std::string Be32(std::uint32_t v)
{
    return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8), static_cast<char>(v)};
}

// An uncompressed 32-bit TGA of `side` x `side` pixels followed by `pixelBytes` bytes of pixels.
std::string Tga(int side, std::size_t pixelBytes)
{
    std::string tga(18, '\0');
    tga[2] = 2;
    tga[12] = tga[14] = static_cast<char>(side & 0xFF);
    tga[13] = tga[15] = static_cast<char>(side >> 8);
    tga[16] = 32;
    return tga + std::string(pixelBytes, '\x7f');
}

}  // namespace

TEST(HostileImages, ClaimedSizesBeyondTheDataAreRefused)
{
    platform::RgbaImage img;

    // A header claiming 20000 x 20000 pixels, and no pixels; and within the largest size,
    // 4000 x 4000, still no pixels: made-up zeros are no image.
    for (const int side : {20000, 4000}) {
        EXPECT_FALSE(DecodeImageBytes(Tga(side, 0), img)) << side;
        EXPECT_TRUE(img.rgba.empty()) << side;
    }
    // The same header with its pixels is an image.
    ASSERT_TRUE(DecodeImageBytes(Tga(2, 2 * 2 * 4), img));
    EXPECT_EQ(img.width, 2);
    EXPECT_EQ(img.rgba[0], 0x7f);

    // A 2 x 2 PNG whose image-data chunk claims a gigabyte that the file does not hold.
    std::string png("\x89PNG\r\n\x1a\n", 8);
    png += Be32(13) + "IHDR" + Be32(2) + Be32(2) + std::string("\x08\x06\x00\x00\x00", 5) + Be32(0);
    png += Be32(0x40000000) + "IDAT" + std::string(16, 'x');

    // The same header with a chunk running one byte past the end, and with one that fits but
    // holds no image: both refused, neither read past the data.
    const std::string header = png.substr(0, 33);
    for (const std::string& file : {png, header + Be32(4) + "IDAT" + "abc", header + Be32(0) + "IEND"})
        EXPECT_FALSE(DecodeImageBytes(file, img)) << file.size();
}

// A JPEG Huffman table counting more than 256 codes would be built past its end.
TEST(HostileImages, HuffmanTablesOfMoreThan256CodesAreRefused)
{
    std::string jpeg = "\xFF\xD8\xFF\xC4" + std::string("\x00\x13\x00", 3) + std::string(16, '\x20');
    platform::RgbaImage img;
    EXPECT_FALSE(DecodeImageBytes(jpeg, img));
    EXPECT_FALSE(DecodeImageBytes("\xFF\xFF" + jpeg, img));  // fill bytes before the start
    // A first table of 16 codes, then a segment ending one byte into a second table, whose
    // counts the decoder reads on from what follows.
    const std::string first = std::string(1, '\x00') + std::string(16, '\x01') + std::string(16, '\x00');
    jpeg = "\xFF\xD8\xFF\xC4" + std::string("\x00\x24", 2) + first + "\x01" + std::string(16, '\x20');
    EXPECT_FALSE(DecodeImageBytes(jpeg, img));
}

TEST(HostileFonts, SizesBeyondAnyScreenDrawAtTheLargestCell)
{
    // What StringToInt makes of "height=99999999999" and of its negative, with any width.
    for (const int height : {INT_MAX, INT_MIN, -100000}) {
        for (const int width : {0, INT_MAX}) {
            platform::FontRequest request;
            request.faceName = "Arial";
            request.height = height;
            request.width = width;
            auto font = platform::FontRasterizer::Create(request);
            ASSERT_TRUE(font) << height << " x " << width;
            EXPECT_GT(font->LineHeight(), 1000) << height << " x " << width;
            EXPECT_LT(font->LineHeight(), 5000) << height << " x " << width;
            platform::TextMask mask;
            font->Layout("Ag", -1, RECT{0, 0, 64, 32}, 0, mask);
            EXPECT_LE(mask.width, 64);
            EXPECT_LE(mask.height, 32);
        }
    }
}

TEST(HostileMeshes, FacesOfAnEmptyMaterialListTakeNoLaterMaterial)
{
    // Mesh A has one material, mesh B an empty list, mesh C one material of its own.
    const char* file = "xof 0302txt 0032\n"
                       "Mesh A { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;;\n"
                       " MeshMaterialList { 1; 1; 0;; Material { 1;0;0;1;; 2; 0;0;0;; 0;0;0;; } } }\n"
                       "Mesh B { 3; 0;0;1;, 1;0;1;, 0;1;1;; 1; 3;0,1,2;;\n"
                       " MeshMaterialList { 0; 0;; } }\n"
                       "Mesh C { 3; 0;0;2;, 1;0;2;, 0;1;2;; 1; 3;0,1,2;;\n"
                       " MeshMaterialList { 1; 1; 0;; Material { 0;0;1;1;; 2; 0;0;0;; 0;0;0;; } } }\n";
    platform::XMeshData mesh;
    std::string error;
    ASSERT_TRUE(platform::ParseXFile(file, mesh, &error)) << error;
    EXPECT_EQ(mesh.materials.size(), 2u);
    EXPECT_EQ(mesh.attributes, (std::vector<std::uint32_t>{0, platform::kNoMaterial, 1}));
}
