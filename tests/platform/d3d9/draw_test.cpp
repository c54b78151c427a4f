#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/d3d9.h"
#include "platform/d3d9/d3d9_internal.h"
#include "platform/d3dx9math.h"
#include "platform/seams.h"
#include "support/testdevice.h"

namespace {

using testutil::PresentedPixel;

constexpr int kSize = 64;
constexpr D3DCOLOR kWhite = 0xFFFFFFFF;

struct ColorVertex {
    static constexpr DWORD kFvf = 0x42;
    float x, y, z;
    D3DCOLOR color;
};

struct LitVertex {
    static constexpr DWORD kFvf = 0x112;
    float x, y, z;
    float nx, ny, nz;
    float u, v;
};

struct TexturedVertex {
    static constexpr DWORD kFvf = 0x142;
    float x, y, z;
    D3DCOLOR color;
    float u, v;
};

DWORD Bits(float f) { return std::bit_cast<DWORD>(f); }

#define ExpectColor(...) ExpectColorAt(__LINE__, __VA_ARGS__)

void ExpectColorAt(int line, D3DCOLOR actual, int r, int g, int b, int tolerance = 2)
{
    SCOPED_TRACE(testing::Message() << "checked at line " << line);
    EXPECT_NEAR(static_cast<int>(actual >> 16 & 0xFF), r, tolerance) << std::hex << actual;
    EXPECT_NEAR(static_cast<int>(actual >> 8 & 0xFF), g, tolerance) << std::hex << actual;
    EXPECT_NEAR(static_cast<int>(actual & 0xFF), b, tolerance) << std::hex << actual;
}

// A light along +z; range and attenuations left 0 suit a directional light, which ignores them.
D3DLIGHT9 Light(D3DLIGHTTYPE type, D3DCOLORVALUE diffuse, float range = 0, float attenuation0 = 0)
{
    D3DLIGHT9 light{};
    light.Type = type;
    light.Diffuse = diffuse;
    light.Direction = {0, 0, 1};
    light.Range = range;
    light.Attenuation0 = attenuation0;
    return light;
}

// A white point light reaching 10 units, fading as 1 / d.
D3DLIGHT9 PointLight(D3DVECTOR position)
{
    D3DLIGHT9 light = Light(D3DLIGHT_POINT, {1, 1, 1, 1}, 10.0f);
    light.Position = position;
    light.Direction = {0, 0, 0};
    light.Attenuation1 = 1.0f;
    return light;
}

// Six vertices of a square of half-size s at depth z facing the camera, wound clockwise.
template <class V, class Make>
std::vector<V> Square(float cx, float cy, float s, float z, Make make)
{
    return {make(cx - s, cy + s, z), make(cx + s, cy + s, z), make(cx - s, cy - s, z),
            make(cx + s, cy + s, z), make(cx + s, cy - s, z), make(cx - s, cy - s, z)};
}

std::vector<ColorVertex> ColorSquare(float s, float z, D3DCOLOR color, float cx = 0)
{
    return Square<ColorVertex>(cx, 0, s, z, [&](float x, float y, float zz) { return ColorVertex{x, y, zz, color}; });
}

// A square facing the camera with its normals, half-size 2 at depth 4.
std::vector<LitVertex> LitSquare()
{
    return Square<LitVertex>(0, 0, 2.0f, 4.0f,
                             [](float x, float y, float z) { return LitVertex{x, y, z, 0, 0, -1, 0, 0}; });
}

class DrawTest : public testing::Test {
protected:
    IDirect3DDevice9* device = nullptr;

    void SetUp() override
    {
        platform::seams::ResetAll();
        device = testutil::MakeTestDevice(kSize, kSize);
        ASSERT_NE(device, nullptr);
        // A 90-degree perspective with square pixels: at depth z the view spans -z..z.
        D3DXMATRIX projection;
        D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 2, 1.0f, 1.0f, 100.0f);
        device->SetTransform(D3DTS_PROJECTION, &projection);
    }
    void TearDown() override
    {
        if (device) device->Release();
        platform::seams::ResetAll();
    }

