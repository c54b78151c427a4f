// BMP files, one reading for textures and height maps alike. A pixel's colour comes only from
// the bytes of the file: a palette index past the palette's end is black, and a pixel that a
// run-length file passes over (a delta, the rest of a line, the rest of the image) is black too,
// the background Windows leaves there. Every pixel is opaque unless the file gives an alpha mask.
#include <algorithm>
#include <cstdint>
#include <numeric>

#include "platform/imagebytes.h"
#include "platform/imagedecode.h"

namespace platform {
namespace {

using imagebytes::MaskedPixels;
using imagebytes::ReadU16;
using imagebytes::ReadU32;

constexpr std::size_t kFileHeader = 14;
constexpr std::size_t kMasks = kFileHeader + 40;  // bit fields: after a 40-byte header, or inside a longer one
constexpr std::uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6;

// What the headers say, checked against the bytes there are.
struct BmpLayout {
    std::int64_t width = 0;
    std::int64_t rows = 0;
    bool topDown = false;
    unsigned bits = 0;
    std::uint32_t compression = kRgb;
    const std::uint8_t* palette = nullptr;  // `colours` entries of `entry` bytes: blue, green, red
    std::uint32_t colours = 0;
    std::size_t entry = 4;
    std::uint32_t masks[4] = {};  // red, green, blue, alpha (none: opaque)
    const std::uint8_t* pixels = nullptr;  // from the pixel offset to the end of the file
    std::size_t pixelBytes = 0;
    std::uint64_t stride = 0;  // of an uncompressed row, padded to 4 bytes
    bool RunLength() const { return compression == kRle8 || compression == kRle4; }
};

// The file header, then an info header of 12 bytes (OS/2 1.x) or 40 and more (Windows). Refused:
// sizes of 0 or past 2^31 - 1, other depths and compressions (JPEG and PNG inside a BMP among
// them), run-length files that claim to be top-down (the format has no such thing), and a
// palette, masks or uncompressed rows the file does not hold (the last row may lack its padding).
bool ReadLayout(const std::uint8_t* data, std::size_t size, BmpLayout& bmp)
{
    if (size < kFileHeader + 12 || data[0] != 'B' || data[1] != 'M')
        return false;
    const std::size_t pixelOffset = ReadU32(data + 10);
    const std::size_t headerSize = ReadU32(data + kFileHeader);
    const bool core = headerSize == 12;  // 16-bit sizes, 3-byte palette entries
    if (!core && (headerSize < 40 || headerSize > size - kFileHeader))
        return false;
    std::int64_t height;
    std::uint32_t colours = 0;
    if (core) {
        bmp.width = ReadU16(data + 18);
        height = ReadU16(data + 20);
        bmp.bits = ReadU16(data + 24);
    } else {
        bmp.width = static_cast<std::int32_t>(ReadU32(data + 18));
        height = static_cast<std::int32_t>(ReadU32(data + 22));
        bmp.bits = ReadU16(data + 28);
        bmp.compression = ReadU32(data + 30);
        colours = ReadU32(data + 46);
    }
    bmp.topDown = height < 0;
    bmp.rows = bmp.topDown ? -height : height;
    if (bmp.width <= 0 || bmp.rows <= 0 || bmp.rows > INT32_MAX)
        return false;

    const bool fields = bmp.compression == kBitFields || bmp.compression == kAlphaBitFields;
    if (bmp.RunLength()) {
        if (bmp.bits != (bmp.compression == kRle8 ? 8u : 4u) || bmp.topDown)
            return false;
    } else if (fields ? bmp.bits != 16 && bmp.bits != 32 : bmp.compression != kRgb) {
        return false;
    }
    const std::uint32_t defaults[2][4] = {{0xFF0000, 0xFF00, 0xFF, 0}, {0x7C00, 0x3E0, 0x1F, 0}};
    std::copy_n(defaults[bmp.bits == 16], 4, bmp.masks);
    if (fields) {
        // An alpha mask follows the colour masks as a fourth field, or inside a header of 56 bytes
        // or more. Only truecolour has fields, so no palette comes after them.
        const int count = bmp.compression == kAlphaBitFields || headerSize >= 56 ? 4 : 3;
        if (kMasks + 4 * static_cast<std::size_t>(count) > size)
            return false;
        for (int i = 0; i < count; ++i)
            bmp.masks[i] = ReadU32(data + kMasks + 4 * i);
    }
    const std::size_t table = kFileHeader + headerSize;
    bmp.entry = core ? 3 : 4;
    if (bmp.bits == 1 || bmp.bits == 4 || bmp.bits == 8) {
        if (colours == 0 || colours > (1u << bmp.bits))  // an OS/2 1.x palette is always full
            colours = 1u << bmp.bits;
        if (table > size || colours * bmp.entry > size - table)
            return false;
        bmp.palette = data + table;
        bmp.colours = colours;
    } else if (bmp.bits != 16 && bmp.bits != 24 && bmp.bits != 32) {
        return false;
    }
    if (pixelOffset > size)
        return false;
    bmp.pixels = data + pixelOffset;
    bmp.pixelBytes = size - pixelOffset;
    const std::uint64_t rowBits = static_cast<std::uint64_t>(bmp.width) * bmp.bits;
    bmp.stride = (rowBits + 31) / 32 * 4;
    const std::uint64_t lastRow = (rowBits + 7) / 8;
    return bmp.RunLength() ||
           (lastRow <= bmp.pixelBytes &&
            static_cast<std::uint64_t>(bmp.rows - 1) <= (bmp.pixelBytes - lastRow) / bmp.stride);
}

void PaletteColour(const BmpLayout& bmp, unsigned index, std::uint8_t* out)
{
    if (index < bmp.colours) {
        const std::uint8_t* c = bmp.palette + index * bmp.entry;
        out[0] = c[2];
        out[1] = c[1];
        out[2] = c[0];
    } else {
        out[0] = out[1] = out[2] = 0;
    }
    out[3] = 255;
}

void SampleUncompressed(const BmpLayout& bmp, const std::vector<int>& columns, const std::vector<int>& rows,
                        std::uint8_t* out)
{
    const MaskedPixels packed(bmp.masks[0], bmp.masks[1], bmp.masks[2], bmp.masks[3]);
    const std::size_t bytesPerPixel = bmp.bits / 8;
    for (const int y : rows) {
        const std::int64_t fileRow = bmp.topDown ? y : bmp.rows - 1 - y;
        const std::uint8_t* row = bmp.pixels + static_cast<std::uint64_t>(fileRow) * bmp.stride;
        for (const int x : columns) {
            if (bmp.bits <= 8) {
                const std::uint64_t bit = static_cast<std::uint64_t>(x) * bmp.bits;
                PaletteColour(bmp, (row[bit / 8] >> (8 - bmp.bits - bit % 8)) & ((1u << bmp.bits) - 1), out);
            } else {
                packed(row + x * bytesPerPixel, bytesPerPixel, out);
            }
            out += 4;
        }
    }
}

// Walks a run-length stream, bottom row first, calling span(y, x, count, indexOf) for each run of
// pixels: y counted from the top, indexOf(k) the palette index of its k-th pixel. A run may start
// or reach past the row's end (it is not carried to the next row: the sink cuts it). The walk
// ends at the end-of-image mark, at a row past the top or where the bytes run out (a run cut
// short keeps the pixels it has).
template <class Span>
void WalkRunLength(const BmpLayout& bmp, Span&& span)
{
    const bool nibbles = bmp.compression == kRle4;
    const std::uint8_t* p = bmp.pixels;
    const std::uint8_t* const end = p + bmp.pixelBytes;
    std::int64_t x = 0, fileRow = 0;
    auto run = [&](std::int64_t count, auto indexOf) {
        span(bmp.rows - 1 - fileRow, x, count, indexOf);
        x += count;
    };
    while (end - p >= 2 && fileRow < bmp.rows) {
        const unsigned count = p[0], value = p[1];
        p += 2;
        if (count > 0) {  // encoded: one index, or two alternating
            run(count, [=](std::int64_t k) { return nibbles ? (k & 1 ? value & 15 : value >> 4) : value; });
        } else if (value == 0) {  // end of line
            x = 0;
            ++fileRow;
        } else if (value == 1) {  // end of image
            return;
        } else if (value == 2) {  // delta: right and up
            if (end - p < 2)
                return;
            x += p[0];
            fileRow += p[1];
            p += 2;
        } else {  // absolute: `value` indices as they stand, padded to an even number of bytes
            const std::size_t bytes = nibbles ? (value + 1) / 2 : value;
            const std::size_t present = std::min(bytes, static_cast<std::size_t>(end - p));
            const std::uint8_t* indices = p;
            run(nibbles ? std::min<std::int64_t>(value, 2 * present) : present, [=](std::int64_t k) {
                return nibbles ? (k & 1 ? indices[k / 2] & 15u : indices[k / 2] >> 4) : indices[k];
            });
            if (present < bytes)
                return;
            p += std::min(bytes + (bytes & 1), static_cast<std::size_t>(end - p));
        }
    }
}

void SampleRunLength(const BmpLayout& bmp, const std::vector<int>& columns, const std::vector<int>& rows,
                     std::uint8_t* out)
{
    for (std::size_t i = 0; i < columns.size() * rows.size(); ++i) {
        std::uint8_t* o = out + i * 4;
        o[0] = o[1] = o[2] = 0;
        o[3] = 255;
    }
    WalkRunLength(bmp, [&](std::int64_t y, std::int64_t x, std::int64_t count, auto indexOf) {
        const auto row = std::lower_bound(rows.begin(), rows.end(), y);
        if (row == rows.end() || *row != y)
            return;
        std::uint8_t* rowOut = out + static_cast<std::size_t>(row - rows.begin()) * columns.size() * 4;
        for (auto c = std::lower_bound(columns.begin(), columns.end(), x); c != columns.end() && *c < x + count; ++c)
            PaletteColour(bmp, indexOf(*c - x), rowOut + static_cast<std::size_t>(c - columns.begin()) * 4);
    });
}

// Strictly ascending, from 0 to below `limit`.
bool Ascending(const std::vector<int>& indices, std::int64_t limit)
{
    for (std::size_t i = 0; i < indices.size(); ++i)
        if (indices[i] < (i ? indices[i - 1] + 1 : 0) || indices[i] >= limit)
            return false;
    return true;
}

bool Sample(const BmpLayout& bmp, const std::vector<int>& columns, const std::vector<int>& rows,
            std::vector<std::uint8_t>& rgba)
{
    if (!Ascending(columns, bmp.width) || !Ascending(rows, bmp.rows))
        return false;
    rgba.resize(columns.size() * rows.size() * 4);
    if (bmp.RunLength())
        SampleRunLength(bmp, columns, rows, rgba.data());
    else
        SampleUncompressed(bmp, columns, rows, rgba.data());
    return true;
}

}  // namespace

bool ReadBmpSize(const std::uint8_t* data, std::size_t size, int& width, int& height)
{
    BmpLayout bmp;
    if (!ReadLayout(data, size, bmp))
        return false;
    width = static_cast<int>(bmp.width);
    height = static_cast<int>(bmp.rows);
    return true;
}

bool SampleBmp(const std::uint8_t* data, std::size_t size, const std::vector<int>& columns,
               const std::vector<int>& rows, std::vector<std::uint8_t>& rgba)
{
    BmpLayout bmp;
    return ReadLayout(data, size, bmp) && Sample(bmp, columns, rows, rgba);
}

bool DecodeBmp(const std::uint8_t* data, std::size_t size, RgbaImage& out, int maxSide)
{
    BmpLayout bmp;
    if (!ReadLayout(data, size, bmp) || bmp.width > maxSide || bmp.rows > maxSide ||
        static_cast<std::uint64_t>(bmp.width * bmp.rows) > size * imagebytes::kMostPixelsPerByte)
        return false;
    std::vector<int> columns(static_cast<std::size_t>(bmp.width)), rows(static_cast<std::size_t>(bmp.rows));
    std::iota(columns.begin(), columns.end(), 0);
    std::iota(rows.begin(), rows.end(), 0);
    out.width = static_cast<int>(bmp.width);
    out.height = static_cast<int>(bmp.rows);
    return Sample(bmp, columns, rows, out.rgba);
}

}  // namespace platform
