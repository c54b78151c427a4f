// What the binary readers share: little-endian fields, and colour channels packed under bit masks.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform::imagebytes {

// No format codes more than about 8,300 pixels a byte in its pixel data (a one-bit PNG at
// deflate's best ratio); a header claiming more describes pixels the file does not hold, made up
// as zeros or background. Such an image is refused: its memory would not come from the file.
constexpr std::uint64_t kMostPixelsPerByte = 16384;

inline std::uint32_t ReadU32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

inline std::uint16_t ReadU16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

// Pixels of 2 to 4 little-endian bytes whose red, green, blue and alpha lie under bit masks of
// any width, each scaled to 8 bits with rounding; an empty colour mask reads as 0, an empty
// alpha mask as opaque. The shifts and scales are worked out once, not per pixel.
class MaskedPixels {
public:
    MaskedPixels(std::uint32_t red, std::uint32_t green, std::uint32_t blue, std::uint32_t alpha)
        : m_Channels{{red, 0}, {green, 0}, {blue, 0}, {alpha, 255}}
    {
    }

    // The pixel of `bytes` bytes at p, as red, green, blue and alpha at rgba.
    void operator()(const std::uint8_t* p, std::size_t bytes, std::uint8_t* rgba) const
    {
        std::uint32_t v = 0;
        for (std::size_t i = 0; i < bytes; ++i)
            v |= static_cast<std::uint32_t>(p[i]) << (8 * i);
        for (int c = 0; c < 4; ++c)
            rgba[c] = m_Channels[c](v);
    }

private:
    class Channel {
    public:
        Channel(std::uint32_t mask, std::uint8_t fallback) : m_Mask(mask), m_Fallback(fallback)
        {
            while (mask && !(mask & 1)) {
                mask >>= 1;
                ++m_Shift;
            }
            m_Max = mask;
        }
        std::uint8_t operator()(std::uint32_t pixel) const
        {
            if (!m_Mask)
                return m_Fallback;
            const std::uint64_t v = (pixel & m_Mask) >> m_Shift;
            return static_cast<std::uint8_t>((v * 255 + m_Max / 2) / m_Max);
        }

    private:
        std::uint32_t m_Mask;
        std::uint8_t m_Fallback;
        int m_Shift = 0;
        std::uint64_t m_Max = 0;
    };
    Channel m_Channels[4];
};

}  // namespace platform::imagebytes