    void Begin(D3DCOLOR clear = 0xFF000000, float depth = 1.0f)
    {
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, clear, depth, 0);
        device->BeginScene();
    }
    void End()
    {
        device->EndScene();
        device->Present(nullptr, nullptr, nullptr, nullptr);
    }

    template <class V>
    IDirect3DVertexBuffer9* VertexBuffer(const std::vector<V>& vertices)
    {
        IDirect3DVertexBuffer9* vb = nullptr;
        const UINT bytes = static_cast<UINT>(vertices.size() * sizeof(V));
        EXPECT_EQ(device->CreateVertexBuffer(bytes, D3DUSAGE_WRITEONLY, V::kFvf, D3DPOOL_MANAGED, &vb, nullptr),
                  D3D_OK);
        void* data = nullptr;
        vb->Lock(0, 0, &data, 0);
        std::memcpy(data, vertices.data(), bytes);
        vb->Unlock();
        return vb;
    }

    // Draws the vertices as a triangle list, or a lone vertex as a point.
    template <class V>
    void Draw(const std::vector<V>& vertices)
    {
        IDirect3DVertexBuffer9* vb = VertexBuffer(vertices);
        device->SetStreamSource(0, vb, 0, sizeof(V));
        device->SetFVF(V::kFvf);
        const UINT n = static_cast<UINT>(vertices.size());
        device->DrawPrimitive(n == 1 ? D3DPT_POINTLIST : D3DPT_TRIANGLELIST, 0, n == 1 ? 1 : n / 3);
        vb->Release();
    }

    // One frame of the vertices over a target cleared to `clear`; the centre pixel presented.
    template <class V>
    D3DCOLOR FrameCentre(const std::vector<V>& vertices, D3DCOLOR clear = 0xFF000000)
    {
        Begin(clear);
        Draw(vertices);
        End();
        return PresentedPixel(kSize / 2, kSize / 2);
    }

    // A lit point on the row through the centre, facing the camera: its pixel shows exactly the
    // lighting of its one vertex.
    D3DCOLOR LitPointColor(float x, float z)
    {
        device->SetRenderState(D3DRS_POINTSIZE, Bits(3.0f));
        FrameCentre(std::vector<LitVertex>{{x, 0, z, 0, 0, -1, 0, 0}});
        return PresentedPixel(static_cast<int>(std::lround((x / z + 1.0f) * kSize / 2)), kSize / 2);
    }

    void SetStates(std::initializer_list<std::pair<D3DRENDERSTATETYPE, DWORD>> states)
    {
        for (const auto& [state, value] : states) device->SetRenderState(state, value);
    }
    void UseMaterial(D3DCOLORVALUE diffuse, D3DCOLORVALUE ambient = {}, D3DCOLORVALUE specular = {},
                     D3DCOLORVALUE emissive = {}, float power = 0)
    {
        const D3DMATERIAL9 m{diffuse, ambient, specular, emissive, power};
        device->SetMaterial(&m);
    }
    void UseLight(const D3DLIGHT9& light, DWORD index = 0)
    {
        EXPECT_EQ(device->SetLight(index, &light), D3D_OK);
        device->LightEnable(index, TRUE);
    }
};

}  // namespace

TEST_F(DrawTest, UnlitSquareShowsVertexColourAndBackFacesAreCulled)
{
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    ExpectColor(FrameCentre(ColorSquare(1.96875f, 4.0f, 0xFF20C040)), 0x20, 0xC0, 0x40);  // screen 16.25 .. 47.75
    // Direct3D's pixel centres lie on whole coordinates and miss the edges a quarter pixel past
    // column and row 16; OpenGL's lie half a pixel on and would be covered.
    const RECT lit = testutil::LitRect(0, 0, kSize, kSize);
    EXPECT_EQ((std::array{lit.left, lit.top, lit.right, lit.bottom}), (std::array<LONG, 4>{17, 17, 48, 48}));

    // Wound the other way the square faces away and the default CCW culling drops it,
    // until culling is turned off.
    auto reversed = ColorSquare(2.0f, 4.0f, kWhite);
    std::swap(reversed[1], reversed[2]);
    std::swap(reversed[4], reversed[5]);
    ExpectColor(FrameCentre(reversed), 0, 0, 0);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    ExpectColor(FrameCentre(reversed), 255, 255, 255);
}

