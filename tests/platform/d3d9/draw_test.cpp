#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "platform/d3d9.h"
#include "platform/d3d9/d3d9_internal.h"
#include "platform/d3dx9math.h"
#include "platform/seams.h"
#include "support/testdevice.h"

namespace {

constexpr int kSize = 64;
constexpr D3DCOLOR kWhite = 0xFFFFFFFF;

struct ColorVertex {  // 0x42
    float x, y, z;
    D3DCOLOR color;
};

struct LitVertex {  // 0x112
    float x, y, z;
    float nx, ny, nz;
    float u, v;
};

struct TexturedVertex {  // 0x142
    float x, y, z;
    D3DCOLOR color;
    float u, v;
};

DWORD Bits(float f)
{
    DWORD d;
    std::memcpy(&d, &f, sizeof d);
    return d;
}

#define ExpectColor(...) ExpectColorAt(__LINE__, __VA_ARGS__)

int Channel(D3DCOLOR c, int shift)
{
    return static_cast<int>((c >> shift) & 0xFF);
}

void ExpectColorAt(int line, D3DCOLOR actual, int r, int g, int b, int tolerance = 2)
{
    SCOPED_TRACE(testing::Message() << "checked at line " << line);
    EXPECT_NEAR(Channel(actual, 16), r, tolerance) << std::hex << actual;
    EXPECT_NEAR(Channel(actual, 8), g, tolerance) << std::hex << actual;
    EXPECT_NEAR(Channel(actual, 0), b, tolerance) << std::hex << actual;
}

// A 90-degree left-handed perspective with square pixels: at depth z the view spans -z..z.
D3DMATRIX Perspective()
{
    const float zn = 1.0f, zf = 100.0f;
    D3DMATRIX m{};
    m._11 = 1.0f;
    m._22 = 1.0f;
    m._33 = zf / (zf - zn);
    m._34 = 1.0f;
    m._43 = -zn * zf / (zf - zn);
    return m;
}

// A white light along +z, full strength to 100 units (constant attenuation 1), as the scene's lights.
D3DLIGHT9 WhiteLight(D3DLIGHTTYPE type)
{
    D3DLIGHT9 light{};
    light.Type = type;
    light.Diffuse = {1, 1, 1, 1};
    light.Direction = {0, 0, 1};
    light.Range = 100.0f;
    light.Attenuation0 = 1.0f;
    return light;
}

// Six vertices of a square of half-size s at depth z facing the camera, wound clockwise.
template <class V, class Make>
std::vector<V> Square(float cx, float cy, float s, float z, Make make)
{
    return {make(cx - s, cy + s, z), make(cx + s, cy + s, z), make(cx - s, cy - s, z),
            make(cx + s, cy + s, z), make(cx + s, cy - s, z), make(cx - s, cy - s, z)};
}

class DrawTest : public testing::Test {
protected:
    IDirect3DDevice9* device = nullptr;

    void SetUp() override
    {
        platform::seams::ResetAll();
        device = testutil::MakeTestDevice(kSize, kSize);
        ASSERT_NE(device, nullptr);
        const D3DMATRIX projection = Perspective();
        device->SetTransform(D3DTS_PROJECTION, &projection);
    }
    void TearDown() override
    {
        if (device) device->Release();
        platform::seams::ResetAll();
    }

    void Begin(D3DCOLOR clear = 0xFF000000)
    {
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, clear, 1.0f, 0);
        device->BeginScene();
    }
    void End()
    {
        device->EndScene();
        device->Present(nullptr, nullptr, nullptr, nullptr);
    }

    template <class V>
    HRESULT Draw(D3DPRIMITIVETYPE type, DWORD fvf, const std::vector<V>& vertices)
    {
        IDirect3DVertexBuffer9* vb = nullptr;
        const UINT bytes = static_cast<UINT>(vertices.size() * sizeof(V));
        EXPECT_EQ(device->CreateVertexBuffer(bytes, D3DUSAGE_WRITEONLY, fvf, D3DPOOL_MANAGED, &vb, nullptr), D3D_OK);
        void* data = nullptr;
        vb->Lock(0, 0, &data, 0);
        std::memcpy(data, vertices.data(), bytes);
        vb->Unlock();
        device->SetStreamSource(0, vb, 0, sizeof(V));
        device->SetFVF(fvf);
        const UINT n = static_cast<UINT>(vertices.size());
        const HRESULT hr = device->DrawPrimitive(type, 0, type == D3DPT_POINTLIST ? n : n / 3);
        vb->Release();
        return hr;
    }

