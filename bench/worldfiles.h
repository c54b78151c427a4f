// Small image files of the benchmarks that build a world: a height bitmap and a texture.
#pragma once

#include <cstdint>
#include <string>

namespace benchfiles {

inline std::string U32(std::uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); }

// A 64 x 64 24-bit height bitmap: rolling hills.
inline std::string HillsBmp()
{
    std::string rows;
    for (int y = 63; y >= 0; --y)
        for (int x = 0; x < 64; ++x)
            rows.append(3, static_cast<char>((x * 5 + y * 3) % 200));
    return "BM" + U32(54 + static_cast<std::uint32_t>(rows.size())) + U32(0) + U32(54) + U32(40) + U32(64) + U32(64) +
           U32(1 | (24 << 16)) + U32(0) + U32(static_cast<std::uint32_t>(rows.size())) + U32(0) + U32(0) + U32(0) +
           U32(0) + rows;
}

// A 4 x 4 32-bit TGA of one colour, top row first.
inline std::string Tga(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a)
{
    std::string s(18, '\0');
    s[2] = 2;
    s[12] = 4;
    s[14] = 4;
    s[16] = 32;
    s[17] = 0x28;
    for (int i = 0; i < 16; ++i)
        s += {static_cast<char>(b), static_cast<char>(g), static_cast<char>(r), static_cast<char>(a)};
    return s;
}

}  // namespace benchfiles