TEST_F(DrawTest, DepthRunsFromZeroAtTheNearPlaneToOneAndKeepsTheNearerSurface)
{
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    // Nearer than the near plane nothing is drawn, and z = 1.5 (depth 0.34) passes a buffer
    // cleared to 0.5 where z = 3 (0.67) does not.
    ExpectColor(FrameCentre(ColorSquare(0.3f, 0.7f, kWhite)), 0, 0, 0);
    Begin(0xFF000000, 0.5f);
    Draw(ColorSquare(0.25f, 1.5f, kWhite, -0.5f));  // around column 21
    Draw(ColorSquare(0.5f, 3.0f, kWhite, 1.0f));    // around column 43
    End();
    ExpectColor(PresentedPixel(21, 32), 255, 255, 255);
    ExpectColor(PresentedPixel(43, 32), 0, 0, 0);

    // The nearer square, drawn first, hides the farther one until depth writes are turned off.
    for (const auto& [zWrite, green] : {std::pair<DWORD, int>{TRUE, 0}, {FALSE, 255}}) {
        device->SetRenderState(D3DRS_ZWRITEENABLE, zWrite);
        Begin();
        Draw(ColorSquare(1.0f, 3.0f, 0xFFFF0000));
        Draw(ColorSquare(4.0f, 8.0f, 0xFF00FF00));
        End();
        ExpectColor(PresentedPixel(32, 32), 255 - green, green, 0);
        ExpectColor(PresentedPixel(20, 32), 0, 255, 0);
    }
}

TEST_F(DrawTest, DirectionalLightRefusedLightsAndTheDefaultLight)
{
    UseMaterial({1, 1, 1, 1});
    D3DLIGHT9 light = Light(D3DLIGHT_DIRECTIONAL, {1.0f, 0.5f, 0.25f, 1.0f});
    UseLight(light);
    ExpectColor(FrameCentre(LitSquare()), 255, 128, 64);

    // Each of these would light the point green; Direct3D refuses them all.
    D3DLIGHT9 green = Light(D3DLIGHT_DIRECTIONAL, {0, 1, 0, 1}, 100.0f, 1.0f);
    green.Theta = 0.5f;
    green.Phi = 1.0f;
    std::vector<D3DLIGHT9> refused(6, green);
    refused[0].Direction = refused[1].Direction = {0, 0, 0};  // a look-at equal to the position
    refused[1].Type = D3DLIGHT_SPOT;
    refused[2].Type = refused[3].Type = D3DLIGHT_POINT;
    refused[2].Attenuation1 = -1.0f;
    refused[3].Range = 2e19f;  // beyond sqrt(FLT_MAX)
    refused[4].Direction.y = std::nanf("");
    refused[5].Type = static_cast<D3DLIGHTTYPE>(4);
    for (const D3DLIGHT9& bad : refused) {
        EXPECT_EQ(device->SetLight(0, &bad), D3DERR_INVALIDCALL) << "type " << bad.Type;
        ExpectColor(LitPointColor(0, 4), 255, 128, 64);
    }
    // A point light has no direction to check; any light index is taken.
    green.Type = D3DLIGHT_POINT;
    green.Direction = {0, 0, 0};
    green.Position = {0, 0, 2};
    EXPECT_EQ(device->SetLight(0, &green), D3D_OK);
    EXPECT_EQ(device->SetLight(0xFFFFFFFF, &green), D3D_OK);
    EXPECT_EQ(device->LightEnable(1000000, FALSE), D3D_OK);
    ExpectColor(LitPointColor(0, 4), 0, 255, 0);

    // From behind the surface the light adds nothing; the global ambient still counts.
    light.Direction = {0, 0, -1};
    device->SetLight(0, &light);
    UseMaterial({1, 1, 1, 1}, {1, 1, 1, 1});
    device->SetRenderState(D3DRS_AMBIENT, 0xFF404040);
    ExpectColor(FrameCentre(LitSquare()), 0x40, 0x40, 0x40);

    // A light enabled without ever being set is white and shines along +z.
    device->SetRenderState(D3DRS_AMBIENT, 0);
    device->LightEnable(0, FALSE);
    device->LightEnable(3, TRUE);
    ExpectColor(FrameCentre(LitSquare()), 255, 255, 255);

    // Specular is added after texturing, and only while SPECULARENABLE is on.
    UseMaterial({0, 0, 0, 1}, {}, {1, 1, 1, 1}, {}, 10.0f);
    light = Light(D3DLIGHT_DIRECTIONAL, {});
    light.Specular = {0.5f, 0.25f, 0.5f, 1.0f};
    UseLight(light, 3);
    device->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
    ExpectColor(LitPointColor(0, 4), 128, 64, 128);
    device->SetRenderState(D3DRS_SPECULARENABLE, FALSE);
    ExpectColor(LitPointColor(0, 4), 0, 0, 0);

    // Lighting on with no light enabled: black.
    UseMaterial({1, 1, 1, 1});
    device->LightEnable(3, FALSE);
    ExpectColor(FrameCentre(LitSquare()), 0, 0, 0);
}