    void DrawColorSquare(float s, float z, D3DCOLOR color)
    {
        Draw(D3DPT_TRIANGLELIST, 0x42, Square<ColorVertex>(0, 0, s, z, [&](float x, float y, float zz) {
                 return ColorVertex{x, y, zz, color};
             }));
    }

    void DrawLitSquare(float s, float z)
    {
        Draw(D3DPT_TRIANGLELIST, 0x112, Square<LitVertex>(0, 0, s, z, [](float x, float y, float zz) {
                 return LitVertex{x, y, zz, 0, 0, -1, 0, 0};
             }));
    }

    // A lit point facing the camera: its pixel shows exactly the lighting of its one vertex.
    D3DCOLOR LitPointColor(float x, float y, float z)
    {
        Begin();
        device->SetRenderState(D3DRS_POINTSIZE, Bits(3.0f));
        Draw(D3DPT_POINTLIST, 0x112, std::vector<LitVertex>{{x, y, z, 0, 0, -1, 0, 0}});
        End();
        const int px = static_cast<int>(std::lround((x / z + 1.0f) * kSize / 2));
        const int py = static_cast<int>(std::lround((1.0f - y / z) * kSize / 2));
        return testutil::PresentedPixel(px, py);
    }

    void UseWhiteMaterial()
    {
        D3DMATERIAL9 m{};
        m.Diffuse = {1, 1, 1, 1};
        device->SetMaterial(&m);
    }

    int LitWidthOfRow(int y)
    {
        int lit = 0;
        for (int x = 0; x < kSize; ++x) lit += Channel(testutil::PresentedPixel(x, y), 8) > 128;
        return lit;
    }
};

}  // namespace

TEST_F(DrawTest, UnlitSquareShowsVertexColourAndBackFacesAreCulled)
{
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    Begin();
    DrawColorSquare(1.96875f, 4.0f, 0xFF20C040);  // screen 16.25 .. 47.75
    End();
    ExpectColor(testutil::PresentedPixel(32, 32), 0x20, 0xC0, 0x40);
    ExpectColor(testutil::PresentedPixel(2, 2), 0, 0, 0);
    // Direct3D's pixel centres lie on whole coordinates and miss the edges a quarter pixel past
    // column and row 16; OpenGL's lie half a pixel on and would be covered.
    ExpectColor(testutil::PresentedPixel(17, 17), 0x20, 0xC0, 0x40);
    ExpectColor(testutil::PresentedPixel(47, 47), 0x20, 0xC0, 0x40);
    ExpectColor(testutil::PresentedPixel(16, 32), 0, 0, 0);
    ExpectColor(testutil::PresentedPixel(32, 16), 0, 0, 0);
    ExpectColor(testutil::PresentedPixel(48, 32), 0, 0, 0);

    // Wound the other way the square faces away and the default CCW culling drops it,
    // until culling is turned off.
    auto reversed = Square<ColorVertex>(0, 0, 2.0f, 4.0f, [](float x, float y, float z) {
        return ColorVertex{x, y, z, kWhite};
    });
    std::swap(reversed[1], reversed[2]);
    std::swap(reversed[4], reversed[5]);
    Begin();
    Draw(D3DPT_TRIANGLELIST, 0x42, reversed);
    End();
    ExpectColor(testutil::PresentedPixel(32, 32), 0, 0, 0);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    Begin();
    Draw(D3DPT_TRIANGLELIST, 0x42, reversed);
    End();
    ExpectColor(testutil::PresentedPixel(32, 32), 255, 255, 255);
}

