// Hostile data for textures and dynamic buffers: huge texture files, one named by many owners or
// many of their own, and a sprite pool of many slots of which each draw writes one.
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "foundation/device.h"
#include "hostiledata/images.h"
#include "hostiledata/memory.h"
#include "platform/d3d9.h"
#include "platform/d3dx9.h"
#include "support/testdevice.h"

namespace {

// 8192 x 8192 texture files loaded and kept: one file state.range(1) times (as unit types naming
// one model or height blocks naming one texture do), or state.range(1) files of their own (0 or
// 1 in state.range(0)). The memory the textures keep and how many loaded.
void BM_TextureFileLoads(benchmark::State& state)
{
    testutil::GlobalTestDevice device(640, 480);
    const bool distinct = state.range(0) != 0;
    const auto loads = static_cast<int>(state.range(1));
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "hostiledata_textures";
    std::filesystem::create_directories(dir);
    const std::string image = hostiledata::OneColourTga(8192);
    std::vector<std::string> paths;
    for (int i = 0; i < loads; ++i) {
        paths.push_back((dir / ("t" + std::to_string(distinct ? i : 0) + ".tga")).string());
        if (distinct || i == 0)
            std::ofstream(paths.back(), std::ios::binary) << image;
    }
    double kilobytes = 0, loaded = 0;
    for (auto _ : state) {
        const long before = hostiledata::ResidentKilobytes();
        std::vector<IDirect3DTexture9*> textures(paths.size(), nullptr);
        for (std::size_t i = 0; i < paths.size(); ++i)
            loaded += SUCCEEDED(D3DXCreateTextureFromFileA(g_pDevice, paths[i].c_str(), &textures[i])) ? 1 : 0;
        kilobytes = static_cast<double>(hostiledata::ResidentKilobytes() - before);
        for (IDirect3DTexture9* texture : textures)
            if (texture)
                texture->Release();
    }
    state.counters["loaded"] = loaded / static_cast<double>(state.iterations());
    state.counters["MB_kept"] = kilobytes / 1024.0;
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_TextureFileLoads)
    ->Args({0, 1})
    ->Args({0, 4})
    ->Args({0, 32})
    ->Args({1, 8})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// One frame of an animation pool of state.range(0) slots drawing one sprite 2,000 times: each
// draw locks and writes the first quad of the pool's vertex buffer, as a group with one running
// instance does, and draws it. The frame is read back, so that the time includes the drawing.
void BM_AnimationPoolFrame(benchmark::State& state)
{
    testutil::GlobalTestDevice device(640, 480);
    IDirect3DDevice9* d = g_pDevice;
    const auto slots = static_cast<UINT>(state.range(0));
    struct Corner {
        float x, y, z, u, v;
    };
    IDirect3DVertexBuffer9* vb = nullptr;
    IDirect3DIndexBuffer9* ib = nullptr;
    d->CreateVertexBuffer(slots * 4 * sizeof(Corner), D3DUSAGE_WRITEONLY, 0x102, D3DPOOL_MANAGED, &vb, nullptr);
    d->CreateIndexBuffer(slots * 6 * 2, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED, &ib, nullptr);
    void* data = nullptr;
    ib->Lock(0, 0, &data, 0);
    auto* index = static_cast<std::uint16_t*>(data);
    for (UINT k = 0; k < slots; ++k) {
        const auto v = static_cast<std::uint16_t>(4 * k);
        const std::uint16_t quad[6] = {v, static_cast<std::uint16_t>(v + 2), static_cast<std::uint16_t>(v + 1),
                                       static_cast<std::uint16_t>(v + 1), static_cast<std::uint16_t>(v + 2),
                                       static_cast<std::uint16_t>(v + 3)};
        std::memcpy(index + 6 * k, quad, sizeof quad);
    }
    ib->Unlock();
    d->SetRenderState(D3DRS_LIGHTING, FALSE);
    d->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    d->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    for (auto _ : state) {
        testutil::DrawFrame([&] {
            for (int draw = 0; draw < 2000; ++draw) {
                const float x = static_cast<float>(draw % 40) * 0.05f - 1.0f, y = 0.5f;
                const Corner quad[4] = {{x, y, 0.5f, 0, 0}, {x + 0.04f, y, 0.5f, 1, 0},
                                        {x, y - 0.04f, 0.5f, 0, 1}, {x + 0.04f, y - 0.04f, 0.5f, 1, 1}};
                vb->Lock(0, sizeof quad, &data, 0);
                std::memcpy(data, quad, sizeof quad);
                vb->Unlock();
                d->SetStreamSource(0, vb, 0, sizeof(Corner));
                d->SetIndices(ib);
                d->SetFVF(0x102);
                d->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2);
            }
        });
    }
    ib->Release();
    vb->Release();
}
BENCHMARK(BM_AnimationPoolFrame)->Arg(16)->Arg(16384)->Unit(benchmark::kMillisecond);

}  // namespace
