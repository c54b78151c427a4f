// Image files decoded to plain pixels for the device: BMP, PNG, JPG and TGA through stb_image,
// DDS through our own reader (DXT1/3/5 decoded in software, uncompressed 32 and 24 bits).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// Top row first, 4 bytes a pixel in the order R, G, B, A.
struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;
};

// The largest side any image is decoded at.
constexpr int kMaxImageSide = 16384;
// The largest side of a BMP read as a bitmap: a height map, sampled by a grid of at most 65
// vertices a side, gains nothing from more, and each pixel costs 16 bytes on its way to heights.
constexpr int kMaxBitmapSide = 4096;

// Any supported format, recognised by its content rather than its extension. An image wider or
// higher than maxSide is refused before its pixels are decoded.
bool DecodeImage(const std::uint8_t* data, std::size_t size, RgbaImage& out, int maxSide = kMaxImageSide);

// One 4x4 block of DXT1, DXT3 or DXT5 (8, 16, 16 bytes) into 16 RGBA pixels, row by row.
enum class DxtKind { Dxt1, Dxt3, Dxt5 };
void DecodeDxtBlock(DxtKind kind, const std::uint8_t* block, std::uint8_t out[64]);

// The top level of a DXT-coded DDS file, as blocks, for a device that takes them as they are.
// `blocks` points into the data given.
struct DxtBlocks {
    int width = 0;
    int height = 0;
    DxtKind kind = DxtKind::Dxt1;
    const std::uint8_t* blocks = nullptr;
    std::size_t size = 0;
};
bool FindDxtBlocks(const std::uint8_t* data, std::size_t size, DxtBlocks& out);

// A BMP file without compression (1, 4, 8, 16, 24 or 32 bits a pixel, palettes, bit fields,
// bottom-up or top-down) of at most kMaxBitmapSide a side: false for anything else, and for a
// file that lacks any of the bytes its header promises. Alpha is 255.
bool DecodeBmp(const std::uint8_t* data, std::size_t size, RgbaImage& out);

}  // namespace platform