TEST_F(DrawTest, DepthRunsFromZeroAtTheNearPlaneToOne)
{
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    // Nearer than the near plane nothing is drawn, and z = 1.5 (depth 0.34) passes a buffer
    // cleared to 0.5 where z = 3 (0.67) does not.
    Begin();
    DrawColorSquare(0.3f, 0.7f, kWhite);
    End();
    ExpectColor(testutil::PresentedPixel(32, 32), 0, 0, 0);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 0.5f, 0);
    device->BeginScene();
    auto square = [](float cx, float s, float z) {
        return Square<ColorVertex>(cx, 0, s, z, [](float x, float y, float zz) { return ColorVertex{x, y, zz, kWhite}; });
    };
    Draw(D3DPT_TRIANGLELIST, 0x42, square(-0.5f, 0.25f, 1.5f));  // around column 21
    Draw(D3DPT_TRIANGLELIST, 0x42, square(1.0f, 0.5f, 3.0f));    // around column 43
    End();
    ExpectColor(testutil::PresentedPixel(21, 32), 255, 255, 255);
    ExpectColor(testutil::PresentedPixel(43, 32), 0, 0, 0);
}

TEST_F(DrawTest, DepthTestKeepsTheNearerSurface)
{
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    Begin();
    DrawColorSquare(1.0f, 3.0f, 0xFFFF0000);
    DrawColorSquare(4.0f, 8.0f, 0xFF00FF00);
    End();
    ExpectColor(testutil::PresentedPixel(32, 32), 255, 0, 0);
    ExpectColor(testutil::PresentedPixel(20, 32), 0, 255, 0);

    device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    Begin();
    DrawColorSquare(1.0f, 3.0f, 0xFFFF0000);
    DrawColorSquare(4.0f, 8.0f, 0xFF00FF00);
    End();
    ExpectColor(testutil::PresentedPixel(32, 32), 0, 255, 0);
}

TEST_F(DrawTest, DirectionalLightAndTheDefaultLight)
{
    UseWhiteMaterial();
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1.0f, 0.5f, 0.25f, 1.0f};
    light.Direction = {0, 0, 1};
    device->SetLight(0, &light);
    device->LightEnable(0, TRUE);
    Begin();
    DrawLitSquare(2.0f, 4.0f);
    End();
    ExpectColor(testutil::PresentedPixel(32, 32), 255, 128, 64);

    // From behind the surface the light adds nothing; the global ambient still counts.
    light.Direction = {0, 0, -1};
    device->SetLight(0, &light);
    D3DMATERIAL9 m{};
    m.Diffuse = {1, 1, 1, 1};
    m.Ambient = {1, 1, 1, 1};
    device->SetMaterial(&m);
    device->SetRenderState(D3DRS_AMBIENT, 0xFF404040);
    Begin();
    DrawLitSquare(2.0f, 4.0f);
    End();
    ExpectColor(testutil::PresentedPixel(32, 32), 0x40, 0x40, 0x40);

    // A light enabled without ever being set is white and shines along +z.
    device->SetRenderState(D3DRS_AMBIENT, 0);
    device->LightEnable(0, FALSE);
    device->LightEnable(3, TRUE);
    Begin();
    DrawLitSquare(2.0f, 4.0f);
    End();
    ExpectColor(testutil::PresentedPixel(32, 32), 255, 255, 255);

    // Specular is added after texturing, and only while SPECULARENABLE is on.
    D3DMATERIAL9 shiny{};
    shiny.Diffuse = {0, 0, 0, 1};
    shiny.Specular = {1, 1, 1, 1};
    shiny.Power = 10.0f;
    device->SetMaterial(&shiny);
    light = D3DLIGHT9{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Specular = {0.5f, 0.25f, 0.5f, 1.0f};
    light.Direction = {0, 0, 1};
    device->SetLight(3, &light);
    device->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
    ExpectColor(LitPointColor(0, 0, 4), 128, 64, 128);
    device->SetRenderState(D3DRS_SPECULARENABLE, FALSE);
    ExpectColor(LitPointColor(0, 0, 4), 0, 0, 0);

    // Lighting on with no light enabled: black.
    UseWhiteMaterial();
    device->LightEnable(3, FALSE);
    Begin();
    DrawLitSquare(2.0f, 4.0f);
    End();
    ExpectColor(testutil::PresentedPixel(32, 32), 0, 0, 0);
}

