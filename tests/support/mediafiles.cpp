#include "support/mediafiles.h"

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include <cstring>
#include <utility>

namespace testutil {
namespace {

void Append(void* ctx, void* data, int size)
{
    static_cast<std::string*>(ctx)->append(static_cast<const char*>(data), static_cast<std::size_t>(size));
}

// Little-endian fields of 32 and 16 bits (wider values are cut to the field).
std::string U32(std::uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); }
std::string U16(std::uint16_t v) { return std::string(reinterpret_cast<const char*>(&v), 2); }

// Runs one of the writers into a string; empty when it fails.
template <typename Write>
std::string Encoded(Write write)
{
    std::string out;
    if (!write(Append, &out)) out.clear();
    return out;
}

}  // namespace

std::string DdsHeader(int width, int height, std::uint32_t pixelFlags, const char* fourCC, std::uint32_t bits)
{
    std::string s(128, '\0');
    std::memcpy(&s[0], "DDS ", 4);
    const std::pair<std::size_t, std::uint32_t> fields[] = {
        {4, 124}, {8, 0x1007}, {12, static_cast<std::uint32_t>(height)}, {16, static_cast<std::uint32_t>(width)},
        {76, 32}, {80, pixelFlags}, {88, bits}, {92, 0xFF0000}, {96, 0xFF00}, {100, 0xFF}, {104, 0xFF000000},
        {108, 0x1000}};
    for (const auto& [at, value] : fields) std::memcpy(&s[at], &value, 4);
    if (fourCC) std::memcpy(&s[84], fourCC, 4);
    return s;
}

std::string PngFile(int w, int h, int n, const std::vector<std::uint8_t>& px)
{
    return Encoded([&](auto f, void* c) { return stbi_write_png_to_func(f, c, w, h, n, px.data(), w * n); });
}

std::string BmpFile(int w, int h, int n, const std::vector<std::uint8_t>& px)
{
    return Encoded([&](auto f, void* c) { return stbi_write_bmp_to_func(f, c, w, h, n, px.data()); });
}

std::string TgaFile(int w, int h, int n, const std::vector<std::uint8_t>& px)
{
    return Encoded([&](auto f, void* c) { return stbi_write_tga_to_func(f, c, w, h, n, px.data()); });
}

std::string JpgFile(int w, int h, int n, const std::vector<std::uint8_t>& px, int quality)
{
    return Encoded([&](auto f, void* c) { return stbi_write_jpg_to_func(f, c, w, h, n, px.data(), quality); });
}

std::string BmpWithBits(int width, int height, int bits, const std::vector<std::uint32_t>& pixels,
                        const std::vector<std::uint32_t>& palette, bool topDown,
                        const std::vector<std::uint32_t>& masks)
{
    const std::size_t stride = (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
    std::string rows;
    for (int r = 0; r < height; ++r) {
        const int y = topDown ? r : height - 1 - r;
        std::string row(stride, '\0');
        for (int x = 0; x < width; ++x) {
            const std::uint32_t v = pixels[static_cast<std::size_t>(y) * width + x];
            if (bits < 8)
                row[x * bits / 8] |= static_cast<char>(v << (8 - bits - x * bits % 8));
            else
                for (int b = 0; b < bits / 8; ++b) row[x * bits / 8 + b] = static_cast<char>(v >> (8 * b));
        }
        rows += row;
    }
    std::string table;
    for (const auto* entries : {&masks, &palette})
        for (std::uint32_t c : *entries) table += U32(c);
    const std::size_t offset = 54 + table.size();
    return "BM" + U32(offset + rows.size()) + U32(0) + U32(offset) + U32(40) + U32(width) +
           U32(topDown ? -height : height) + U16(1) + U16(bits) + U32(masks.empty() ? 0 : masks.size() == 4 ? 6 : 3) +
           U32(rows.size()) +
           U32(2835) + U32(2835) + U32(palette.size()) + U32(0) + table + rows;
}

bool DecodeImageBytes(const std::string& bytes, platform::RgbaImage& out)
{
    return platform::DecodeImage(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), out);
}

std::string WavFile(const std::vector<std::int16_t>& samples, int rate)
{
    const std::string data(reinterpret_cast<const char*>(samples.data()), samples.size() * 2);
    return "RIFF" + U32(36 + data.size()) + "WAVEfmt " + U32(16) + U16(1) + U16(1) + U32(rate) + U32(rate * 2) +
           U16(2) + U16(16) + "data" + U32(data.size()) + data;
}

}  // namespace testutil
