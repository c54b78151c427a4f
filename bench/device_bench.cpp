// The cost of one frame on the OpenGL device: clear, a number of small textured quads with the
// engine's fixed states, and Present; beside it the same frame with the read-back tests ask for.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "platform/d3d9.h"
#include "platform/d3d9/d3d9_internal.h"
#include "platform/seams.h"

namespace {

struct Vertex {
    float x, y, z;
    D3DCOLOR color;
    float u, v;
};

IDirect3DDevice9* MakeDevice()
{
    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    D3DPRESENT_PARAMETERS p{};
    p.BackBufferWidth = 640;
    p.BackBufferHeight = 480;
    p.BackBufferFormat = D3DFMT_A8R8G8B8;
    p.EnableAutoDepthStencil = TRUE;
    p.AutoDepthStencilFormat = D3DFMT_D24S8;
    p.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    IDirect3DDevice9* device = nullptr;
    d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &p, &device);
    d3d->Release();
    return device;
}

// A 4:3 left-handed perspective.
void SetProjection(IDirect3DDevice9* device)
{
    D3DMATRIX projection{};
    projection._11 = 0.75f;
    projection._22 = 1.0f;
    projection._33 = 1.01f;
    projection._34 = 1.0f;
    projection._43 = -1.01f;
    device->SetTransform(D3DTS_PROJECTION, &projection);
}

// Copies bytes into the whole of a vertex or index buffer.
template <class Buffer>
void Fill(Buffer* buffer, const void* bytes, std::size_t size)
{
    void* data = nullptr;
    buffer->Lock(0, 0, &data, 0);
    std::memcpy(data, bytes, size);
    buffer->Unlock();
}

// One frame: clear, the draws, Present.
template <class Draws>
void Frame(IDirect3DDevice9* device, Draws draws)
{
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    device->BeginScene();
    draws();
    device->EndScene();
    device->Present(nullptr, nullptr, nullptr, nullptr);
}

// Arguments: the number of quads, and whether Present reads the frame back for a test.
void BM_Frame(benchmark::State& state)
{
    platform::seams::KeepPresentedFrames(state.range(1) != 0);
    IDirect3DDevice9* device = MakeDevice();
    if (!device) {
        state.SkipWithError("no device");
        return;
    }
    const std::vector<std::uint8_t> rgba(16 * 16 * 4, 200);
    IDirect3DTexture9* texture = platform::d3d9::CreateTextureFromRgba(device, 16, 16, rgba.data());
    const Vertex quad[6] = {{-1, 1, 5, 0xFFFFFFFF, 0, 0}, {1, 1, 5, 0xFFFFFFFF, 1, 0}, {-1, -1, 5, 0xFFFFFFFF, 0, 1},
                            {1, 1, 5, 0xFFFFFFFF, 1, 0},  {1, -1, 5, 0xFFFFFFFF, 1, 1}, {-1, -1, 5, 0xFFFFFFFF, 0, 1}};
    IDirect3DVertexBuffer9* vb = nullptr;
    device->CreateVertexBuffer(sizeof quad, D3DUSAGE_WRITEONLY, 0x142, D3DPOOL_MANAGED, &vb, nullptr);
    Fill(vb, quad, sizeof quad);
    SetProjection(device);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->SetTexture(0, texture);
    device->SetStreamSource(0, vb, 0, sizeof(Vertex));
    device->SetFVF(0x142);
    const auto draws = static_cast<int>(state.range(0));
    for (auto _ : state) {
        Frame(device, [&] {
            for (int i = 0; i < draws; ++i) device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2);
        });
    }
    vb->Release();
    texture->Release();
    device->Release();
    platform::seams::KeepPresentedFrames(false);
}
BENCHMARK(BM_Frame)->ArgsProduct({{0, 100, 400}, {0, 1}})->Unit(benchmark::kMillisecond);

// A lit terrain-like grid of n x n vertices under eight point lights, drawn indexed. The frame
// is read back, so that the time includes llvmpipe's drawing, not only handing it the work.
void BM_LitGrid(benchmark::State& state)
{
    platform::seams::KeepPresentedFrames(true);
    IDirect3DDevice9* device = MakeDevice();
    if (!device) {
        state.SkipWithError("no device");
        return;
    }
    struct LitVertex {
        float x, y, z, nx, ny, nz, u, v;
    };
    const int n = static_cast<int>(state.range(0));
    std::vector<LitVertex> vertices;
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            const float x = -10.0f + 20.0f * i / (n - 1), z = 2.0f + 20.0f * j / (n - 1);
            vertices.push_back({x, -2.0f, z, 0, 1, 0, 0, 0});
        }
    std::vector<std::uint16_t> indices;
    for (int j = 0; j + 1 < n; ++j)
        for (int i = 0; i + 1 < n; ++i) {
            const auto a = static_cast<std::uint16_t>(j * n + i);
            const auto b = static_cast<std::uint16_t>(a + n);
            for (std::uint16_t k : {a, b, static_cast<std::uint16_t>(a + 1), static_cast<std::uint16_t>(a + 1), b,
                                    static_cast<std::uint16_t>(b + 1)})
                indices.push_back(k);
        }
    IDirect3DVertexBuffer9* vb = nullptr;
    IDirect3DIndexBuffer9* ib = nullptr;
    const auto vbBytes = static_cast<UINT>(vertices.size() * sizeof(LitVertex));
    const auto ibBytes = static_cast<UINT>(indices.size() * 2);
    device->CreateVertexBuffer(vbBytes, D3DUSAGE_WRITEONLY, 0x112, D3DPOOL_MANAGED, &vb, nullptr);
    device->CreateIndexBuffer(ibBytes, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED, &ib, nullptr);
    Fill(vb, vertices.data(), vbBytes);
    Fill(ib, indices.data(), ibBytes);
    SetProjection(device);
    D3DMATERIAL9 material{};
    material.Diffuse = {1, 1, 1, 1};
    device->SetMaterial(&material);
    for (DWORD i = 0; i < 8; ++i) {
        D3DLIGHT9 light{};
        light.Type = D3DLIGHT_POINT;
        light.Diffuse = {0.3f, 0.3f, 0.3f, 1};
        light.Position = {-8.0f + 2.0f * i, 1.0f, 4.0f + 2.0f * i};
        light.Range = 20.0f;
        light.Attenuation0 = 1.0f;
        device->SetLight(i, &light);
        device->LightEnable(i, TRUE);
    }
    device->SetStreamSource(0, vb, 0, sizeof(LitVertex));
    device->SetIndices(ib);
    device->SetFVF(0x112);
    const auto triangles = static_cast<UINT>(indices.size() / 3);
    for (auto _ : state) {
        Frame(device, [&] {
            device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, static_cast<UINT>(vertices.size()), 0, triangles);
        });
    }
    vb->Release();
    ib->Release();
    device->Release();
    platform::seams::KeepPresentedFrames(false);
}
BENCHMARK(BM_LitGrid)->Arg(32)->Arg(128)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
