// stb_image covers the common formats; DDS is ours because stb_image does not read it and the
// models ship their textures as DDS, and BMP is ours (bmpdecode.cpp) because stb_image reads too
// few of the files other tools write.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_PSD
#define STBI_NO_GIF
#define STBI_NO_HDR
#define STBI_NO_PIC
#define STBI_NO_PNM
#define STBI_NO_STDIO
#define STBI_NO_BMP  // ours: bmpdecode.cpp
// A header may claim any size whatever the data holds, and the pixels are allocated before they
// are read: refuse what the DDS reader refuses.
#define STBI_MAX_DIMENSIONS 16384
#include <stb_image.h>

#include "platform/imagedecode.h"

#include <algorithm>
#include <cstring>

#include "platform/imagebytes.h"

namespace platform {
namespace {

using imagebytes::MaskedPixels;
using imagebytes::ReadU16;
using imagebytes::ReadU32;

constexpr std::uint32_t FourCC(char a, char b, char c, char d)
{
    return static_cast<std::uint32_t>(static_cast<std::uint8_t>(a)) |
           (static_cast<std::uint32_t>(static_cast<std::uint8_t>(b)) << 8) |
           (static_cast<std::uint32_t>(static_cast<std::uint8_t>(c)) << 16) |
           (static_cast<std::uint32_t>(static_cast<std::uint8_t>(d)) << 24);
}

// Layout of the file: "DDS ", a 124-byte header, then the levels, largest first.
constexpr std::size_t kDdsHeaderEnd = 128;
constexpr std::size_t kDdsHeight = 12;
constexpr std::size_t kDdsWidth = 16;
constexpr std::size_t kDdsPfFlags = 80;
constexpr std::size_t kDdsFourCC = 84;
constexpr std::size_t kDdsBitCount = 88;
constexpr std::size_t kDdsMasks = 92;  // R, G, B, A
constexpr std::uint32_t kPfAlphaPixels = 0x1;
constexpr std::uint32_t kPfFourCC = 0x4;

// The magic, the header's own size and a picture size the reader takes: 1 to maxSide each way.
bool ReadDdsSize(const std::uint8_t* data, std::size_t size, std::uint32_t& width, std::uint32_t& height,
                 int maxSide = kMaxImageSide)
{
    if (size < kDdsHeaderEnd || ReadU32(data) != FourCC('D', 'D', 'S', ' ') || ReadU32(data + 4) != 124)
        return false;
    height = ReadU32(data + kDdsHeight);
    width = ReadU32(data + kDdsWidth);
    const auto most = static_cast<std::uint32_t>(maxSide);
    return width != 0 && height != 0 && width <= most && height <= most;
}

void Expand565(std::uint16_t v, std::uint8_t rgb[3])
{
    const unsigned r = (v >> 11) & 31, g = (v >> 5) & 63, b = v & 31;
    rgb[0] = static_cast<std::uint8_t>((r << 3) | (r >> 2));
    rgb[1] = static_cast<std::uint8_t>((g << 2) | (g >> 4));
    rgb[2] = static_cast<std::uint8_t>((b << 3) | (b >> 2));
}

// The colour half of every DXT block. DXT3 and DXT5 always use the four-colour mode.
void DecodeColourBlock(const std::uint8_t* block, bool allowPunchThrough, std::uint8_t out[64])
{
    const std::uint16_t c0 = ReadU16(block), c1 = ReadU16(block + 2);
    std::uint8_t palette[4][4];
    Expand565(c0, palette[0]);
    Expand565(c1, palette[1]);
    palette[0][3] = palette[1][3] = 255;
    const bool fourColours = !allowPunchThrough || c0 > c1;
    for (int ch = 0; ch < 3; ++ch) {
        const int a = palette[0][ch], b = palette[1][ch];
        if (fourColours) {
            palette[2][ch] = static_cast<std::uint8_t>((2 * a + b) / 3);
            palette[3][ch] = static_cast<std::uint8_t>((a + 2 * b) / 3);
        } else {
            palette[2][ch] = static_cast<std::uint8_t>((a + b) / 2);
            palette[3][ch] = 0;
        }
    }
    palette[2][3] = 255;
    palette[3][3] = fourColours ? 255 : 0;
    const std::uint32_t bits = ReadU32(block + 4);
    for (int i = 0; i < 16; ++i)
        std::memcpy(out + i * 4, palette[(bits >> (2 * i)) & 3], 4);
}

void DecodeDxt5Alpha(const std::uint8_t* block, std::uint8_t out[64])
{
    const int a0 = block[0], a1 = block[1];
    int alpha[8] = {a0, a1};
    if (a0 > a1) {
        for (int i = 1; i <= 6; ++i)
            alpha[i + 1] = ((7 - i) * a0 + i * a1) / 7;
    } else {
        for (int i = 1; i <= 4; ++i)
            alpha[i + 1] = ((5 - i) * a0 + i * a1) / 5;
        alpha[6] = 0;
        alpha[7] = 255;
    }
    std::uint64_t bits = 0;
    for (int i = 0; i < 6; ++i)
        bits |= static_cast<std::uint64_t>(block[2 + i]) << (8 * i);
    for (int i = 0; i < 16; ++i)
        out[i * 4 + 3] = static_cast<std::uint8_t>(alpha[(bits >> (3 * i)) & 7]);
}

// stb_image grows its buffer to what a PNG chunk claims before it reads the chunk, so a few bytes
// claiming a gigabyte cost a gigabyte. A chunk reaching past the end of the data fails the decode
// anyway: such a file is refused before stb_image sees it.
bool PngChunksFit(const std::uint8_t* data, std::size_t size)
{
    static const std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (size < sizeof kSignature || std::memcmp(data, kSignature, sizeof kSignature) != 0)
        return true;
    std::size_t pos = sizeof kSignature;
    while (size - pos >= 8) {
        const std::size_t length = (static_cast<std::size_t>(data[pos]) << 24) | (data[pos + 1] << 16) |
                                   (data[pos + 2] << 8) | data[pos + 3];
        if (length > size - pos - 8)
            return false;
        pos += 8 + length;
        if (size - pos < 4)
            break;
        pos += 4;  // the chunk's check sum
    }
    return true;
}

// stb_image builds a JPEG Huffman table from its sixteen code counts without checking that they
// add up to at most 256 codes, and writes past the table when they do not. Such a file is
// refused before stb_image sees it. The walk follows the decoder's: fill bytes and the
// start-of-image marker first, then marker after marker, skipping whatever lies between them
// (coded data included); a table segment holds table after table until its length runs out.
bool JpegTablesFit(const std::uint8_t* data, std::size_t size)
{
    auto at = [&](std::size_t i) -> std::size_t { return i < size ? data[i] : 0; };
    std::size_t pos = 0;
    while (pos < size && data[pos] == 0xFF)
        ++pos;
    if (pos == 0 || at(pos) != 0xD8)
        return true;
    for (++pos; pos < size;) {
        if (data[pos++] != 0xFF)
            continue;
        while (pos < size && data[pos] == 0xFF)
            ++pos;
        const std::size_t marker = at(pos++);
        if (marker == 0xD9)
            break;
        if (marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8))
            continue;  // stuffed bytes and markers without a length
        const std::size_t length = (at(pos) << 8) | at(pos + 1);
        if (marker != 0xC4) {
            pos += length;
            continue;
        }
        std::size_t table = pos + 2, end = pos + length;
        while (table < end) {
            std::size_t codes = 0;
            for (std::size_t i = 1; i <= 16; ++i)
                codes += at(table + i);
            if (codes > 256)
                return false;
            table += 17 + codes;
        }
        if (table != end)
            break;  // the decoder refuses a segment its tables do not fill
        pos = end;
    }
    return true;
}

void DecodeDxtImage(const DxtBlocks& dxt, RgbaImage& out)
{
    const std::size_t blockBytes = dxt.kind == DxtKind::Dxt1 ? 8 : 16;
    const int w = dxt.width, h = dxt.height;
    const int bw = (w + 3) / 4, bh = (h + 3) / 4;
    out.width = w;
    out.height = h;
    out.rgba.assign(static_cast<std::size_t>(w) * h * 4, 0);
    std::uint8_t pixels[64];
    for (int by = 0; by < bh; ++by)
        for (int bx = 0; bx < bw; ++bx) {
            DecodeDxtBlock(dxt.kind, dxt.blocks + (static_cast<std::size_t>(by) * bw + bx) * blockBytes, pixels);
            for (int y = 0; y < 4 && by * 4 + y < h; ++y)
                for (int x = 0; x < 4 && bx * 4 + x < w; ++x)
                    std::memcpy(&out.rgba[(static_cast<std::size_t>(by * 4 + y) * w + bx * 4 + x) * 4],
                                pixels + (y * 4 + x) * 4, 4);
        }
}

// The first (largest) level of a DDS file.
bool DecodeDds(const std::uint8_t* data, std::size_t size, RgbaImage& out, int maxSide)
{
    std::uint32_t w, h;
    if (!ReadDdsSize(data, size, w, h, maxSide))
        return false;
    const std::uint32_t flags = ReadU32(data + kDdsPfFlags);
    if (flags & kPfFourCC) {
        DxtBlocks dxt;
        if (!FindDxtBlocks(data, size, dxt))
            return false;
        DecodeDxtImage(dxt, out);
        return true;
    }
    const std::uint8_t* pixels = data + kDdsHeaderEnd;
    const std::size_t available = size - kDdsHeaderEnd;
    const std::uint32_t bits = ReadU32(data + kDdsBitCount);
    if (bits != 32 && bits != 24 && bits != 16)
        return false;
    const std::size_t bytesPerPixel = bits / 8;
    const std::size_t pitch = bytesPerPixel * w;
    if (pitch * h > available)
        return false;
    const MaskedPixels packed(ReadU32(data + kDdsMasks), ReadU32(data + kDdsMasks + 4), ReadU32(data + kDdsMasks + 8),
                              (flags & kPfAlphaPixels) ? ReadU32(data + kDdsMasks + 12) : 0);
    out.width = static_cast<int>(w);
    out.height = static_cast<int>(h);
    out.rgba.resize(static_cast<std::size_t>(w) * h * 4);
    for (std::uint32_t y = 0; y < h; ++y)
        for (std::uint32_t x = 0; x < w; ++x)
            packed(pixels + y * pitch + x * bytesPerPixel, bytesPerPixel,
                   &out.rgba[(static_cast<std::size_t>(y) * w + x) * 4]);
    return true;
}

}  // namespace

