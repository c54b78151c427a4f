// Image decoding on any bytes: every format recognised by content, the DDS reader directly, and
// the DXT block finder the device uses.
#include <cstddef>
#include <cstdint>

#include "platform/imagedecode.h"
#include "support/fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Prepare();
    platform::RgbaImage image;
    if (platform::DecodeImage(data, size, image) &&
        image.rgba.size() != static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 4)
        __builtin_trap();
    platform::RgbaImage dds;
    platform::DecodeDds(data, size, dds);
    platform::DxtBlocks blocks;
    if (platform::FindDxtBlocks(data, size, blocks) &&
        (blocks.blocks < data || blocks.blocks + blocks.size > data + size))
        __builtin_trap();
    return 0;
}
