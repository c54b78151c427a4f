#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "bindings/gameframe.h"
#include "foundation/device.h"
#include "media/font.h"
#include "media/texture.h"
#include "support/mediafiles.h"
#include "support/testdevice.h"
#include "ui/uifixture.h"

namespace {

int Channel(D3DCOLOR c, int shift) { return static_cast<int>((c >> shift) & 0xFF); }
int Green(int x, int y) { return Channel(testutil::PresentedPixel(x, y), 8); }
bool Lit(int x0, int y0, int x1, int y1) { return testutil::LitRect(x0, y0, x1, y1).right >= 0; }

class UIRenderTest : public uitest::UIFixture {
protected:
    testutil::GlobalTestDevice device{640, 480};

    void SetUp() override
    {
        UIFixture::SetUp();
        ASSERT_NE(g_pDevice, nullptr);
        SetupRenderStates(g_pDevice);
        if (!g_pTextureManager) g_pTextureManager = new CTextureManager;
        dir.Write("white.png", testutil::PngFile(1, 1, 4, {255, 255, 255, 255}));
        dir.Write("blue.png", testutil::PngFile(1, 1, 4, {0, 0, 128, 255}));
        dir.Write("fonts.txt", "[plain]\nfontname=DejaVu Sans\nheight=20\nweight=700\nitalic=0\n");
        g_FontManager.LoadFonts("fonts.txt");
    }
    void TearDown() override
    {
        UIFixture::TearDown();
        g_pTextureManager->Clear();
        g_FontManager.Fonts.Clear();
        g_FontManager.pCurrent = nullptr;
    }

    // Loads the controls after a 640 x 480 header and draws one frame of the interface.
    void Frame(const std::string& controls)
    {
        ASSERT_TRUE(LoadUI("sizex=640\nsizey=480\nfont=plain\n[log]\ntype=none\n" + controls));
        Draw();
    }
    void Draw() { testutil::DrawFrame([] { g_UIManager.Render(); }); }
};

}  // namespace

TEST_F(UIRenderTest, QuadsAreTintedTexturedRectanglesInDesignUnits)
{
    Frame("[red]\ntype=static\ntexture=white.png\nposx=100\nposy=100\nsizex=200\nsizey=100\ncolor=FFFF0000\n"
          "[faint]\ntype=static\ntexture=white.png\nposx=400\nposy=0\nsizex=50\nsizey=50\ncolor=20FFFFFF\n"
          "[hidden]\ntype=static\ntexture=white.png\nposx=500\nposy=0\nsizex=50\nsizey=50\ncolor=1FFFFFFF\n"
          "[bare]\ntype=static\nposx=0\nposy=300\nsizex=100\nsizey=100\n");
    const RECT red = testutil::LitRect(0, 80, 400, 300);
    EXPECT_EQ(red.left, 100);
    EXPECT_EQ(red.top, 100);
    EXPECT_EQ(red.right, 300);
    EXPECT_EQ(red.bottom, 200);
    EXPECT_GT(Channel(testutil::PresentedPixel(200, 150), 16), 240);
    EXPECT_LT(Green(200, 150), 16);

    EXPECT_NEAR(Green(425, 25), 32, 3);  // alpha 32 blends a little white in
    EXPECT_FALSE(Lit(500, 0, 550, 50));  // alpha 31 is not drawn at all
    EXPECT_FALSE(Lit(0, 300, 100, 400));  // no texture and no caption: nothing
}

TEST_F(UIRenderTest, PanelsAreNeverDrawnButTintTheirChildren)
{
    Frame("[panel]\ntype=panel\ntexture=white.png\ntext=PANEL\nposx=0\nposy=0\nsizex=640\nsizey=480\n"
          "color=80FFFFFF\n"
          "[child]\ntype=button\npanel=panel\ntexture=white.png\nposx=100\nposy=100\nsizex=50\nsizey=50\n"
          "color=FF00FF00\n"
          "[dim]\ntype=button\npanel=panel\ntexture=white.png\nposx=300\nposy=100\nsizex=50\nsizey=50\n"
          "color=3FFFFFFF\n");
    EXPECT_NEAR(Green(125, 125), 128, 3);
    EXPECT_FALSE(Lit(0, 0, 90, 90));
    EXPECT_FALSE(Lit(300, 100, 350, 150));  // its alpha times the panel's falls under the bound
}

TEST_F(UIRenderTest, CaptionsAreCentredAndDrawnOverTheirOwnQuad)
{
    // White text on a blue textured button: any red in the button shows the caption on top.
    Frame("[button]\ntype=button\ntexture=blue.png\ntext=OK\nposx=200\nposy=100\nsizex=200\nsizey=80\n"
          "[label]\ntype=static\ntext=Hi\nposx=200\nposy=300\nsizex=200\nsizey=80\n"
          "[gone]\ntype=static\ntext=Hi\nposx=0\nposy=0\nsizex=200\nsizey=80\ncolor=00FFFFFF\n");
    EXPECT_GT(Channel(testutil::PresentedPixel(210, 110), 0), 100);  // the quad is drawn
    int brightest = 0;
    for (int y = 100; y < 180; ++y)
        for (int x = 200; x < 400; ++x)
            brightest = std::max(brightest, Channel(testutil::PresentedPixel(x, y), 16));
    EXPECT_GT(brightest, 200);
    const RECT text = testutil::LitRect(200, 300, 400, 380);
    EXPECT_NEAR((text.left + text.right) / 2.0, 300.0, 4.0);
    EXPECT_NEAR((text.top + text.bottom) / 2.0, 340.0, 6.0);
    EXPECT_FALSE(Lit(0, 0, 200, 80));
    EXPECT_EQ(g_FontManager.pCurrent, g_FontManager.FindFont("plain"));
}

TEST_F(UIRenderTest, ACaptionRectangleSpanningTheIntRangeIsStillCentred)
{
    Frame("[wide]\ntype=static\ntext=WWWW\nposx=-2000000000\nposy=200\nsizex=2000000000\nsizey=80\n");
    Control("wide")->SizeX.Set(4.0e9f);  // right edge at 2e9: the centre is x = 0
    Draw();
    EXPECT_TRUE(Lit(0, 220, 40, 260));
    EXPECT_FALSE(Lit(0, 0, 640, 200));
    EXPECT_FALSE(Lit(0, 280, 640, 480));
}

TEST_F(UIRenderTest, AddedControlsTakeTheSettingsButNeverShareBuffers)
{
    CUIControl local;
    local.strText = "copied";
    local.CreateBuffers();
    ASSERT_NE(local.pVertexBuffer, nullptr);
    CUIControl* stored = g_UIManager.AddControl(&local);
    EXPECT_EQ(stored->strText, "copied");
    EXPECT_EQ(stored->pVertexBuffer, nullptr);
    EXPECT_EQ(stored->pIndexBuffer, nullptr);
}

TEST_F(UIRenderTest, DrawingLeavesLightingCullingAndDepthAsTheSceneWantsThem)
{
    const std::pair<D3DRENDERSTATETYPE, DWORD> after[] = {
        {D3DRS_LIGHTING, TRUE}, {D3DRS_CULLMODE, D3DCULL_CCW}, {D3DRS_ZENABLE, TRUE}};
    for (const auto& [state, value] : after) g_pDevice->SetRenderState(state, 0);
    Frame("");
    for (const auto& [state, value] : after) {
        DWORD v = 0;
        g_pDevice->GetRenderState(state, &v);
        EXPECT_EQ(v, value) << state;
    }
}
