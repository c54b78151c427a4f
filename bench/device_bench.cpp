// The cost of one frame on the OpenGL device: clear, a number of small textured quads with the
// engine's fixed states, and Present with its read-back.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "platform/d3d9.h"
#include "platform/d3d9_internal.h"

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

void BM_Frame(benchmark::State& state)
{
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
    void* data = nullptr;
    vb->Lock(0, 0, &data, 0);
    std::memcpy(data, quad, sizeof quad);
    vb->Unlock();
    D3DMATRIX projection{};
    projection._11 = 0.75f;
    projection._22 = 1.0f;
    projection._33 = 1.01f;
    projection._34 = 1.0f;
    projection._43 = -1.01f;
    device->SetTransform(D3DTS_PROJECTION, &projection);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->SetTexture(0, texture);
    device->SetStreamSource(0, vb, 0, sizeof(Vertex));
    device->SetFVF(0x142);
    const auto draws = static_cast<int>(state.range(0));
    for (auto _ : state) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        device->BeginScene();
        for (int i = 0; i < draws; ++i) device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2);
        device->EndScene();
        device->Present(nullptr, nullptr, nullptr, nullptr);
    }
    vb->Release();
    texture->Release();
    device->Release();
}
BENCHMARK(BM_Frame)->Arg(0)->Arg(100)->Arg(400)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
