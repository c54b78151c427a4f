#include "support/mediafiles.h"

#include <cstring>

namespace testutil {

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

std::string WavFile(const std::vector<std::int16_t>& samples, int rate)
{
    auto u32 = [](std::uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [](std::uint16_t v) { return std::string(reinterpret_cast<const char*>(&v), 2); };
    const std::string data(reinterpret_cast<const char*>(samples.data()), samples.size() * 2);
    return "RIFF" + u32(static_cast<std::uint32_t>(36 + data.size())) + "WAVEfmt " + u32(16) + u16(1) + u16(1) +
           u32(static_cast<std::uint32_t>(rate)) + u32(static_cast<std::uint32_t>(rate * 2)) + u16(2) + u16(16) +
           "data" + u32(static_cast<std::uint32_t>(data.size())) + data;
}

}  // namespace testutil
