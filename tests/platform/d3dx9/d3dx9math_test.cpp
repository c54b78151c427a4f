#include <gtest/gtest.h>

#include "platform/d3dx9math.h"

namespace {

void ExpectMatrixNear(const D3DXMATRIX& got, const D3DXMATRIX& want, float tolerance = 1e-6f)
{
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            EXPECT_NEAR(got(i, j), want(i, j), tolerance) << "row " << i << " col " << j;
}

void ExpectVectorNear(const D3DXVECTOR3& got, float x, float y, float z, float tolerance = 1e-6f)
{
    EXPECT_NEAR(got.x, x, tolerance);
    EXPECT_NEAR(got.y, y, tolerance);
    EXPECT_NEAR(got.z, z, tolerance);
}

D3DXVECTOR3 Transform(const D3DXVECTOR3& v, const D3DXMATRIX& m)
{
    D3DXVECTOR3 out;
    D3DXVec3TransformCoord(&out, &v, &m);
    return out;
}

}  // namespace

// Cross products, lengths and normals are checked through the view basis below; a zero vector
// is the case a view never meets.
TEST(D3DXMath, AZeroVectorNormalisesToZeroNotToNaN)
{
    D3DXVECTOR3 zero;
    D3DXVec3Normalize(&zero, &zero);  // in place too
    EXPECT_EQ(zero, D3DXVECTOR3(0, 0, 0));
}

TEST(D3DXMath, RotationsTurnAxesLeftHanded)
{
    const float quarter = D3DX_PI / 2;
    D3DXMATRIX m;
    D3DXMatrixRotationX(&m, quarter);
    ExpectVectorNear(Transform({0, 1, 0}, m), 0, 0, 1);
    ExpectVectorNear(Transform({0, 0, 1}, m), 0, -1, 0);
    D3DXMatrixRotationY(&m, quarter);
    ExpectVectorNear(Transform({1, 0, 0}, m), 0, 0, -1);
    ExpectVectorNear(Transform({0, 0, 1}, m), 1, 0, 0);
    D3DXMatrixRotationZ(&m, quarter);
    ExpectVectorNear(Transform({1, 0, 0}, m), 0, 1, 0);

    // About an axis of any length: the coordinate axes agree with the dedicated rotations.
    D3DXMATRIX axisMatrix, plain;
    const D3DXVECTOR3 axisX(5, 0, 0), axisY(0, 2, 0), axisZ(0, 0, 0.5f);
    D3DXMatrixRotationAxis(&axisMatrix, &axisX, 0.7f);
    ExpectMatrixNear(axisMatrix, *D3DXMatrixRotationX(&plain, 0.7f));
    D3DXMatrixRotationAxis(&axisMatrix, &axisY, -1.2f);
    ExpectMatrixNear(axisMatrix, *D3DXMatrixRotationY(&plain, -1.2f));
    D3DXMatrixRotationAxis(&axisMatrix, &axisZ, 2.5f);
    ExpectMatrixNear(axisMatrix, *D3DXMatrixRotationZ(&plain, 2.5f));

    // A third of a turn about the diagonal carries x to y, y to z, z to x.
    const D3DXVECTOR3 diagonal(1, 1, 1);
    D3DXMatrixRotationAxis(&m, &diagonal, 2 * D3DX_PI / 3);
    ExpectVectorNear(Transform({1, 0, 0}, m), 0, 1, 0, 1e-5f);
    ExpectVectorNear(Transform({0, 1, 0}, m), 0, 0, 1, 1e-5f);
}