TEST_F(DrawTest, PointAndSpotLightsAndMaterialTerms)
{
    UseMaterial({1, 1, 1, 1});
    D3DLIGHT9 light = PointLight({0, 0, 4});
    UseLight(light);
    ExpectColor(LitPointColor(0, 6), 128, 128, 128);  // d = 2, N.L = 1
    // d = 2.5 off-axis: N.L = 2 / 2.5 and attenuation 1 / 2.5.
    ExpectColor(LitPointColor(1.5f, 6), 82, 82, 82);

    // All three terms at d = 2: 1 / (0.5 + 0.25 x 2 + 0.125 x 4).
    light.Attenuation0 = 0.5f;
    light.Attenuation1 = 0.25f;
    light.Attenuation2 = 0.125f;
    device->SetLight(0, &light);
    ExpectColor(LitPointColor(0, 6), 170, 170, 170);

    // Attenuations that sum to 0 saturate what the light reaches; a channel it lacks stays 0.
    light.Diffuse = {0.25f, 0.5f, 0.0f, 1.0f};
    light.Attenuation0 = light.Attenuation1 = light.Attenuation2 = 0.0f;
    device->SetLight(0, &light);
    ExpectColor(LitPointColor(0, 6), 255, 255, 0);

    // A spot light, full strength to 100 units (constant attenuation 1) as the scene's lights.
    light = Light(D3DLIGHT_SPOT, {1, 1, 1, 1}, 100.0f, 1.0f);
    light.Theta = 0.2f;
    light.Phi = 0.4f;
    light.Falloff = 1.0f;
    device->SetLight(0, &light);

    ExpectColor(LitPointColor(0, 6), 255, 255, 255);  // inside the inner cone
    // At 0.15 rad off the axis, between the half-angles 0.1 and 0.2: the falloff ramp, times N.L.
    const float angle = 0.15f;
    const float ramp = (std::cos(angle) - std::cos(0.2f)) / (std::cos(0.1f) - std::cos(0.2f));
    const int expected = static_cast<int>(std::lround(255 * ramp * std::cos(angle)));
    ExpectColor(LitPointColor(6 * std::tan(angle), 6), expected, expected, expected, 4);
    ExpectColor(LitPointColor(6 * std::tan(0.3f), 6), 0, 0, 0);  // outside the outer cone

    // The falloff is the ramp's exponent.
    light.Falloff = 2.0f;
    device->SetLight(0, &light);
    const int squared = static_cast<int>(std::lround(255 * ramp * ramp * std::cos(angle)));
    ExpectColor(LitPointColor(6 * std::tan(angle), 6), squared, squared, squared, 4);

    // Emissive + material ambient x (global + light ambient x attenuation) + diffuse terms, at
    // attenuation 1/2.
    UseMaterial({0.5f, 0.5f, 0.5f, 1}, {1, 0.5f, 0, 1}, {}, {0.125f, 0.25f, 0, 1});
    device->SetRenderState(D3DRS_AMBIENT, 0xFF404040);
    light = PointLight({0, 0, 4});
    light.Ambient = {0.5f, 0.5f, 0.5f, 1};
    device->SetLight(0, &light);
    const float global = 64.0f / 255;
    auto channel = [&](float e, float a, float d) {
        return static_cast<int>(std::lround(255 * (e + a * (global + 0.25f) + d * 0.5f)));
    };
    ExpectColor(LitPointColor(0, 6), channel(0.125f, 1, 0.5f), channel(0.25f, 0.5f, 0.5f), channel(0, 0, 0.5f));

    // Out of range the light adds nothing, its ambient included.
    light.Range = 1.9f;
    device->SetLight(0, &light);
    ExpectColor(LitPointColor(0, 6), 96, 96, 0);
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
    SetStates({{D3DRS_NORMALIZENORMALS, TRUE}, {D3DRS_POINTSIZE, Bits(3.0f)}});
    UseMaterial({1, 1, 1, 1});
    D3DLIGHT9 light = PointLight({4, 0, 0});
    UseLight(light);
    const std::vector<LitVertex> point{{0, 0, 0, 0, 0, -1, 0, 0}};
    ExpectColor(FrameCentre(point), 128, 128, 128);

    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Direction = {1, 0, 0};
    device->SetLight(0, &light);
    ExpectColor(FrameCentre(point), 255, 255, 255);
    light.Direction = {0, 0, 1};  // grazing the surface
    device->SetLight(0, &light);
    ExpectColor(FrameCentre(point), 0, 0, 0);
}

