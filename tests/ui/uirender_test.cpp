#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "bindings/gameframe.h"
#include "foundation/device.h"
#include "media/font.h"
#include "media/texture.h"
#include "support/testdevice.h"
#include "ui/uifixture.h"

namespace {

// A 2 x 2 opaque 32-bit TGA image of one colour.
std::string SolidTga(char blue, char green, char red)
{
    std::string tga(18, '\0');
    tga[2] = 2;
    tga[12] = 2;
    tga[14] = 2;
    tga[16] = 32;
    tga[17] = 0x28;
    for (int i = 0; i < 4; ++i)
        tga += {blue, green, red, '\xFF'};
    return tga;
}

int Channel(D3DCOLOR c, int shift) { return static_cast<int>((c >> shift) & 0xFF); }

class UIRenderTest : public uitest::UIFixture {
protected:
    void SetUp() override
    {
        UIFixture::SetUp();
        g_pDevice = testutil::MakeTestDevice(640, 480);
        ASSERT_NE(g_pDevice, nullptr);
        SetupRenderStates(g_pDevice);
        if (!g_pTextureManager) g_pTextureManager = new CTextureManager;
        dir.Write("white.tga", SolidTga('\xFF', '\xFF', '\xFF'));
        dir.Write("blue.tga", SolidTga('\x80', 0, 0));
        dir.Write("fonts.txt", "[plain]\nfontname=DejaVu Sans\nheight=20\nweight=700\nitalic=0\n");
        g_FontManager.LoadFonts("fonts.txt");
    }
    void TearDown() override
    {
        UIFixture::TearDown();
        g_pTextureManager->Clear();
        g_FontManager.Fonts.Clear();
        g_FontManager.pCurrent = nullptr;
        if (g_pDevice) g_pDevice->Release();
        g_pDevice = nullptr;
    }

    void Frame()
    {
        g_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        g_pDevice->BeginScene();
        g_UIManager.Render();
        g_pDevice->EndScene();
        g_pDevice->Present(nullptr, nullptr, nullptr, nullptr);
    }
    bool Lit(int x0, int y0, int x1, int y1)
    {
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                if (testutil::PresentedPixel(x, y) & 0xFFFFFF) return true;
        return false;
    }
    D3DCOLOR Pixel(int x, int y) { return testutil::PresentedPixel(x, y); }

    static constexpr char kHeader[] = "sizex=640\nsizey=480\nfont=plain\n[log]\ntype=none\n";
};

}  // namespace

TEST_F(UIRenderTest, QuadsAreTintedTexturedRectanglesInDesignUnits)
{
    ASSERT_TRUE(LoadUI(std::string(kHeader) +
                       "[red]\ntype=static\ntexture=white.tga\nposx=100\nposy=100\nsizex=200\nsizey=100\n"
                       "color=FFFF0000\n"
                       "[faint]\ntype=static\ntexture=white.tga\nposx=400\nposy=0\nsizex=50\nsizey=50\n"
                       "color=20FFFFFF\n"
                       "[hidden]\ntype=static\ntexture=white.tga\nposx=500\nposy=0\nsizex=50\nsizey=50\n"
                       "color=1FFFFFFF\n"
                       "[bare]\ntype=static\nposx=0\nposy=300\nsizex=100\nsizey=100\n"));
    Frame();
    const D3DCOLOR inside = Pixel(200, 150);
    EXPECT_GT(Channel(inside, 16), 240);
    EXPECT_LT(Channel(inside, 8), 16);
    EXPECT_EQ(Pixel(95, 150) & 0xFFFFFF, 0u);
    EXPECT_EQ(Pixel(305, 150) & 0xFFFFFF, 0u);
    EXPECT_EQ(Pixel(200, 95) & 0xFFFFFF, 0u);
    EXPECT_EQ(Pixel(200, 205) & 0xFFFFFF, 0u);

    EXPECT_NEAR(Channel(Pixel(425, 25), 8), 32, 3);  // alpha 32 blends a little white in
    EXPECT_FALSE(Lit(500, 0, 550, 50));               // alpha 31 is not drawn at all
    EXPECT_FALSE(Lit(0, 300, 100, 400));              // no texture and no caption: nothing
}

