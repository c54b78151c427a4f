#include "support/testdevice.h"

#include <algorithm>

#include "foundation/device.h"
#include "platform/seams.h"

namespace testutil {

D3DPRESENT_PARAMETERS TestPresentParameters(UINT width, UINT height, D3DFORMAT depth)
{
    D3DPRESENT_PARAMETERS p{};
    p.BackBufferWidth = width;
    p.BackBufferHeight = height;
    p.BackBufferFormat = D3DFMT_A8R8G8B8;
    p.BackBufferCount = 1;
    p.SwapEffect = D3DSWAPEFFECT_DISCARD;
    p.Windowed = TRUE;
    p.EnableAutoDepthStencil = TRUE;
    p.AutoDepthStencilFormat = depth;
    p.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    return p;
}

IDirect3DDevice9* MakeTestDevice(UINT width, UINT height, D3DFORMAT depth)
{
    platform::seams::KeepPresentedFrames(true);
    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (!d3d) return nullptr;
    D3DPRESENT_PARAMETERS p = TestPresentParameters(width, height, depth);
    IDirect3DDevice9* device = nullptr;
    if (FAILED(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &p,
                                 &device)))
        device = nullptr;
    d3d->Release();
    return device;
}

GlobalTestDevice::GlobalTestDevice(UINT width, UINT height) { g_pDevice = MakeTestDevice(width, height); }

GlobalTestDevice::~GlobalTestDevice()
{
    if (g_pDevice)
        g_pDevice->Release();
    g_pDevice = nullptr;
}

void DrawFrame(const std::function<void()>& draw)
{
    g_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    g_pDevice->BeginScene();
    draw();
    g_pDevice->EndScene();
    g_pDevice->Present(nullptr, nullptr, nullptr, nullptr);
}

D3DCOLOR PresentedPixel(int x, int y)
{
    const platform::seams::Frame& f = platform::seams::LastPresentedFrame();
    if (x < 0 || y < 0 || x >= f.width || y >= f.height) return 0;
    const std::uint8_t* px = &f.bgra[(static_cast<std::size_t>(y) * f.width + x) * 4];
    return D3DCOLOR_ARGB(px[3], px[2], px[1], px[0]);
}

RECT LitRect(int x0, int y0, int x1, int y1)
{
    RECT r{x1, y1, -1, -1};
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (PresentedPixel(x, y) & 0xFFFFFF)
                r = {std::min<LONG>(r.left, x), std::min<LONG>(r.top, y), std::max<LONG>(r.right, x + 1),
                     std::max<LONG>(r.bottom, y + 1)};
    return r;
}

}  // namespace testutil
