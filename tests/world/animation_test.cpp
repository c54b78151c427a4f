#include <algorithm>

#include "bindings/gameframe.h"
#include "world/worldfixture.h"

namespace {

// A sheet whose left half is red and right half green, opaque.
std::string HalvesTga(int width, int height)
{
    std::vector<std::uint8_t> px;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool left = x < width / 2;
            px.insert(px.end(), {std::uint8_t(left ? 255 : 0), std::uint8_t(left ? 0 : 255), 0, 255});
        }
    return testutil::TgaFile(width, height, 4, px);
}

class AnimationTest : public WorldTest {
protected:
    CScene scene;
    AnimationManager& anims = scene.animations;

    void SetUp() override
    {
        WorldTest::SetUp();
        UseDevice(160, 120);
        root.Write("anim/sheet.tga", HalvesTga(256, 64));
    }
    void TearDown() override
    {
        anims.groups.Clear();
        WorldTest::TearDown();
    }
    void LoadGroup(const std::string& file, const std::string& text)
    {
        root.Write("anim/" + file, text);
        ASSERT_TRUE(anims.LoadGroups("$\\anim", file));
    }
    CAnimationGroup& Group(int i) { return *anims.groups.Get(i); }
    void Emit(const char* name, D3DXVECTOR3 pos = {}, D3DXVECTOR3 vel = {})
    {
        TAnimData* data = anims.FindAnimData(name);
        ASSERT_NE(data, nullptr) << name;
        anims.Emit(data, pos, vel);
    }
};

constexpr char kStrip[] =
    "name=fire\ntexture=sheet.tga\nsizex=256\nsizey=64\nMaxAnimCount=3\n"
    "[Burst]\nstartx=0\nstarty=16\npicsizex=32\npicsizey=32\nRenderSizex=2\nRenderSizey=1\nframecount=8\n"
    "TimePerFrame=1\n"
    "[slow]\npicsizex=32\npicsizey=32\nframecount=3\nTimePerFrame=0\n"
    "[empty]\npicsizex=32\nframecount=0\n";

}  // namespace

TEST_F(AnimationTest, GroupFileGivesFrameRectanglesAndLookups)
{
    LoadGroup("fire.txt", kStrip);
    CAnimationGroup& g = Group(0);
    EXPECT_NE(g.sheet.GetTexture(), nullptr);
    TAnimData* burst = anims.FindAnimData("BURST");
    ASSERT_NE(burst, nullptr);
    EXPECT_EQ(burst->pGroup, &g);
    ASSERT_EQ(burst->frames.size(), 8u);
    for (int i = 0; i < 8; ++i) {
        EXPECT_FLOAT_EQ(burst->frames[i].uLeft, 32.0f * i / 256.0f);
        EXPECT_FLOAT_EQ(burst->frames[i].uRight, (32.0f * i + 31.0f) / 256.0f);
        EXPECT_FLOAT_EQ(burst->frames[i].vTop, 16.0f / 64.0f);
        EXPECT_FLOAT_EQ(burst->frames[i].vBottom, 47.0f / 64.0f);
    }

    // A second group with a definition of the same name: the first loaded wins.
    LoadGroup("other.txt", "name=other\ntexture=sheet.tga\nsizex=64\nsizey=64\nMaxAnimCount=1\n[burst]\nframecount=1\n");
    EXPECT_EQ(anims.FindAnimData("burst"), burst);
    EXPECT_EQ(Group(1).FindAnimData("burst")->pGroup, &Group(1));
    EXPECT_EQ(anims.FindAnimData("missing"), nullptr);
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(AnimationTest, PoolOfThreeDropsTheFourthUntilOneFinishesAndDrawsAtOnce)
{
    LoadGroup("fire.txt", kStrip);
    CAnimationGroup& g = Group(0);
    Emit("slow", {0, 0, 0}, {1, 0, 0});
    for (int i = 0; i < 3; ++i) Emit("burst");
    EXPECT_EQ(g.nActive, 3);
    // The group's quads go out in one indexed draw.
    const auto& calls = Record();
    anims.Render(scene.camera);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "DrawIndexedPrimitive(4, 0, 0, 12, 0, 6)"), 1);

    // "slow" has TimePerFrame 0: one frame a tick, like 1; three frames end on the third update,
    // moving on every tick but the last.
    anims.Update();
    EXPECT_EQ(g.pool[0].nFrame, 1);
    EXPECT_EQ(g.pool[1].nFrame, 1);  // "burst", TimePerFrame 1
    anims.Update();
    EXPECT_FLOAT_EQ(g.pool[0].vPos.x, 2.0f);
    anims.Update();
    ASSERT_EQ(g.nActive, 2);  // the last burst moved into the finished one's slot
    EXPECT_EQ(g.pool[0].pData, anims.FindAnimData("burst"));
    EXPECT_EQ(g.pool[0].nFrame, 3);
    Emit("slow");
    EXPECT_EQ(g.nActive, 3);
    for (int i = 0; i < 8; ++i) anims.Update();
    EXPECT_EQ(g.nActive, 0);
}

