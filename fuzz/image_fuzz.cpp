// Image decoding on any bytes: every format recognised by content, the BMP reader directly and
// as the grey-scale bitmap of height maps reads a file, and the DXT block finder the device uses.
#include <cstddef>
#include <cstdint>

#include "foundation/graybitmap.h"
#include "platform/imagedecode.h"
#include "support/fuzzsupport.h"

namespace {

bool Consistent(const platform::RgbaImage& image)
{
    return image.rgba.size() == static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 4;
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
    CGrayBitmap grey(fuzz::WriteInput(data, size, "image.bmp"));
    if ((grey.GetData() != nullptr) != isBmp ||
        (isBmp && (grey.nWidth != bmp.width || grey.nHeight != bmp.height)))
        __builtin_trap();
    platform::DxtBlocks blocks;
    if (platform::FindDxtBlocks(data, size, blocks) &&
        (blocks.blocks < data || blocks.blocks + blocks.size > data + size))
        __builtin_trap();
    return 0;
}