TEST_F(DrawTest, PointLightRangeAndAttenuation)
{
    UseWhiteMaterial();
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_POINT;
    light.Diffuse = {1, 1, 1, 1};
    light.Position = {0, 0, 4};
    light.Range = 10.0f;
    light.Attenuation1 = 1.0f;  // 1 / d
    device->SetLight(0, &light);
    device->LightEnable(0, TRUE);
    ExpectColor(LitPointColor(0, 0, 6), 128, 128, 128);  // d = 2, N.L = 1
    // d = 2.5 off-axis: N.L = 2 / 2.5 and attenuation 1 / 2.5.
    ExpectColor(LitPointColor(1.5f, 0, 6), 82, 82, 82);

    // All three terms at d = 2: 1 / (0.5 + 0.25 x 2 + 0.125 x 4).
    light.Attenuation0 = 0.5f;
    light.Attenuation1 = 0.25f;
    light.Attenuation2 = 0.125f;
    device->SetLight(0, &light);
    ExpectColor(LitPointColor(0, 0, 6), 170, 170, 170);

    // Attenuations that sum to 0 saturate what the light reaches; a channel it lacks stays 0.
    light.Diffuse = {0.25f, 0.5f, 0.0f, 1.0f};
    light.Attenuation0 = light.Attenuation1 = light.Attenuation2 = 0.0f;
    device->SetLight(0, &light);
    ExpectColor(LitPointColor(0, 0, 6), 255, 255, 0);

    light.Diffuse = {1, 1, 1, 1};
    light.Attenuation0 = 1.0f;
    light.Range = 1.9f;  // the point is out of range
    device->SetLight(0, &light);
    ExpectColor(LitPointColor(0, 0, 6), 0, 0, 0);
}

TEST_F(DrawTest, MaterialTermsAndTheLightsAmbient)
{
    D3DMATERIAL9 m{};
    m.Diffuse = {0.5f, 0.5f, 0.5f, 1};
    m.Ambient = {1, 0.5f, 0, 1};
    m.Emissive = {0.125f, 0.25f, 0, 1};
    device->SetMaterial(&m);
    device->SetRenderState(D3DRS_AMBIENT, 0xFF404040);
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_POINT;
    light.Diffuse = {1, 1, 1, 1};
    light.Ambient = {0.5f, 0.5f, 0.5f, 1};
    light.Position = {0, 0, 4};
    light.Range = 10.0f;
    light.Attenuation1 = 1.0f;  // 1/2 at the point
    device->SetLight(0, &light);
    device->LightEnable(0, TRUE);
    // Emissive + material ambient x (global + light ambient x attenuation) + diffuse terms.
    const float global = 64.0f / 255;
    auto channel = [&](float e, float a, float d) {
        return static_cast<int>(std::lround(255 * (e + a * (global + 0.25f) + d * 0.5f)));
    };
    ExpectColor(LitPointColor(0, 0, 6), channel(0.125f, 1, 0.5f), channel(0.25f, 0.5f, 0.5f), channel(0, 0, 0.5f));

    // Out of range the light adds nothing, its ambient included.
    light.Range = 1.9f;
    device->SetLight(0, &light);
    ExpectColor(LitPointColor(0, 0, 6), 96, 96, 0);
}