TEST_F(DrawTest, LinearFogByEyeDepth)
{
    SetStates({{D3DRS_LIGHTING, FALSE}, {D3DRS_FOGENABLE, TRUE}, {D3DRS_FOGTABLEMODE, D3DFOG_LINEAR},
               {D3DRS_FOGSTART, Bits(2.0f)}, {D3DRS_FOGEND, Bits(10.0f)}, {D3DRS_FOGCOLOR, 0xFFFF0000}});
    // A white square filling half the view at depth z, seen through red fog.
    auto fogged = [&](float z) { return FrameCentre(ColorSquare(z * 0.5f, z, kWhite)); };
    const std::pair<float, int> cases[] = {{2.0f, 255}, {6.0f, 128}, {10.0f, 0}, {20.0f, 0}};
    for (const auto& [z, white] : cases) ExpectColor(fogged(z), 255, white, white);

    // The same from the vertices' fog factors, with table fog off.
    SetStates({{D3DRS_FOGTABLEMODE, D3DFOG_NONE}, {D3DRS_FOGVERTEXMODE, D3DFOG_LINEAR}});
    for (const auto& [z, white] : cases) ExpectColor(fogged(z), 255, white, white);

    // Range fog takes each vertex's distance: the corners of this square lie sqrt(54) away, and
    // their factor fills it, its centre included.
    SetStates({{D3DRS_FOGSTART, Bits(0.0f)}, {D3DRS_RANGEFOGENABLE, TRUE}});
    const int ranged = static_cast<int>(std::lround(255 * (10 - std::sqrt(54.0)) / 10));
    ExpectColor(FrameCentre(ColorSquare(3.0f, 6.0f, kWhite)), 255, ranged, ranged);
    device->SetRenderState(D3DRS_RANGEFOGENABLE, FALSE);

    // Start equal to end: no fog nearer, all fog from that distance on, never a NaN. Vertex
    // factors are worked at exactly the distance, pixel depths only near it.
    SetStates({{D3DRS_FOGSTART, Bits(6.0f)}, {D3DRS_FOGEND, Bits(6.0f)}});
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
    SetStates({{D3DRS_LIGHTING, FALSE}, {D3DRS_POINTSPRITEENABLE, TRUE}, {D3DRS_POINTSCALEENABLE, TRUE}});
    // The width of a white sprite at distance d on row 32, where its centre lies.
    auto width = [&](float d) {
        FrameCentre(std::vector<ColorVertex>{{0, 0, d, kWhite}});
        const RECT r = testutil::LitRect(0, 32, kSize, 33);
        return r.right - r.left;
    };
    // Direct3D's size: viewport height x POINTSIZE x sqrt(1 / (A + B d + C d^2)), at most 64;
    // it covers the pixels whose centres lie in [32 - size / 2, 32 + size / 2).
    struct Scale {
        float size, a, b, c;
    };
    for (const Scale& s : {Scale{0.5f, 0, 0, 1}, Scale{0.5f, 8, 1, 0.5f}}) {
        SetStates({{D3DRS_POINTSIZE, Bits(s.size)}, {D3DRS_POINTSCALE_A, Bits(s.a)}, {D3DRS_POINTSCALE_B, Bits(s.b)},
                   {D3DRS_POINTSCALE_C, Bits(s.c)}});
        for (float d : {4.0f, 8.0f}) {
            const float size = std::min(kSize * s.size / std::sqrt(s.a + s.b * d + s.c * d * d), 64.0f);
            const int expected = static_cast<int>(std::ceil(32 + size / 2) - std::ceil(32 - size / 2));
            EXPECT_EQ(width(d), expected) << "A " << s.a << " distance " << d;
        }
    }
    // Scaling off, POINTSIZE is the size in pixels at every distance.
    SetStates({{D3DRS_POINTSCALEENABLE, FALSE}, {D3DRS_POINTSIZE, Bits(5.0f)}});
    EXPECT_EQ(width(4.0f), 5);
    EXPECT_EQ(width(16.0f), 5);

    // The whole texture lies across the sprite, upright: red and green over blue and white.
    const std::uint8_t rgba[] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255};
    IDirect3DTexture9* texture = platform::d3d9::CreateTextureFromRgba(device, 2, 2, rgba);
    device->SetTexture(0, texture);
    device->SetRenderState(D3DRS_POINTSIZE, Bits(8.0f));
    FrameCentre(std::vector<ColorVertex>{{0, 0, 4, kWhite}});
    ExpectColor(PresentedPixel(29, 29), 255, 0, 0);
    ExpectColor(PresentedPixel(34, 29), 0, 255, 0);
    ExpectColor(PresentedPixel(29, 34), 0, 0, 255);
    ExpectColor(PresentedPixel(34, 34), 255, 255, 255);
    device->SetTexture(0, nullptr);
    texture->Release();

    // Clamped to the 64-pixel maximum and to POINTSIZE_MIN.
    SetStates({{D3DRS_POINTSCALEENABLE, TRUE}, {D3DRS_POINTSIZE, Bits(100.0f)}});
    EXPECT_EQ(width(4.0f), 64);
    SetStates({{D3DRS_POINTSIZE, Bits(0.01f)}, {D3DRS_POINTSIZE_MIN, Bits(6.0f)}});
    EXPECT_EQ(width(4.0f), 6);
}

