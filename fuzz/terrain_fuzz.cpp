// Terrain files on any bytes: the data section, the block list (whose bitmaps may be the two the
// target writes beside the file, "a.bmp" and "b.bmp", or anything else) and the order, then a
// start and a bounded number of scrolling ticks with loops ended by name on the way, and the strip
// drawn from a camera. The walk must never hang and the strip must stay bounded.
#include <cstddef>
#include <cstdint>
#include <string>

#include "foundation/device.h"
#include "foundation/inifile.h"
#include "foundation/stringutil.h"
#include "support/fuzzsupport.h"
#include "support/testdevice.h"
#include "world/camera.h"
#include "world/heightblock.h"
#include "world/heightterrain.h"

namespace {

// A 24-bit bitmap of grey values, bottom row first as stored.
std::string GreyBmp(int width, int height, const std::uint8_t* greys)
{
    auto u32 = [](std::uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); };
    const int stride = (width * 3 + 3) / 4 * 4;
    std::string rows;
    for (int y = height - 1; y >= 0; --y) {
        std::string row(static_cast<std::size_t>(stride), '\0');
        for (int x = 0; x < width; ++x)
            row.replace(static_cast<std::size_t>(x) * 3, 3, 3, static_cast<char>(greys[y * width + x]));
        rows += row;
    }
    return "BM" + u32(54 + static_cast<std::uint32_t>(rows.size())) + u32(0) + u32(54) + u32(40) + u32(width) +
           u32(height) + u32(1 | (24 << 16)) + u32(0) + u32(static_cast<std::uint32_t>(rows.size())) + u32(0) + u32(0) +
           u32(0) + u32(0) + rows;
}

void Write(const std::string& name, const std::string& bytes)
{
    fuzz::WriteInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), name);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    g_pDevice = testutil::MakeTestDevice(64, 64);
    const std::uint8_t a[] = {0, 255, 90, 30}, b[] = {255, 0, 128};
    Write("a.bmp", GreyBmp(2, 2, a));
    Write("b.bmp", GreyBmp(3, 1, b));
    SetRootFolder(fuzz::InputFolder());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Prepare();
    const std::string path = fuzz::WriteInput(data, size, "terrain.txt");
    {
        CHeightTerrain terrain;
        terrain.Load(path);
        CIniFile ini(path);
        CStringList loops;
        ini.GetSectionLines(loops, "order");
        terrain.Start();
        for (int tick = 0; tick < 64; ++tick) {
            if (tick % 8 == 7 && tick / 8 < loops.Count() && !loops.At(tick / 8).empty())
                terrain.DisableLoop(ToLower(loops.At(tick / 8).substr(1)));
            terrain.Update();
            if (terrain.instances.size() > 1024)
                __builtin_trap();
        }
        terrain.Render(CSceneCamera());
    }
    g_HeightBlockManager.Clear();
    fuzz::ReturnToStartFolder();
    return 0;
}