TEST_F(UIRenderTest, PanelsAreNeverDrawnButTintTheirChildren)
{
    ASSERT_TRUE(LoadUI(std::string(kHeader) +
                       "[panel]\ntype=panel\ntexture=white.tga\ntext=PANEL\nposx=0\nposy=0\nsizex=640\nsizey=480\n"
                       "color=80FFFFFF\n"
                       "[child]\ntype=button\npanel=panel\ntexture=white.tga\nposx=100\nposy=100\nsizex=50\n"
                       "sizey=50\ncolor=FF00FF00\n"
                       "[dim]\ntype=button\npanel=panel\ntexture=white.tga\nposx=300\nposy=100\nsizex=50\n"
                       "sizey=50\ncolor=3FFFFFFF\n"));
    Frame();
    EXPECT_NEAR(Channel(Pixel(125, 125), 8), 128, 3);
    EXPECT_FALSE(Lit(0, 0, 90, 90));
    EXPECT_FALSE(Lit(300, 100, 350, 150));  // its alpha times the panel's falls under the bound
}

TEST_F(UIRenderTest, CaptionsAreCentredInTheRectangleAsBackBufferPixels)
{
    ASSERT_TRUE(LoadUI(std::string(kHeader) +
                       "[label]\ntype=static\ntext=Hi\nposx=200\nposy=200\nsizex=200\nsizey=80\n"
                       "[gone]\ntype=static\ntext=Hi\nposx=0\nposy=0\nsizex=200\nsizey=80\ncolor=00FFFFFF\n"));
    Frame();
    EXPECT_TRUE(Lit(280, 220, 320, 260));
    EXPECT_FALSE(Lit(200, 200, 260, 280));  // centred, so the left part stays dark
    EXPECT_FALSE(Lit(0, 0, 200, 80));
    EXPECT_EQ(g_FontManager.pCurrent, g_FontManager.FindFont("plain"));
}

TEST_F(UIRenderTest, ACaptionIsDrawnOverItsOwnQuad)
{
    // White text on a blue textured button: any red in the button shows the caption on top.
    ASSERT_TRUE(LoadUI(std::string(kHeader) +
                       "[button]\ntype=button\ntexture=blue.tga\ntext=OK\nposx=200\nposy=200\nsizex=200\n"
                       "sizey=80\n"));
    Frame();
    EXPECT_GT(Channel(Pixel(210, 210), 0), 100);  // the quad is drawn
    int brightest = 0;
    for (int y = 200; y < 280; ++y)
        for (int x = 200; x < 400; ++x)
            brightest = std::max(brightest, Channel(Pixel(x, y), 16));
    EXPECT_GT(brightest, 200);
}

TEST_F(UIRenderTest, AddedControlsTakeTheSettingsButNeverShareBuffers)
{
    ASSERT_TRUE(LoadUI(kHeader));
    CUIControl local;
    local.strText = "copied";
    local.CreateBuffers();
    ASSERT_NE(local.pVertexBuffer, nullptr);
    CUIControl* stored = g_UIManager.AddControl(&local);
    EXPECT_EQ(stored->strText, "copied");
    EXPECT_EQ(stored->pVertexBuffer, nullptr);
    EXPECT_EQ(stored->pIndexBuffer, nullptr);
}

TEST_F(UIRenderTest, ACaptionRectangleSpanningTheIntRangeIsStillCentred)
{
    ASSERT_TRUE(LoadUI(std::string(kHeader) +
                       "[wide]\ntype=static\ntext=WWWW\nposx=-2000000000\nposy=200\nsizex=2000000000\n"
                       "sizey=80\n"));
    Control("wide")->SizeX.Set(4.0e9f);  // right edge at 2e9: the centre is x = 0
    Frame();
    EXPECT_TRUE(Lit(0, 220, 40, 260));
    EXPECT_FALSE(Lit(0, 0, 640, 200));
    EXPECT_FALSE(Lit(0, 280, 640, 480));
}

TEST_F(UIRenderTest, DrawingLeavesLightingCullingAndDepthAsTheSceneWantsThem)
{
    ASSERT_TRUE(LoadUI(kHeader));
    const std::pair<D3DRENDERSTATETYPE, DWORD> after[] = {
        {D3DRS_LIGHTING, TRUE}, {D3DRS_CULLMODE, D3DCULL_CCW}, {D3DRS_ZENABLE, TRUE}};
    for (const auto& [state, value] : after) g_pDevice->SetRenderState(state, 0);
    Frame();
    for (const auto& [state, value] : after) {
        DWORD v = 0;
        g_pDevice->GetRenderState(state, &v);
        EXPECT_EQ(v, value) << state;
    }
}
