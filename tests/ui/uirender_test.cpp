#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <utility>

#include "bindings/gameframe.h"
#include "foundation/device.h"
#include "media/font.h"
#include "media/texture.h"
#include "support/mediafiles.h"
#include "support/testdevice.h"
#include "ui/uifixture.h"

using uitest::Box;

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

// Alpha 32 blends a little white in, alpha 31 is not drawn at all; a panel is never drawn but
// tints its children (the dim child's alpha times the panel's falls under the bound); without a
// texture or a caption nothing is drawn. Drawing leaves lighting, culling and depth as the scene
// wants them.
TEST_F(UIRenderTest, QuadsAreTintedTexturedRectanglesInDesignUnits)
{
    const std::pair<D3DRENDERSTATETYPE, DWORD> after[] = {
        {D3DRS_LIGHTING, TRUE}, {D3DRS_CULLMODE, D3DCULL_CCW}, {D3DRS_ZENABLE, TRUE}};
    for (const auto& [state, value] : after) g_pDevice->SetRenderState(state, 0);
    Frame(Box("red", "static", 100, 100, 200, 100, "texture=white.png\ncolor=FFFF0000\n") +
          Box("faint", "static", 400, 0, 50, 50, "texture=white.png\ncolor=20FFFFFF\n") +
          Box("hidden", "static", 500, 0, 50, 50, "texture=white.png\ncolor=1FFFFFFF\n") +
          Box("bare", "static", 0, 300, 100, 100) +
          Box("panel", "panel", 0, 400, 640, 80, "texture=white.png\ntext=PANEL\ncolor=80FFFFFF\n") +
          Box("child", "button", 200, 420, 50, 50, "panel=panel\ntexture=white.png\ncolor=FF00FF00\n") +
          Box("dim", "button", 300, 420, 50, 50, "panel=panel\ntexture=white.png\ncolor=3FFFFFFF\n"));
    const RECT red = testutil::LitRect(0, 80, 400, 300);
    EXPECT_EQ((std::array{red.left, red.top, red.right, red.bottom}), (std::array<LONG, 4>{100, 100, 300, 200}));
    EXPECT_GT(Channel(testutil::PresentedPixel(200, 150), 16), 240);
    EXPECT_LT(Green(200, 150), 16);
    EXPECT_NEAR(Green(425, 25), 32, 3);
    EXPECT_FALSE(Lit(500, 0, 550, 50));
    EXPECT_NEAR(Green(225, 445), 128, 3);
    const RECT low = testutil::LitRect(0, 300, 640, 480);  // the green child alone
    EXPECT_EQ((std::array{low.left, low.top, low.right, low.bottom}), (std::array<LONG, 4>{200, 420, 250, 470}));
    for (const auto& [state, value] : after) {
        DWORD v = 0;
        g_pDevice->GetRenderState(state, &v);
        EXPECT_EQ(v, value) << state;
    }
}

// White text on a blue textured button: any red in the button shows the caption on top. A
// caption rectangle spanning the int range is still centred. The interface makes its own font
// current as it draws.
TEST_F(UIRenderTest, CaptionsAreCentredAndDrawnOverTheirOwnQuad)
{
    g_FontManager.pCurrent = nullptr;
    Frame(Box("button", "button", 200, 100, 200, 80, "texture=blue.png\ntext=OK\n") +
          Box("label", "static", 200, 300, 200, 80, "text=Hi\n") +
          Box("gone", "static", 0, 0, 200, 80, "text=Hi\ncolor=00FFFFFF\n"));
    EXPECT_GT(Channel(testutil::PresentedPixel(210, 110), 0), 100);  // the quad is drawn
    int brightest = 0;
    for (int y = 100; y < 180; ++y)
        for (int x = 200; x < 400; ++x) brightest = std::max(brightest, Channel(testutil::PresentedPixel(x, y), 16));
    EXPECT_GT(brightest, 200);
    const RECT text = testutil::LitRect(200, 300, 400, 380);
    EXPECT_NEAR((text.left + text.right) / 2.0, 300.0, 4.0);
    EXPECT_NEAR((text.top + text.bottom) / 2.0, 340.0, 6.0);
    EXPECT_FALSE(Lit(0, 0, 200, 80));

    Frame(Box("wide", "static", -2000000000, 200, 2000000000, 80, "text=WWWW\n"));
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
    const CUIControl* stored = g_UIManager.AddControl(&local);
    EXPECT_EQ(stored->strText + (stored->pVertexBuffer || stored->pIndexBuffer ? " and its buffers" : ""), "copied");
}
