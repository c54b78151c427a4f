// A device without a window for tests that draw and read back the presented frame.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/d3d9.h"

namespace testutil {

// Windowed presentation of a width x height back buffer with an automatic `depth` buffer,
// presented immediately.
D3DPRESENT_PARAMETERS TestPresentParameters(UINT width, UINT height, D3DFORMAT depth);

// A hardware-processing device with a D24S8 depth buffer (or `depth`); null when none can be
// made. The caller releases it. Presented frames are kept from then on (until ResetAll).
IDirect3DDevice9* MakeTestDevice(UINT width, UINT height, D3DFORMAT depth = D3DFMT_D24S8);

// Makes g_pDevice a test device while it lives (null when none can be made), then releases it.
class GlobalTestDevice {
public:
    GlobalTestDevice(UINT width, UINT height);
    ~GlobalTestDevice();
    GlobalTestDevice(const GlobalTestDevice&) = delete;
    GlobalTestDevice& operator=(const GlobalTestDevice&) = delete;
};

// One frame on g_pDevice: the target cleared to opaque black and the depth buffer to 1, `draw`
// run inside the scene, then presented.
void DrawFrame(const std::function<void()>& draw);

// Pixel (x, y) of the last presented frame as packed ARGB.
D3DCOLOR PresentedPixel(int x, int y);

// The smallest rectangle around the pixels of the last presented frame in [x0, x1) x [y0, y1)
// whose colour is not black; its right edge is below 0 when there are none.
RECT LitRect(int x0, int y0, int x1, int y1);

}  // namespace testutil