TEST_F(AnimationTest, DegenerateGroupsLoadAndDrawNothingBad)
{
    // No frames: emissions dropped. No sheet size: texture coordinates 0. No pool: no
    // emissions, no buffers, no report. A pool past 16-bit indices is cut, with a warning.
    LoadGroup("odd.txt", "name=odd\ntexture=sheet.tga\nMaxAnimCount=2\n[nosize]\npicsizex=8\nframecount=2\n"
                         "[noframes]\nframecount=0\n[negative]\nframecount=-5\n");
    Emit("noframes");
    Emit("negative");
    EXPECT_EQ(Group(0).nActive, 0);
    const TAnimData* nosize = anims.FindAnimData("nosize");
    EXPECT_EQ(nosize->frames[1].uLeft, 0.0f);
    EXPECT_EQ(nosize->frames[1].uRight, 0.0f);
    EXPECT_TRUE(anims.FindAnimData("negative")->frames.empty());

    LoadGroup("none.txt", "texture=sheet.tga\nMaxAnimCount=0\n[a]\nframecount=1\n");
    Emit("a");
    EXPECT_EQ(Group(1).nActive, 0);
    EXPECT_EQ(Group(1).pVB, nullptr);
    EXPECT_TRUE(boxes.Boxes().empty());

    LoadGroup("huge.txt", "texture=sheet.tga\nMaxAnimCount=70000\n[b]\nframecount=1\n");
    EXPECT_EQ(Group(2).MaxAnimCount, CAnimationGroup::kMaxPool);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text.rfind("warning:", 0), 0u);

    scene.ResetView();
    scene.Activate();
    scene.Render();  // draws the empty and the frameless groups without touching a bad frame
}

TEST_F(AnimationTest, BillboardFacesTheCameraFromTwoPositions)
{
    SetupRenderStates(g_pDevice);
    LoadGroup("big.txt", "texture=sheet.tga\nsizex=256\nsizey=64\nMaxAnimCount=1\n"
                         "[quad]\npicsizex=256\npicsizey=64\nRenderSizex=20\nRenderSizey=10\nframecount=1\n"
                         "TimePerFrame=1000\n");
    Emit("quad");
    scene.ResetView();
    scene.Activate();
    for (const D3DXVECTOR3& eye : {D3DXVECTOR3(0, 50, -50), D3DXVECTOR3(70, 0, 0)}) {
        scene.camera.ChangePosition(0, eye.x, eye.y, eye.z, 0, 0, 0, 0);
        scene.camera.Update();
        g_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        g_pDevice->BeginScene();
        scene.Render();
        g_pDevice->EndScene();
        g_pDevice->Present(nullptr, nullptr, nullptr, nullptr);

        // The quad's extent through the centre, in pixels: twice as wide as high.
        int width = 0, height = 0;
        for (int x = 0; x < 160; ++x) width += (testutil::PresentedPixel(x, 60) & 0xFFFFFF) != 0;
        for (int y = 0; y < 120; ++y) height += (testutil::PresentedPixel(80, y) & 0xFFFFFF) != 0;
        EXPECT_GT(height, 10);
        EXPECT_NEAR(width, 2 * height, 3) << eye.x;
        // The sheet's left half on the screen's left.
        EXPECT_EQ(testutil::PresentedPixel(80 - width / 4, 60), 0xFFFF0000u) << eye.x;
        EXPECT_EQ(testutil::PresentedPixel(80 + width / 4, 60), 0xFF00FF00u) << eye.x;
    }
}
