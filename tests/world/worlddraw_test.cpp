// Drawn and read back: the particles' point sprites and a height block's profile.
#include <cmath>

#include "world/particles.h"
#include "worldfixture.h"

namespace {

class WorldDrawTest : public WorldTest {
protected:
    template <class Draw>
    void Frame(Draw draw)
    {
        g_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        g_pDevice->BeginScene();
        draw();
        g_pDevice->EndScene();
        g_pDevice->Present(nullptr, nullptr, nullptr, nullptr);
    }
    static bool Lit(int x, int y) { return (testutil::PresentedPixel(x, y) & 0xFFFFFF) != 0; }
};

}  // namespace

// Direct3D 9 sizes a scaled point sprite at viewport height x size x sqrt(1 / (A + B d + C d²)),
// with d its distance from the eye: the particles' A = B = 0 and C = 1 halve it as d doubles.
TEST_F(WorldDrawTest, PointSpritesShrinkWithDistance)
{
    UseDevice(128, 128);
    D3DXMATRIX identity, projection;
    D3DXMatrixIdentity(&identity);
    D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 2, 1.0f, 1.0f, 100.0f);
    g_pDevice->SetTransform(D3DTS_VIEW, &identity);
    g_pDevice->SetTransform(D3DTS_PROJECTION, &projection);
    for (int distance : {8, 16}) {
        const std::string d = std::to_string(distance);
        root.Write("dot.txt", "[Data]\nMaxParticle=1\nGenerateRate=1\nGenerateProbability=1\nParticleLife=9\n"
                              "ParticleSize=1\nColor=FFFFFFFF\nGenerateBox.MinZ=" + d + "\nGenerateBox.MaxZ=" + d +
                              "\nBoundingBox.MaxZ=100\n");
        CParticleSystem particles;
        particles.Load("$\\dot.txt");
        particles.bEnabled = true;
        particles.Update();
        Frame([&] { particles.Render(); });
        int wide = 0, tall = 0;
        for (int i = 0; i < 128; ++i) {
            wide += Lit(i, 64);
            tall += Lit(64, i);
        }
        const double expected = 128.0 * 1.0 * std::sqrt(1.0 / (distance * distance));
        EXPECT_NEAR(wide, expected, 1.0) << distance;
        EXPECT_NEAR(tall, expected, 1.0) << distance;
    }
}

// A ramp block seen from above and in front, through an orthographic camera: the top of its
// silhouette follows the heights of its far edge. Default culling shows its upper side.
TEST_F(WorldDrawTest, HeightBlockProfileFollowsTheBitmap)
{
    UseDevice(64, 128);
    WriteGreys("ramp.bmp", 4, 1, {0, 96, 192, 255});  // heights 0, 32, 64, 85 at x = -24, -8, 8, 24
    WriteTexture("white.tga");
    HeightBlockManager manager;
    CHeightBlock* block = manager.LoadBlock("ramp", "ramp.bmp", "white.tga", D3DXVECTOR3(48, 255, 32), 4);
    ASSERT_NE(block->texture.GetTexture(), nullptr);

    D3DXMATRIX view, projection, both;
    const D3DXVECTOR3 eye(0, 100, -100), at(0, 0, 0), up(0, 1, 0);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixIdentity(&projection);
    projection._11 = 2.0f / 64;
    projection._22 = 2.0f / 128;
    projection._33 = 1.0f / 999;
    projection._43 = -1.0f / 999;
    D3DXMatrixMultiply(&both, &view, &projection);
    g_pDevice->SetTransform(D3DTS_VIEW, &view);
    g_pDevice->SetTransform(D3DTS_PROJECTION, &projection);
    g_pDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
    const D3DXVECTOR3 offset(0, -60, 0);
    Frame([&] { block->Render(&offset); });

    const float xs[] = {-24, -8, 8, 24}, hs[] = {0, 32, 64, 85};
    for (float x = -20; x <= 20; x += 4) {
        const int seg = x < -8 ? 0 : (x < 8 ? 1 : 2);
        const float h = hs[seg] + (hs[seg + 1] - hs[seg]) * (x - xs[seg]) / 16;
        D3DXVECTOR3 farEdge(x, -60 + h, 16), screen;
        D3DXVec3TransformCoord(&screen, &farEdge, &both);
        const int column = static_cast<int>((screen.x + 1) / 2 * 64);
        const float expectedRow = (1 - screen.y) / 2 * 128;
        int top = 0;
        while (top < 128 && !Lit(column, top))
            ++top;
        EXPECT_NEAR(top, expectedRow, 1.5) << "x = " << x;
    }
    manager.Clear();
}