TEST(D3DXMath, MultiplyAppliesLeftMatrixFirst)
{
    D3DXMATRIX scale, move, product;
    D3DXMatrixScaling(&scale, 2, 3, 4);
    D3DXMatrixTranslation(&move, 1, 2, 3);
    D3DXMatrixMultiply(&product, &scale, &move);
    EXPECT_EQ(Transform({1, 1, 1}, move * scale), D3DXVECTOR3(4, 9, 16));
    EXPECT_EQ(product, D3DXMATRIX(2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 1, 2, 3, 1));

    // The output may be one of the inputs.
    D3DXMATRIX inPlace = scale;
    D3DXMatrixMultiply(&inPlace, &inPlace, &move);
    EXPECT_EQ(inPlace, product);
    inPlace = move;
    D3DXMatrixMultiply(&inPlace, &scale, &inPlace);
    EXPECT_EQ(inPlace, product);
}

TEST(D3DXMath, LookAtBuildsTheViewBasis)
{
    // From +x towards the origin with y up: the camera's right is world +z.
    const D3DXVECTOR3 eye(3, 0, 0), at(0, 0, 0), up(0, 1, 0);
    D3DXMATRIX view;
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    ExpectMatrixNear(view, D3DXMATRIX(0, 0, -1, 0,
                                      0, 1, 0, 0,
                                      1, 0, 0, 0,
                                      0, 0, 3, 1));

    // An up vector that is not square to the view is straightened; the basis stays orthonormal.
    const D3DXVECTOR3 eye2(1, 2, -5), at2(4, -1, 3), up2(0.3f, 1, 0.2f);
    D3DXMatrixLookAtLH(&view, &eye2, &at2, &up2);
    ExpectVectorNear(Transform(eye2, view), 0, 0, 0, 1e-5f);
    const D3DXVECTOR3 ahead = Transform(at2, view);
    const D3DXVECTOR3 forward = at2 - eye2;
    ExpectVectorNear(ahead, 0, 0, D3DXVec3Length(&forward), 1e-5f);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            const float dot = view(0, i) * view(0, j) + view(1, i) * view(1, j) + view(2, i) * view(2, j);
            EXPECT_NEAR(dot, i == j ? 1.0f : 0.0f, 1e-6f);
        }
}

TEST(D3DXMath, PerspectiveMapsDepthZeroToOne)
{
    D3DXMATRIX proj;
    D3DXMatrixPerspectiveFovLH(&proj, D3DX_PI / 2, 4.0f / 3.0f, 1.0f, 101.0f);
    ExpectMatrixNear(proj, D3DXMATRIX(0.75f, 0, 0, 0,
                                      0, 1, 0, 0,
                                      0, 0, 1.01f, 1,
                                      0, 0, -1.01f, 0));
    ExpectVectorNear(Transform({0, 0, 1}, proj), 0, 0, 0);
    ExpectVectorNear(Transform({0, 0, 101}, proj), 0, 0, 1);
    // The top edge of a 90-degree view is at y = z.
    ExpectVectorNear(Transform({0, 10, 10}, proj), 0, 1, 0.909f, 1e-5f);
    ExpectVectorNear(Transform({10, 0, 10}, proj), 0.75f, 0, 0.909f, 1e-5f);
}

TEST(D3DXMath, ColorPacksAndUnpacks)
{
    // Each byte is divided by 255: 204 and 51 give exactly the floats nearest 0.8 and 0.2
    // (times 1/255 they would land a step above).
    EXPECT_EQ(D3DXCOLOR(D3DCOLOR{0xCC33FF00u}), D3DXCOLOR(0.2f, 1.0f, 0.0f, 0.8f));

    // Every byte survives the round trip.
    for (DWORD v = 0; v < 256; ++v) {
        const D3DCOLOR packed = D3DCOLOR_ARGB(v, 255 - v, v, v / 2);
        EXPECT_EQ(D3DCOLOR(D3DXCOLOR(packed)), packed) << v;
    }

    // Packing clamps, and rounds half up.
    EXPECT_EQ(D3DCOLOR(D3DXCOLOR(1.5f, -0.2f, 0.5f, 1.0f)), 0xFFFF0080u);
    EXPECT_EQ(D3DCOLOR(D3DXCOLOR(0.0f, 0.0f, 0.0f, 0.0f)), 0u);
}
