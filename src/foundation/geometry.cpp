#include "foundation/geometry.h"

#include <bit>
#include <cmath>

float Length2D(float x, float y)
{
    return std::sqrt(x * x + y * y);
}

float Length3D(float x, float y, float z)
{
    return std::sqrt(x * x + y * y + z * z);
}

DWORD FloatAsDword(float f)
{
    return std::bit_cast<DWORD>(f);
}

TBoundingBox::TBoundingBox()
    : vMin(-3.4028235e38f, -3.4028235e38f, -3.4028235e38f),
      vMax(3.4028235e38f, 3.4028235e38f, 3.4028235e38f)
{
}

TBoundingBox::TBoundingBox(const D3DXVECTOR3& minCorner, const D3DXVECTOR3& maxCorner)
    : vMin(minCorner), vMax(maxCorner)
{
}

bool TBoundingBox::Contains(const D3DXVECTOR3* p) const
{
    if (!p)
        return false;
    return vMin.x <= p->x && p->x <= vMax.x &&
           vMin.y <= p->y && p->y <= vMax.y &&
           vMin.z <= p->z && p->z <= vMax.z;
}

D3DLIGHT9 BuildDirectionalLight(const D3DXVECTOR3* dir, const D3DXCOLOR* color)
{
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = *color;
    light.Specular = *color * 0.6f;
    light.Ambient = *color * 0.6f;
    light.Direction = *dir;
    return light;
}

D3DLIGHT9 BuildDirectionalLightAt(const D3DXVECTOR3* pos, const D3DXVECTOR3* dir, const D3DXCOLOR* color)
{
    D3DLIGHT9 light = BuildDirectionalLight(dir, color);
    light.Ambient = *color * 0.4f;
    light.Position = *pos;
    return light;
}