TEST_F(DrawTest, RefusedLightsKeepTheirLastRecord)
{
    UseWhiteMaterial();
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1.0f, 0.5f, 0.25f, 1.0f};
    light.Direction = {0, 0, 1};
    ASSERT_EQ(device->SetLight(0, &light), D3D_OK);
    device->LightEnable(0, TRUE);

    // Each of these would light the point green; Direct3D refuses them all.
    D3DLIGHT9 green = WhiteLight(D3DLIGHT_DIRECTIONAL);
    green.Diffuse = {0, 1, 0, 1};
    green.Theta = 0.5f;
    green.Phi = 1.0f;
    std::vector<D3DLIGHT9> refused;
    for (D3DLIGHTTYPE type : {D3DLIGHT_DIRECTIONAL, D3DLIGHT_SPOT}) {
        refused.push_back(green);
        refused.back().Type = type;
        refused.back().Direction = {0, 0, 0};  // a look-at equal to the position
    }
    refused.push_back(green);
    refused.back().Type = D3DLIGHT_POINT;
    refused.back().Attenuation1 = -1.0f;
    refused.push_back(refused.back());
    refused.back().Attenuation1 = 0.0f;
    refused.back().Range = 2e19f;  // beyond sqrt(FLT_MAX)
    refused.push_back(green);
    refused.back().Direction.y = std::nanf("");
    refused.push_back(green);
    refused.back().Type = static_cast<D3DLIGHTTYPE>(4);
    for (const D3DLIGHT9& bad : refused) {
        EXPECT_EQ(device->SetLight(0, &bad), D3DERR_INVALIDCALL) << "type " << bad.Type;
        ExpectColor(LitPointColor(0, 0, 4), 255, 128, 64);
    }
    // A point light has no direction to check; any light index is taken.
    green.Type = D3DLIGHT_POINT;
    green.Direction = {0, 0, 0};
    green.Position = {0, 0, 2};
    EXPECT_EQ(device->SetLight(0, &green), D3D_OK);
    EXPECT_EQ(device->SetLight(0xFFFFFFFF, &green), D3D_OK);
    EXPECT_EQ(device->LightEnable(1000000, FALSE), D3D_OK);
    ExpectColor(LitPointColor(0, 0, 4), 0, 255, 0);
}

TEST_F(DrawTest, SpotLightCone)
{
    UseWhiteMaterial();
    D3DLIGHT9 light = WhiteLight(D3DLIGHT_SPOT);
    light.Theta = 0.2f;
    light.Phi = 0.4f;
    light.Falloff = 1.0f;
    device->SetLight(0, &light);
    device->LightEnable(0, TRUE);

    ExpectColor(LitPointColor(0, 0, 6), 255, 255, 255);  // inside the inner cone
    // At 0.15 rad off the axis, between the half-angles 0.1 and 0.2: the falloff ramp, times N.L.
    const float angle = 0.15f;
    const float ramp = (std::cos(angle) - std::cos(0.2f)) / (std::cos(0.1f) - std::cos(0.2f));
    const int expected = static_cast<int>(std::lround(255 * ramp * std::cos(angle)));
    const D3DCOLOR partial = LitPointColor(6 * std::tan(angle), 0, 6);
    ExpectColor(partial, expected, expected, expected, 4);
    ExpectColor(LitPointColor(6 * std::tan(0.3f), 0, 6), 0, 0, 0);  // outside the outer cone

    // The falloff is the ramp's exponent.
    light.Falloff = 2.0f;
    device->SetLight(0, &light);
    const int squared = static_cast<int>(std::lround(255 * ramp * ramp * std::cos(angle)));
    ExpectColor(LitPointColor(6 * std::tan(angle), 0, 6), squared, squared, squared, 4);
}

TEST_F(DrawTest, LightsAreGivenInWorldSpaceUnderAnyCameraAndWorld)
{
    // The camera at the origin looks along +x; the object is turned a quarter about y and moved
    // to x = 6, so its normal (0, 0, -1) faces the camera.
    const D3DXVECTOR3 eye(0, 0, 0), at(1, 0, 0), up(0, 1, 0);
    D3DXMATRIX view, turn, move, world;
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixRotationY(&turn, D3DX_PI / 2);
    D3DXMatrixTranslation(&move, 6, 0, 0);
    D3DXMatrixMultiply(&world, &turn, &move);
    device->SetTransform(D3DTS_VIEW, &view);
    device->SetTransform(D3DTS_WORLD, &world);
    device->SetRenderState(D3DRS_NORMALIZENORMALS, TRUE);
    UseWhiteMaterial();

    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_POINT;
    light.Diffuse = {1, 1, 1, 1};
    light.Position = {4, 0, 0};
    light.Range = 10.0f;
    light.Attenuation1 = 1.0f;
    device->SetLight(0, &light);
    device->LightEnable(0, TRUE);
    device->SetRenderState(D3DRS_POINTSIZE, Bits(3.0f));
    auto centre = [&] {
        Begin();
        Draw(D3DPT_POINTLIST, 0x112, std::vector<LitVertex>{{0, 0, 0, 0, 0, -1, 0, 0}});
        End();
        return testutil::PresentedPixel(32, 32);
    };
    ExpectColor(centre(), 128, 128, 128);

    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Direction = {1, 0, 0};
    device->SetLight(0, &light);
    ExpectColor(centre(), 255, 255, 255);
    light.Direction = {0, 0, 1};  // grazing the surface
    device->SetLight(0, &light);
    ExpectColor(centre(), 0, 0, 0);
}