TEST_F(DrawTest, AlphaBlendingAndTextureStages)
{
    SetStates({{D3DRS_LIGHTING, FALSE}, {D3DRS_ALPHABLENDENABLE, TRUE}, {D3DRS_SRCBLEND, D3DBLEND_SRCALPHA},
               {D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA}});
    const D3DCOLOR blue = 0xFF0000FF;
    ExpectColor(FrameCentre(ColorSquare(2.0f, 4.0f, 0x80FF0000), blue), 128, 0, 127);

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
    FrameCentre(quad, blue);
    ExpectColor(PresentedPixel(20, 32), 0, 0, 255);  // transparent texels
    ExpectColor(PresentedPixel(44, 32), 0, 128, 0);  // green x grey

    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
    FrameCentre(quad, blue);
    ExpectColor(PresentedPixel(20, 32), 128, 128, 128);

    // Releasing a bound texture unbinds it: the stage then reads opaque white.
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    texture->Release();
    FrameCentre(quad);
    ExpectColor(PresentedPixel(20, 32), 255, 255, 255);

    // The alpha test compares 8-bit values: alpha 0x80 passes GREATEREQUAL 0x80, 0x7F does not.
    SetStates({{D3DRS_ALPHATESTENABLE, TRUE}, {D3DRS_ALPHAREF, 0x80}, {D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL}});
    for (const auto& [alpha, white] : {std::pair<DWORD, int>{0x80, 128}, {0x7F, 0}})
        ExpectColor(FrameCentre(ColorSquare(2.0f, 4.0f, alpha << 24 | 0xFFFFFF), blue), white, white, 255);
}

