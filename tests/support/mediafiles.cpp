#include "support/mediafiles.h"

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include <cstring>

namespace testutil {
namespace {

void Append(void* ctx, void* data, int size)
{
    static_cast<std::string*>(ctx)->append(static_cast<const char*>(data), static_cast<std::size_t>(size));
}

std::string U32(std::uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); }
std::string U16(std::uint16_t v) { return std::string(reinterpret_cast<const char*>(&v), 2); }

// Runs one of the writers into a string; empty when it fails.
template <typename Write>
std::string Encoded(Write write)
{
    std::string out;
    if (!write(&out))
        out.clear();
    return out;
}

}  // namespace

std::string DdsHeader(int width, int height, std::uint32_t pixelFlags, const char* fourCC, std::uint32_t bits)
{
    std::string s(128, '\0');
    auto put = [&](std::size_t at, std::uint32_t v) { std::memcpy(&s[at], &v, 4); };
    std::memcpy(&s[0], "DDS ", 4);
    put(4, 124);
    put(8, 0x1007);
    put(12, static_cast<std::uint32_t>(height));
    put(16, static_cast<std::uint32_t>(width));
    put(76, 32);
    put(80, pixelFlags);
    if (fourCC)
        std::memcpy(&s[84], fourCC, 4);
    put(88, bits);
    put(92, 0xFF0000);
    put(96, 0xFF00);
    put(100, 0xFF);
    put(104, 0xFF000000);
    put(108, 0x1000);
    return s;
}

std::string PngFile(int width, int height, int channels, const std::vector<std::uint8_t>& pixels)
{
    return Encoded([&](std::string* out) {
        return stbi_write_png_to_func(Append, out, width, height, channels, pixels.data(), width * channels);
    });
}

std::string BmpFile(int width, int height, int channels, const std::vector<std::uint8_t>& pixels)
{
    return Encoded([&](std::string* out) {
        return stbi_write_bmp_to_func(Append, out, width, height, channels, pixels.data());
    });
}

std::string TgaFile(int width, int height, int channels, const std::vector<std::uint8_t>& pixels)
{
    return Encoded([&](std::string* out) {
        return stbi_write_tga_to_func(Append, out, width, height, channels, pixels.data());
    });
}

std::string JpgFile(int width, int height, int channels, const std::vector<std::uint8_t>& pixels, int quality)
{
    return Encoded([&](std::string* out) {
        return stbi_write_jpg_to_func(Append, out, width, height, channels, pixels.data(), quality);
    });
}

std::string BmpWithBits(int width, int height, int bits, const std::vector<std::uint32_t>& pixels,
                        const std::vector<std::uint32_t>& palette, bool topDown, const std::vector<std::uint32_t>& masks)
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
                for (int b = 0; b < bits / 8; ++b)
                    row[x * bits / 8 + b] = static_cast<char>(v >> (8 * b));
        }
        rows += row;
    }
    std::string table;
    for (std::uint32_t c : masks)
        table += U32(c);
    for (std::uint32_t c : palette)
        table += U32(c);
    const std::uint32_t offset = 54 + static_cast<std::uint32_t>(table.size());
    return "BM" + U32(offset + static_cast<std::uint32_t>(rows.size())) + U32(0) + U32(offset) + U32(40) +
           U32(static_cast<std::uint32_t>(width)) + U32(static_cast<std::uint32_t>(topDown ? -height : height)) +
           U16(1) + U16(static_cast<std::uint16_t>(bits)) + U32(masks.empty() ? 0 : 3) +
           U32(static_cast<std::uint32_t>(rows.size())) + U32(2835) + U32(2835) +
           U32(static_cast<std::uint32_t>(palette.size())) + U32(0) + table + rows;
}

bool DecodeImageBytes(const std::string& bytes, platform::RgbaImage& out)
{
    return platform::DecodeImage(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), out);
}

std::string WavFile(const std::vector<std::int16_t>& samples, int rate)
{
    const std::string data(reinterpret_cast<const char*>(samples.data()), samples.size() * 2);
    return "RIFF" + U32(static_cast<std::uint32_t>(36 + data.size())) + "WAVEfmt " + U32(16) + U16(1) + U16(1) +
           U32(static_cast<std::uint32_t>(rate)) + U32(static_cast<std::uint32_t>(rate * 2)) + U16(2) + U16(16) +
           "data" + U32(static_cast<std::uint32_t>(data.size())) + data;
}

}  // namespace testutil
