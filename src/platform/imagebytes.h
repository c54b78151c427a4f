// What the image readers share: little-endian fields, and colour channels packed under bit masks.
#pragma once

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

// One channel of a packed pixel, of any width, scaled to 8 bits with rounding; an empty mask
// reads as `fallback`. The shift and scale are worked out once, not per pixel.
class MaskChannel {
public:
    MaskChannel(std::uint32_t mask, std::uint8_t fallback) : mask_(mask), fallback_(fallback)
    {
        while (mask && !(mask & 1)) {
            mask >>= 1;
            ++shift_;
        }
        max_ = mask;
    }
    std::uint8_t operator()(std::uint32_t pixel) const
    {
        if (!mask_)
            return fallback_;
        const std::uint64_t v = (pixel & mask_) >> shift_;
        return static_cast<std::uint8_t>((v * 255 + max_ / 2) / max_);
    }
    bool Empty() const { return mask_ == 0; }

private:
    std::uint32_t mask_;
    std::uint8_t fallback_;
    int shift_ = 0;
    std::uint64_t max_ = 0;
};

}  // namespace platform::imagebytes