void DecodeDxtBlock(DxtKind kind, const std::uint8_t* block, std::uint8_t out[64])
{
    switch (kind) {
    case DxtKind::Dxt1:
        DecodeColourBlock(block, true, out);
        break;
    case DxtKind::Dxt3:
        DecodeColourBlock(block + 8, false, out);
        for (int i = 0; i < 16; ++i) {
            const unsigned nibble = (block[i / 2] >> ((i & 1) * 4)) & 0xF;
            out[i * 4 + 3] = static_cast<std::uint8_t>(nibble * 17);
        }
        break;
    case DxtKind::Dxt5:
        DecodeColourBlock(block + 8, false, out);
        DecodeDxt5Alpha(block, out);
        break;
    }
}

bool FindDxtBlocks(const std::uint8_t* data, std::size_t size, DxtBlocks& out)
{
    std::uint32_t w, h;
    if (!ReadDdsSize(data, size, w, h) || !(ReadU32(data + kDdsPfFlags) & kPfFourCC))
        return false;
    const std::uint32_t cc = ReadU32(data + kDdsFourCC);
    if (cc == FourCC('D', 'X', 'T', '1'))
        out.kind = DxtKind::Dxt1;
    else if (cc == FourCC('D', 'X', 'T', '2') || cc == FourCC('D', 'X', 'T', '3'))
        out.kind = DxtKind::Dxt3;
    else if (cc == FourCC('D', 'X', 'T', '4') || cc == FourCC('D', 'X', 'T', '5'))
        out.kind = DxtKind::Dxt5;
    else
        return false;
    const std::size_t blockBytes = out.kind == DxtKind::Dxt1 ? 8 : 16;
    out.size = static_cast<std::size_t>((w + 3) / 4) * ((h + 3) / 4) * blockBytes;
    if (out.size > size - kDdsHeaderEnd)
        return false;
    out.width = static_cast<int>(w);
    out.height = static_cast<int>(h);
    out.blocks = data + kDdsHeaderEnd;
    return true;
}

