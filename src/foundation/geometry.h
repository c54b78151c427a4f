// Lengths, the bits of a float, an axis-aligned box and directional-light descriptions.
#pragma once

#include "platform/d3dx9math.h"

// Square roots of sums of squares, computed in float.
float Length2D(float x, float y);
float Length3D(float x, float y, float z);

// The 32 bits of f, as render states that take floats want them.
DWORD FloatAsDword(float f);

struct TBoundingBox {
    D3DXVECTOR3 vMin;
    D3DXVECTOR3 vMax;

    // Spans the whole float range, so it holds every finite point.
    TBoundingBox();
    TBoundingBox(const D3DXVECTOR3& minCorner, const D3DXVECTOR3& maxCorner);

    // Bounds included; false for a null point.
    bool Contains(const D3DXVECTOR3* p) const;
};

// Diffuse = color; specular and ambient = color * 0.6.
D3DLIGHT9 BuildDirectionalLight(const D3DXVECTOR3* dir, const D3DXCOLOR* color);
// Diffuse = color; specular = color * 0.6, ambient = color * 0.4; the position is recorded.
D3DLIGHT9 BuildDirectionalLightAt(const D3DXVECTOR3* pos, const D3DXVECTOR3* dir, const D3DXCOLOR* color);
