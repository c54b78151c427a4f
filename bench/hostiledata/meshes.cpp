// Meshes: one .x file of four million triangles loaded as a 3D object loads it (adjacency and
// materials asked for and released unread), and one model file named by 32 unit types.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "foundation/device.h"
#include "foundation/stringutil.h"
#include "hostiledata/memory.h"
#include "media/object3d.h"
#include "platform/d3dx9.h"
#include "platform/seams.h"
#include "support/testdevice.h"

namespace {

using hostiledata::PeakResidentKilobytes;
using hostiledata::ResidentKilobytes;

// A side x side grid of vertices on the ground, two triangles a cell, with texture coordinates
// and one material, written as an exporter writes it: binary (float and integer lists) or text.
// Written as it goes, so that making the file leaves no peak of its own.
void WriteGridMesh(const std::filesystem::path& path, int side, bool binary)
{
    std::ofstream out(path, std::ios::binary);
    const auto cells = static_cast<std::uint32_t>(side - 1);
    const std::uint32_t vertices = static_cast<std::uint32_t>(side) * side, faces = cells * cells * 2;
    auto raw = [&](const void* p, std::size_t n) { out.write(static_cast<const char*>(p), static_cast<std::streamsize>(n)); };
    auto word = [&](std::uint16_t v) { raw(&v, 2); };
    auto dword = [&](std::uint32_t v) { raw(&v, 4); };
    auto name = [&](const char* n) {
        if (binary) {
            word(1);
            dword(static_cast<std::uint32_t>(std::strlen(n)));
            out << n;
            word(10);
        } else {
            out << n << " {\n";
        }
    };
    auto close = [&] { binary ? word(11) : void(out << "}\n"); };
    // A list of `count` numbers, each written by `item`.
    auto list = [&](bool floats, std::uint32_t count, auto item) {
        if (binary) {
            word(floats ? 7 : 6);
            dword(count);
        }
        for (std::uint32_t i = 0; i < count; ++i)
            item(i);
        if (!binary)
            out << "\n";
    };
    auto integer = [&](std::uint32_t v) { binary ? dword(v) : void(out << v << ";"); };
    auto real = [&](float v) { binary ? raw(&v, 4) : void(out << v << ";"); };
    out << (binary ? "xof 0302bin 0032" : "xof 0302txt 0032\n");
    name("Mesh");
    list(false, 1, [&](std::uint32_t) { integer(vertices); });
    list(true, vertices * 3, [&](std::uint32_t i) {
        const std::uint32_t v = i / 3;
        real(i % 3 == 1 ? 0.0f : static_cast<float>(i % 3 == 0 ? v % side : v / side));
    });
    list(false, faces * 4 + 1, [&](std::uint32_t i) {
        if (i == 0)
            return integer(faces);
        const std::uint32_t face = (i - 1) / 4, corner = (i - 1) % 4, cell = face / 2;
        const std::uint32_t v = cell / cells * side + cell % cells;
        static constexpr std::uint32_t kCorners[2][3] = {{0, 2, 1}, {1, 2, 3}};  // of v, v + 1, v + side, v + side + 1
        const std::uint32_t k = kCorners[face % 2][corner == 0 ? 0 : corner - 1];
        integer(corner == 0 ? 3 : v + (k & 1) + (k >> 1) * side);
    });
    name("MeshTextureCoords");
    list(false, 1, [&](std::uint32_t) { integer(vertices); });
    list(true, vertices * 2, [&](std::uint32_t i) {
        const std::uint32_t v = i / 2;
        real(static_cast<float>(i % 2 == 0 ? v % side : v / side) / static_cast<float>(cells));
    });
    close();
    name("MeshMaterialList");
    list(false, faces + 2, [&](std::uint32_t i) { integer(i == 0 ? 1 : i == 1 ? faces : 0); });
    name("Material");
    list(true, 11, [&](std::uint32_t i) { real(i < 4 ? 1.0f : i == 4 ? 2.0f : 0.0f); });
    close();
    close();
    close();
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A grid of 1,415 x 1,415 vertices, 3,998,792 triangles, loaded with 32-bit indices the way a 3D
// object loads its mesh: binary (first argument 0) or text (1), the adjacency released unread
// (second argument 0) or read (1). Time and the memory the load peaked at.
void BM_XFileFourMillionFaces(benchmark::State& state)
{
    testutil::GlobalTestDevice device(64, 64);
    const std::string path =
        (std::filesystem::temp_directory_path() / ("hostiledata_4m_" + std::to_string(state.range(0)) + ".x")).string();
    WriteGridMesh(path, 1415, state.range(0) == 0);
    const auto fileBytes = static_cast<double>(std::filesystem::file_size(path));
    double peak = 0, faces = 0;
    for (auto _ : state) {
        const long before = ResidentKilobytes(), peakBefore = PeakResidentKilobytes();
        ID3DXBuffer* adjacency = nullptr;
        ID3DXBuffer* materials = nullptr;
        DWORD count = 0;
        ID3DXMesh* mesh = nullptr;
        D3DXLoadMeshFromXA(path.c_str(), D3DXMESH_MANAGED | D3DXMESH_32BIT, g_pDevice, &adjacency, &materials, nullptr,
                           &count, &mesh);
        if (adjacency && state.range(1))
            benchmark::DoNotOptimize(adjacency->GetBufferPointer());
        peak = static_cast<double>(PeakResidentKilobytes() - std::max(before, peakBefore));
        faces = mesh ? mesh->GetNumFaces() : 0;
        for (IUnknown* p : std::initializer_list<IUnknown*>{adjacency, materials, mesh})
            if (p)
                p->Release();
    }
    state.counters["faces"] = faces;
    state.counters["file_MB"] = fileBytes / (1 << 20);
    state.counters["MB_peak"] = std::max(peak, 0.0) / 1024.0;
    std::filesystem::remove(path);
}
BENCHMARK(BM_XFileFourMillionFaces)
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 1})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// One model of 224 x 224 vertices (99,458 triangles) with a 4 x 4 texture, named by 32 unit types:
// 32 objects added to the list. The memory they keep.
void BM_OneModelLoaded32Times(benchmark::State& state)
{
    testutil::GlobalTestDevice device(64, 64);
    const std::filesystem::path root = std::filesystem::temp_directory_path() / "hostiledata_models";
    std::filesystem::create_directories(root / "Models");
    WriteGridMesh(root / "Models" / "tank.x", 224, true);
    std::string dds(128, '\0');  // a 4 x 4 uncompressed DDS, 32 bits a pixel, all black
    const std::uint32_t header[] = {0x20534444, 124, 0x100F, 4, 4, 16, 0, 0};
    std::memcpy(dds.data(), header, sizeof header);
    const std::uint32_t format[] = {32, 0x41, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000, 0x1000};
    std::memcpy(dds.data() + 76, format, sizeof format);
    WriteFile(root / "Models" / "tank.dds", dds + std::string(64, '\0'));
    SetRootFolder(root.string());
    double kept = 0, meshes = 0;
    for (auto _ : state) {
        const long before = ResidentKilobytes();
        auto list = std::make_unique<Object3DList>();
        for (int i = 0; i < 32; ++i)
            meshes += list->Add("tank")->pMesh ? 1 : 0;
        kept = static_cast<double>(ResidentKilobytes() - before);
    }
    state.counters["meshes"] = meshes / static_cast<double>(state.iterations());
    state.counters["MB_kept"] = kept / 1024.0;
    std::filesystem::remove_all(root);
}
BENCHMARK(BM_OneModelLoaded32Times)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