TEST_F(DrawTest, IndexedDrawsAndBadRanges)
{
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    IDirect3DVertexBuffer9* vb = VertexBuffer(std::vector<ColorVertex>{
        {-2, 2, 4, 0xFFFFFF00}, {2, 2, 4, 0xFFFFFF00}, {2, -2, 4, 0xFFFFFF00}, {-2, -2, 4, 0xFFFFFF00}});
    IDirect3DIndexBuffer9* ib = nullptr;
    ASSERT_EQ(device->CreateIndexBuffer(12 * 2, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &ib, nullptr), D3D_OK);
    const std::uint16_t indices[12] = {0, 1, 3, 1, 2, 3, 0, 1, 9, 0, 0, 0};
    void* data = nullptr;
    ib->Lock(0, 0, &data, 0);
    std::memcpy(data, indices, sizeof indices);
    ib->Unlock();
    EXPECT_EQ(ib->Lock(20, 8, &data, 0), D3DERR_INVALIDCALL);

    device->SetStreamSource(0, vb, 0, sizeof(ColorVertex));
    device->SetIndices(ib);
    device->SetFVF(ColorVertex::kFvf);
    Begin();
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2), D3D_OK);
    End();
    ExpectColor(PresentedPixel(32, 32), 255, 255, 0);

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
    device->SetFVF(ColorVertex::kFvf);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_POINTLIST, 0, 1), D3DERR_INVALIDCALL);
}

TEST_F(DrawTest, BufferLocksUploadTheBytesTheyCoverAndKeepTheRest)
{
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    // A left square then a right one, six vertices each.
    std::vector<ColorVertex> squares = ColorSquare(1.0f, 4.0f, 0xFFFFFF00, -2);
    const std::vector<ColorVertex> right = ColorSquare(1.0f, 4.0f, 0xFFFFFF00, 2);
    squares.insert(squares.end(), right.begin(), right.end());
    IDirect3DVertexBuffer9* vb = VertexBuffer(squares);
    const UINT half = 6 * sizeof(ColorVertex);
    // Recolours the vertices of a locked range (of `vertices` vertices at `data`).
    const auto paint = [](void* data, int vertices, D3DCOLOR color) {
        for (int i = 0; i < vertices; ++i) static_cast<ColorVertex*>(data)[i].color = color;
    };
    const auto frame = [&](std::array<int, 3> left, std::array<int, 3> right) {
        Begin();
        device->SetStreamSource(0, vb, 0, sizeof(ColorVertex));
        device->SetFVF(ColorVertex::kFvf);
        device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 4);
        End();
        ExpectColor(PresentedPixel(16, 32), left[0], left[1], left[2]);
        ExpectColor(PresentedPixel(48, 32), right[0], right[1], right[2]);
    };
    void* data = nullptr;
    ASSERT_EQ(vb->Lock(half, half, &data, 0), D3D_OK);
    paint(data, 6, 0xFF0000FF);
    vb->Unlock();
    frame({255, 255, 0}, {0, 0, 255});
    // A size of 0 runs to the end.
    vb->Lock(half, 0, &data, D3DLOCK_DISCARD);
    paint(data, 6, 0xFFFF0000);
    vb->Unlock();
    frame({255, 255, 0}, {255, 0, 0});
    // Nested locks: both ranges reach the draw, once the last lock is undone.
    void* second = nullptr;
    vb->Lock(0, half, &data, 0);
    vb->Lock(half, half, &second, D3DLOCK_NOOVERWRITE);
    paint(data, 6, 0xFF00FF00);
    EXPECT_EQ(vb->Unlock(), D3D_OK);
    paint(second, 6, 0xFF00FF00);
    EXPECT_EQ(vb->Unlock(), D3D_OK);
    EXPECT_EQ(vb->Unlock(), D3DERR_INVALIDCALL);
    frame({0, 255, 0}, {0, 255, 0});
    vb->Lock(0, 0, &data, 0);
    paint(data, 12, kWhite);
    vb->Unlock();
    frame({255, 255, 255}, {255, 255, 255});
    vb->Release();
}

