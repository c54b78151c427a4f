#include "support/testdevice.h"

#include "platform/seams.h"

namespace testutil {

D3DPRESENT_PARAMETERS TestPresentParameters(UINT width, UINT height, D3DFORMAT depth)
{
    return platform::seams::OffscreenPresentParameters(width, height, depth);
}

IDirect3DDevice9* MakeTestDevice(UINT width, UINT height, D3DFORMAT depth)
{
    return platform::seams::MakeOffscreenDevice(width, height, depth);
}

D3DCOLOR PresentedPixel(int x, int y)
{
    const platform::seams::Frame& f = platform::seams::LastPresentedFrame();
    if (x < 0 || y < 0 || x >= f.width || y >= f.height) return 0;
    const std::uint8_t* px = &f.bgra[(static_cast<std::size_t>(y) * f.width + x) * 4];
    return D3DCOLOR_ARGB(px[3], px[2], px[1], px[0]);
}

}  // namespace testutil
