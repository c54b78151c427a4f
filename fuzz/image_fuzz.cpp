// Image decoding on any bytes: every format recognised by content, the BMP reader whole, by its
// samples and as the grey-scale bitmap of height maps reads a file, and the DXT block finder the
// device uses.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "foundation/graybitmap.h"
#include "platform/imagedecode.h"
#include "support/fuzzsupport.h"

namespace {

bool Consistent(const platform::RgbaImage& image)
{
    return image.rgba.size() == static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 4;
}

// The first, a middle and the last index below `count`, ascending and distinct.
std::vector<int> Spread(int count)
{
    std::vector<int> out = {0};
    if (count > 2)
        out.push_back(count / 2);
    if (count > 1)
        out.push_back(count - 1);
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Prepare();
    platform::RgbaImage image;
    if (platform::DecodeImage(data, size, image) && !Consistent(image))
        __builtin_trap();
    platform::RgbaImage bmp;
    const bool isBmp = platform::DecodeBmp(data, size, bmp);
    if (isBmp && !Consistent(bmp))
        __builtin_trap();
    int width = 0, height = 0;
    const bool sized = platform::ReadBmpSize(data, size, width, height);
    if (isBmp && (!sized || width != bmp.width || height != bmp.height))
        __builtin_trap();
    if (sized) {
        // Samples of a file of any claimed size, which must match the whole image where there is one.
        const std::vector<int> columns = Spread(width), rows = Spread(height);
        std::vector<std::uint8_t> samples;
        if (!platform::SampleBmp(data, size, columns, rows, samples) ||
            samples.size() != columns.size() * rows.size() * 4)
            __builtin_trap();
        for (std::size_t r = 0; isBmp && r < rows.size(); ++r)
            for (std::size_t c = 0; c < columns.size(); ++c)
                for (int k = 0; k < 4; ++k)
                    if (samples[(r * columns.size() + c) * 4 + k] !=
                        bmp.rgba[(static_cast<std::size_t>(rows[r]) * bmp.width + columns[c]) * 4 + k])
                        __builtin_trap();
    }
    CGrayBitmap grey(fuzz::WriteInput(data, size, "image.bmp"));
    if (grey.IsLoaded() != sized || (sized && (grey.nWidth != width || grey.nHeight != height)))
        __builtin_trap();
    if (sized && grey.GetGreys(Spread(width), Spread(height)).empty())
        __builtin_trap();
    platform::DxtBlocks blocks;
    if (platform::FindDxtBlocks(data, size, blocks) &&
        (blocks.blocks < data || blocks.blocks + blocks.size > data + size))
        __builtin_trap();
    return 0;
}