TEST_F(DrawTest, TexturesSharingAnImageEachDrawWithTheFilterInForce)
{
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    const std::uint8_t redBlue[] = {255, 0, 0, 255, 0, 0, 255, 255};  // 2 x 1
    const platform::d3d9::TextureFile file{1, 2, 3, 4, 5}, other{1, 2, 3, 4, 6};
    IDirect3DTexture9* a = platform::d3d9::CreateTextureFromRgba(device, 2, 1, redBlue, &file);
    IDirect3DTexture9* b = platform::d3d9::ShareFileTexture(device, file);
    ASSERT_TRUE(a && b);
    EXPECT_NE(a, b);
    EXPECT_EQ(platform::d3d9::ShareFileTexture(device, other), nullptr);
    const auto quad = Square<TexturedVertex>(0, 0, 2.0f, 4.0f, [](float x, float y, float z) {
        return TexturedVertex{x, y, z, kWhite, x < 0 ? 0.0f : 1.0f, y > 0 ? 0.0f : 1.0f};
    });
    // A pixel a little left of the middle: linear filtering mixes in the blue texel.
    for (const auto& [texture, filter, blue] : {std::tuple{a, D3DTEXF_LINEAR, 71}, {b, D3DTEXF_POINT, 0},
                                                {a, D3DTEXF_LINEAR, 71}, {b, D3DTEXF_POINT, 0}}) {
        device->SetSamplerState(0, D3DSAMP_MAGFILTER, filter);
        device->SetSamplerState(0, D3DSAMP_MINFILTER, filter);
        device->SetTexture(0, texture);
        FrameCentre(quad);
        ExpectColor(PresentedPixel(28, 32), 255 - blue, 0, blue, 8);
    }
    a->Release();
    b->Release();
    EXPECT_EQ(platform::d3d9::ShareFileTexture(device, file), nullptr) << "gone with its last texture";
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
    Draw(ColorSquare(1.0f, 3.0f, 0xFF0000FF));
    Draw(ColorSquare(8.0f, 8.0f, 0xFF00FF00));
    platform::d3d9::DrawOverlay(device, 10, 20, 4, 4, overlay.data());
    // Farther than everything drawn: the depth test, still on, hides it all.
    Draw(ColorSquare(9.0f, 9.0f, 0xFFFFFF00));
    End();
    ExpectColor(PresentedPixel(10, 20), 255, 0, 0);
    ExpectColor(PresentedPixel(13, 21), 255, 0, 0);
    ExpectColor(PresentedPixel(13, 23), 128, 127, 0);  // half red over the green square
    ExpectColor(PresentedPixel(14, 20), 0, 255, 0);
    ExpectColor(PresentedPixel(32, 32), 0, 0, 255);
}