bool DecodeImage(const std::uint8_t* data, std::size_t size, RgbaImage& out, int maxSide)
{
    maxSide = std::min(maxSide, kMaxImageSide);
    if (size >= 4 && ReadU32(data) == FourCC('D', 'D', 'S', ' '))
        return DecodeDds(data, size, out, maxSide);
    if (size >= 2 && data[0] == 'B' && data[1] == 'M')
        return DecodeBmp(data, size, out, maxSide);
    if (size > 0x7FFFFFFF || !PngChunksFit(data, size) || !JpegTablesFit(data, size))
        return false;
    int w = 0, h = 0, channels = 0;
    if (stbi_info_from_memory(data, static_cast<int>(size), &w, &h, &channels) &&
        (w > maxSide || h > maxSide ||
         static_cast<std::uint64_t>(w) * static_cast<std::uint64_t>(h) > size * imagebytes::kMostPixelsPerByte))
        return false;
    stbi_uc* pixels = stbi_load_from_memory(data, static_cast<int>(size), &w, &h, &channels, 4);
    if (!pixels)
        return false;
    if (w > maxSide || h > maxSide) {  // a header the size check could not read
        stbi_image_free(pixels);
        return false;
    }
    out.width = w;
    out.height = h;
    out.rgba.assign(pixels, pixels + static_cast<std::size_t>(w) * h * 4);
    stbi_image_free(pixels);
    return true;
}

}  // namespace platform
