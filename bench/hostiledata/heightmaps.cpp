// Height maps: many blocks naming one large bitmap, and bitmaps larger than any grid reads, loaded
// through a block list as a terrain file loads them. Each case reports its own peak, so run it
// alone (--benchmark_filter).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "foundation/inifile.h"
#include "foundation/stringutil.h"
#include "hostiledata/memory.h"
#include "platform/seams.h"
#include "support/testdevice.h"
#include "world/heightblock.h"
#include "worldfiles.h"

namespace {

using benchfiles::U32;

// A 1-bit BMP of side x side pixels, black and white stripes, written to `path`.
void WriteStripes(const std::filesystem::path& path, int side)
{
    const std::uint32_t stride = (static_cast<std::uint32_t>(side) + 31) / 32 * 4;
    const std::uint64_t bytes = static_cast<std::uint64_t>(stride) * static_cast<std::uint32_t>(side);
    std::ofstream out(path, std::ios::binary);
    out << "BM" << U32(static_cast<std::uint32_t>(62 + bytes)) << U32(0) << U32(62) << U32(40) << U32(side)
        << U32(side) << U32(1 | (1 << 16)) << U32(0) << U32(static_cast<std::uint32_t>(bytes)) << U32(0) << U32(0)
        << U32(2) << U32(0) << U32(0) << U32(0xFFFFFF);
    const std::string row(stride, '\x0F');
    for (int y = 0; y < side; ++y)
        out << row;
}

// state.range(0) blocks of a block list, each naming one side x side 1-bit bitmap
// (state.range(1)): the time of the load, the blocks that got a mesh and the memory at its peak.
void BM_BlocksOfOneBitmap(benchmark::State& state)
{
    testutil::GlobalTestDevice device(64, 64);
    platform::seams::InstallMessageBoxRecorder();
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "hostiledata_heightmaps";
    std::filesystem::create_directories(dir);
    WriteStripes(dir / "map.bmp", static_cast<int>(state.range(1)));
    std::string list = "[blocklist]\n";
    for (int i = 1; i <= state.range(0); ++i)
        list += "name" + std::to_string(i) + "=b" + std::to_string(i) + "\nheight" + std::to_string(i) + "=map.bmp\n";
    std::ofstream(dir / "strip.txt") << list;
    SetRootFolder(dir.string());
    double peak = 0;
    int meshes = 0;
    for (auto _ : state) {
        const long before = hostiledata::ResidentKilobytes(), peakBefore = hostiledata::PeakResidentKilobytes();
        SetCurrentFolder("$");
        CIniFile ini("strip.txt");
        g_HeightBlockManager.LoadBlockList(ini, "blocklist", "$", {64, 64, 64}, 0);
        peak = static_cast<double>(hostiledata::PeakResidentKilobytes() - std::max(before, peakBefore));
        meshes = 0;
        for (int i = 0; i < g_HeightBlockManager.blocks.Count(); ++i)
            meshes += g_HeightBlockManager.blocks.Get(i)->pVertexBuffer ? 1 : 0;
        g_HeightBlockManager.Clear();
    }
    state.counters["meshes"] = meshes;
    state.counters["MB_peak"] = std::max(peak, 0.0) / 1024.0;
    platform::seams::RemoveMessageBoxRecorder();
    std::filesystem::remove_all(dir);
}
// 20 and 80 blocks of one 4096 x 4096 bitmap (2 MB); one block of an 8192 x 8192 bitmap (8 MB); one of
// a 46300 x 46300 bitmap, just within the largest data file (256 MB).
BENCHMARK(BM_BlocksOfOneBitmap)->Args({20, 4096})->Args({80, 4096})->Args({1, 8192})->Args({1, 46300})
    ->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
