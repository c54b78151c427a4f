// Image files decoded to plain pixels for the device: PNG, JPG and TGA through stb_image, BMP and
// DDS through our own readers (DDS: DXT1/3/5 decoded in software, uncompressed 32 and 24 bits).
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

// BMP files: OS/2 1.x and Windows headers; 1, 4 and 8 bits a pixel through a palette (an index
// past its end is black), 16 and 32 bits with bit fields (5-5-5 and 8-8-8 without), 24 bits;
// uncompressed rows bottom-up or top-down, or run-length coded (RLE8, RLE4), the pixels a run
// does not reach black. Alpha comes from an alpha mask only; without one every pixel is opaque.
// Refused: other depths and compressions, broken headers, and an uncompressed file that lacks
// any byte of its rows (the last row's padding aside). A run-length file may end early.

// The size a BMP claims, read from its headers, if the reader takes the file.
bool ReadBmpSize(const std::uint8_t* data, std::size_t size, int& width, int& height);

// The pixels at the crossings of `columns` and `rows` (each strictly ascending and inside the
// image, rows counted from the top), row by row, in RGBA: a few pixels of a file of any size
// without decoding the rest. False for a file the reader refuses, or indices outside the image.
bool SampleBmp(const std::uint8_t* data, std::size_t size, const std::vector<int>& columns,
               const std::vector<int>& rows, std::vector<std::uint8_t>& rgba);

// The whole image, top row first, of at most maxSide a side and no more pixels than its bytes
// can justify.
bool DecodeBmp(const std::uint8_t* data, std::size_t size, RgbaImage& out, int maxSide = kMaxImageSide);

}  // namespace platform
