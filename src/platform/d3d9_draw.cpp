// Drawing.
#include "platform/d3d9_device.h"

namespace platform::d3d {

bool Device::EnsureProgram()
{
    return false;
}

void Device::ReleaseProgram()
{
}

void Device::ApplyFixedState()
{
}

HRESULT Device::Draw(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount, bool indexed, INT baseVertexIndex,
                     UINT startIndex)
{
    return D3D_OK;
}

void Device::DrawOverlay(int x, int y, int width, int height, const std::uint8_t* rgba)
{
}

}  // namespace platform::d3d