TEST_F(DrawTest, LinearFogByEyeDepth)
{
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_FOGENABLE, TRUE);
    device->SetRenderState(D3DRS_FOGTABLEMODE, D3DFOG_LINEAR);
    device->SetRenderState(D3DRS_FOGSTART, Bits(2.0f));
    device->SetRenderState(D3DRS_FOGEND, Bits(10.0f));
    device->SetRenderState(D3DRS_FOGCOLOR, 0xFFFF0000);
    // A white square filling half the view at depth z, seen through red fog.
    auto fogged = [&](float z) {
        Begin();
        DrawColorSquare(z * 0.5f, z, kWhite);
        End();
        return testutil::PresentedPixel(32, 32);
    };
    const std::pair<float, int> cases[] = {{2.0f, 255}, {6.0f, 128}, {10.0f, 0}, {20.0f, 0}};
    for (const auto& [z, white] : cases) ExpectColor(fogged(z), 255, white, white);

    // The same from the vertices' fog factors, with table fog off.
    device->SetRenderState(D3DRS_FOGTABLEMODE, D3DFOG_NONE);
    device->SetRenderState(D3DRS_FOGVERTEXMODE, D3DFOG_LINEAR);
    for (const auto& [z, white] : cases) ExpectColor(fogged(z), 255, white, white);

    // Range fog takes each vertex's distance: the corners of this square lie sqrt(54) away, and
    // their factor fills it, its centre included.
    device->SetRenderState(D3DRS_FOGSTART, Bits(0.0f));
    device->SetRenderState(D3DRS_RANGEFOGENABLE, TRUE);
    Begin();
    DrawColorSquare(3.0f, 6.0f, kWhite);
    End();
    const int ranged = static_cast<int>(std::lround(255 * (10 - std::sqrt(54.0)) / 10));
    ExpectColor(testutil::PresentedPixel(32, 32), 255, ranged, ranged);
    device->SetRenderState(D3DRS_RANGEFOGENABLE, FALSE);

    // Start equal to end: no fog nearer, all fog from that distance on, never a NaN. Vertex
    // factors are worked at exactly the distance, pixel depths only near it.
    device->SetRenderState(D3DRS_FOGSTART, Bits(6.0f));
    device->SetRenderState(D3DRS_FOGEND, Bits(6.0f));
    ExpectColor(fogged(5.5f), 255, 255, 255);
    ExpectColor(fogged(6.0f), 255, 0, 0);
    device->SetRenderState(D3DRS_FOGTABLEMODE, D3DFOG_LINEAR);
    ExpectColor(fogged(5.5f), 255, 255, 255);
    ExpectColor(fogged(6.5f), 255, 0, 0);

    device->SetRenderState(D3DRS_FOGENABLE, FALSE);
    ExpectColor(fogged(10.0f), 255, 255, 255);
}

TEST_F(DrawTest, PointSpriteSizeFollowsDistance)
{
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_POINTSPRITEENABLE, TRUE);
    device->SetRenderState(D3DRS_POINTSCALEENABLE, TRUE);
    // The width of a white sprite at distance d on row 32, where its centre lies.
    auto width = [&](float d) {
        Begin();
        Draw(D3DPT_POINTLIST, 0x42, std::vector<ColorVertex>{{0, 0, d, kWhite}});
        End();
        return LitWidthOfRow(32);
    };
    // Direct3D's size: viewport height x POINTSIZE x sqrt(1 / (A + B d + C d^2)), at most 64;
    // it covers the pixels whose centres lie in [32 - size / 2, 32 + size / 2).
    struct Scale {
        float size, a, b, c;
    };
    for (const Scale& s : {Scale{0.5f, 0, 0, 1}, Scale{0.5f, 8, 1, 0.5f}}) {
        device->SetRenderState(D3DRS_POINTSIZE, Bits(s.size));
        device->SetRenderState(D3DRS_POINTSCALE_A, Bits(s.a));
        device->SetRenderState(D3DRS_POINTSCALE_B, Bits(s.b));
        device->SetRenderState(D3DRS_POINTSCALE_C, Bits(s.c));
        for (float d : {4.0f, 8.0f}) {
            const float size = std::min(kSize * s.size / std::sqrt(s.a + s.b * d + s.c * d * d), 64.0f);
            const int expected = static_cast<int>(std::ceil(32 + size / 2) - std::ceil(32 - size / 2));
            EXPECT_EQ(width(d), expected) << "A " << s.a << " distance " << d;
        }
    }
    // Scaling off, POINTSIZE is the size in pixels at every distance.
    device->SetRenderState(D3DRS_POINTSCALEENABLE, FALSE);
    device->SetRenderState(D3DRS_POINTSIZE, Bits(5.0f));
    EXPECT_EQ(width(4.0f), 5);
    EXPECT_EQ(width(16.0f), 5);

    // The whole texture lies across the sprite, upright: red and green over blue and white.
    const std::uint8_t rgba[] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255};
    IDirect3DTexture9* texture = platform::d3d9::CreateTextureFromRgba(device, 2, 2, rgba);
    device->SetTexture(0, texture);
    device->SetRenderState(D3DRS_POINTSIZE, Bits(8.0f));
    Begin();
    Draw(D3DPT_POINTLIST, 0x42, std::vector<ColorVertex>{{0, 0, 4, kWhite}});
    End();
    ExpectColor(testutil::PresentedPixel(29, 29), 255, 0, 0);
    ExpectColor(testutil::PresentedPixel(34, 29), 0, 255, 0);
    ExpectColor(testutil::PresentedPixel(29, 34), 0, 0, 255);
    ExpectColor(testutil::PresentedPixel(34, 34), 255, 255, 255);
    device->SetTexture(0, nullptr);
    texture->Release();

    // Clamped to the 64-pixel maximum and to POINTSIZE_MIN.
    device->SetRenderState(D3DRS_POINTSCALEENABLE, TRUE);
    device->SetRenderState(D3DRS_POINTSIZE, Bits(100.0f));
    EXPECT_EQ(width(4.0f), 64);
    device->SetRenderState(D3DRS_POINTSIZE, Bits(0.01f));
    device->SetRenderState(D3DRS_POINTSIZE_MIN, Bits(6.0f));
    EXPECT_EQ(width(4.0f), 6);
}

TEST_F(DrawTest, AlphaBlendingAndTextureStages)
{
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    Begin(0xFF0000FF);
    DrawColorSquare(2.0f, 4.0f, 0x80FF0000);
    End();
    ExpectColor(testutil::PresentedPixel(32, 32), 128, 0, 127);

    // A green texture whose left column is transparent, modulated by a grey vertex colour.
    const std::uint8_t rgba[] = {0, 255, 0, 0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 255, 0, 255};
    IDirect3DTexture9* texture = platform::d3d9::CreateTextureFromRgba(device, 2, 2, rgba);
    ASSERT_NE(texture, nullptr);
    D3DSURFACE_DESC desc;
    texture->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Format, D3DFMT_A8R8G8B8);
    device->SetTexture(0, texture);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    auto quad = Square<TexturedVertex>(0, 0, 2.0f, 4.0f, [](float x, float y, float z) {
        return TexturedVertex{x, y, z, 0xFF808080, x < 0 ? 0.0f : 1.0f, y > 0 ? 0.0f : 1.0f};
    });
    Begin(0xFF0000FF);
    Draw(D3DPT_TRIANGLELIST, 0x142, quad);
    End();
    ExpectColor(testutil::PresentedPixel(20, 32), 0, 0, 255);    // transparent texels
    ExpectColor(testutil::PresentedPixel(44, 32), 0, 128, 0);    // green x grey

    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
    Begin(0xFF0000FF);
    Draw(D3DPT_TRIANGLELIST, 0x142, quad);
    End();
    ExpectColor(testutil::PresentedPixel(20, 32), 128, 128, 128);

    // Releasing a bound texture unbinds it: the stage then reads opaque white.
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    texture->Release();
    Begin();
    Draw(D3DPT_TRIANGLELIST, 0x142, quad);
    End();
    ExpectColor(testutil::PresentedPixel(20, 32), 255, 255, 255);

    // The alpha test compares 8-bit values: alpha 0x80 passes GREATEREQUAL 0x80, 0x7F does not.
    device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    device->SetRenderState(D3DRS_ALPHAREF, 0x80);
    device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    for (const auto& [alpha, white] : {std::pair<DWORD, int>{0x80, 128}, {0x7F, 0}}) {
        Begin(0xFF0000FF);
        DrawColorSquare(2.0f, 4.0f, alpha << 24 | 0xFFFFFF);
        End();
        ExpectColor(testutil::PresentedPixel(32, 32), white, white, 255);
    }
}

TEST_F(DrawTest, IndexedDrawsAndBadRanges)
{
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    const std::vector<ColorVertex> corners{
        {-2, 2, 4, 0xFFFFFF00}, {2, 2, 4, 0xFFFFFF00}, {2, -2, 4, 0xFFFFFF00}, {-2, -2, 4, 0xFFFFFF00}};
    IDirect3DVertexBuffer9* vb = nullptr;
    IDirect3DIndexBuffer9* ib = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(sizeof(ColorVertex) * 4, 0, 0x42, D3DPOOL_MANAGED, &vb, nullptr), D3D_OK);
    ASSERT_EQ(device->CreateIndexBuffer(12 * 2, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &ib, nullptr), D3D_OK);
    void* data = nullptr;
    vb->Lock(0, 0, &data, 0);
    std::memcpy(data, corners.data(), sizeof(ColorVertex) * 4);
    vb->Unlock();
    const std::uint16_t indices[12] = {0, 1, 3, 1, 2, 3, 0, 1, 9, 0, 0, 0};
    ib->Lock(0, 0, &data, 0);
    std::memcpy(data, indices, sizeof indices);
    ib->Unlock();
    EXPECT_EQ(ib->Lock(20, 8, &data, 0), D3DERR_INVALIDCALL);

    device->SetStreamSource(0, vb, 0, sizeof(ColorVertex));
    device->SetIndices(ib);
    device->SetFVF(0x42);
    Begin();
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2), D3D_OK);
    End();
    ExpectColor(testutil::PresentedPixel(32, 32), 255, 255, 0);

    // An index past the vertices, a range past the indices, or a base vertex pushing past the
    // end are refused rather than read.
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 6, 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 9, 2), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 1, 0, 4, 0, 2), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 2, 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_POINTLIST, 0, 4), D3D_OK);
    device->SetFVF(0);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_POINTLIST, 0, 1), D3DERR_INVALIDCALL);

    // Released buffers unbind themselves.
    vb->Release();
    ib->Release();
    device->SetFVF(0x42);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_POINTLIST, 0, 1), D3DERR_INVALIDCALL);
}

TEST_F(DrawTest, OverlayBlendsOverTheFrameAndLeavesDeviceStateAlone)
{
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    std::vector<std::uint8_t> overlay(4 * 4 * 4);
    for (std::size_t i = 0; i < overlay.size(); i += 4) {
        overlay[i] = 255;
        overlay[i + 3] = i < 32 ? 255 : 128;  // top two rows opaque, bottom two half
    }
    Begin();
    DrawColorSquare(1.0f, 3.0f, 0xFF0000FF);
    DrawColorSquare(8.0f, 8.0f, 0xFF00FF00);
    platform::d3d9::DrawOverlay(device, 10, 20, 4, 4, overlay.data());
    // Farther than everything drawn: the depth test, still on, hides it all.
    DrawColorSquare(9.0f, 9.0f, 0xFFFFFF00);
    End();
    ExpectColor(testutil::PresentedPixel(10, 20), 255, 0, 0);
    ExpectColor(testutil::PresentedPixel(13, 21), 255, 0, 0);
    ExpectColor(testutil::PresentedPixel(13, 23), 128, 127, 0);  // half red over the green square
    ExpectColor(testutil::PresentedPixel(14, 20), 0, 255, 0);
    ExpectColor(testutil::PresentedPixel(32, 32), 0, 0, 255);
}

