#include <algorithm>
#include <tuple>

#include "bindings/gameframe.h"
#include "foundation/random.h"
#include "world/worldfixture.h"

namespace {

class AnimationTest : public WorldTest {
protected:
    AnimationManager& anims = g_Scene.animations;

    // A 256 x 64 sheet whose left half is red and right half green, opaque, and a group file
    // beside it.
    void LoadGroup(const std::string& file, const std::string& text)
    {
        if (!device)
            UseDevice(160, 120);
        std::vector<std::uint8_t> px;
        for (int i = 0; i < 256 * 64; ++i)
            px.insert(px.end(), {std::uint8_t(i % 256 < 128 ? 255 : 0), std::uint8_t(i % 256 < 128 ? 0 : 255), 0, 255});
        root.Write("anim/sheet.tga", testutil::TgaFile(256, 64, 4, px));
        root.Write("anim/" + file, text);
        ASSERT_TRUE(anims.LoadGroups("$\\anim", file));
    }
    CAnimationGroup& Group(int i) { return *anims.groups.Get(i); }
    void Emit(const char* name, D3DXVECTOR3 pos = {}, D3DXVECTOR3 vel = {})
    {
        ASSERT_NE(anims.FindAnimData(name), nullptr) << name;
        anims.Emit(anims.FindAnimData(name), pos, vel);
    }
};

constexpr char kStrip[] =
    "name=fire\ntexture=sheet.tga\nsizex=256\nsizey=64\nMaxAnimCount=3\n[Burst]\nstartx=0\nstarty=16\npicsizex=32\n"
    "picsizey=32\nRenderSizex=2\nRenderSizey=1\nframecount=8\nTimePerFrame=1\n"
    "[slow]\npicsizex=32\npicsizey=32\nframecount=3\nTimePerFrame=0\n"
    "[empty]\npicsizex=32\nframecount=0\n";

}  // namespace

// A group file gives the frame rectangles and the lookups; a pool of three drops the fourth
// emission until one finishes and draws its instances at once.
TEST_F(AnimationTest, FrameRectanglesLookupsAndAPoolOfThree)
{
    LoadGroup("fire.txt", kStrip);
    TAnimData* burst = anims.FindAnimData("BURST");
    ASSERT_NE(burst, nullptr);
    ASSERT_EQ(burst->framecount, 8);
    for (int i = 0; i < 8; ++i) {  // in pixels of the sheet: left, right, top, bottom
        const TAnimFrameData f = burst->Frame(i);
        EXPECT_EQ(Join({f.uLeft * 256, f.uRight * 256, f.vTop * 64, f.vBottom * 64}),
                  Join({32.0f * i, 32.0f * i + 31, 16, 47}));
    }

    // A second group with a definition of the same name: the first loaded wins.
    LoadGroup("other.txt", "texture=sheet.tga\nsizex=64\nsizey=64\nMaxAnimCount=1\n[burst]\nframecount=1\n");
    EXPECT_EQ(anims.FindAnimData("burst"), burst);
    EXPECT_EQ(Group(1).FindAnimData("burst")->pGroup, &Group(1));
    EXPECT_EQ(Reports(), "");

    CAnimationGroup& g = Group(0);
    Emit("slow", {0, 0, 0}, {1, 0, 0});
    for (int i = 0; i < 3; ++i)
        Emit("burst");
    // The group's quads go out in one indexed draw: three of them, the fourth emission dropped.
    const auto& calls = Record();
    anims.Render(g_Scene.camera);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "DrawIndexedPrimitive(4, 0, 0, 12, 0, 6)"), 1);

    // "slow" has TimePerFrame 0: one frame a tick, like 1 ("burst"); three frames end on the third
    // update, moving on every tick but the last.
    anims.Update();
    EXPECT_EQ(std::make_pair(g.pool[0].nFrame, g.pool[1].nFrame), std::make_pair(1, 1));
    anims.Update();
    EXPECT_FLOAT_EQ(g.pool[0].vPos.x, 2.0f);
    anims.Update();
    ASSERT_EQ(g.nActive, 2);  // the last burst moved into the finished one's slot
    EXPECT_EQ(std::make_pair(g.pool[0].pData, g.pool[0].nFrame), std::make_pair(burst, 3));
    Emit("slow");
    EXPECT_EQ(g.nActive, 3);
}

// No frames: an emission takes its slot and its six random numbers, is never drawn and ends at
// its first update. No sheet size: texture coordinates 0. A strip of any length plays to its
// end, its rectangles reckoned in 64 bits. No pool, or a negative one: no emissions, and the
// device refuses a buffer of no bytes. A pool past 16-bit indices is cut, with a warning.
TEST_F(AnimationTest, DegenerateGroupsLoadAndDrawNothingBad)
{
    LoadGroup("odd.txt", "name=odd\ntexture=sheet.tga\nMaxAnimCount=2\n[nosize]\npicsizex=8\nframecount=2\n"
                         "[noframes]\nframecount=0\nTimePerFrame=5\n[negative]\nframecount=-5\n");
    RandomRestart();
    for (int i = 0; i < 12; ++i)
        RandomDraw();
    const int thirteenth = RandomDraw();
    RandomRestart();
    Emit("noframes");
    Emit("negative");
    EXPECT_EQ(std::make_pair(Group(0).nActive, RandomDraw()), std::make_pair(2, thirteenth));
    anims.Update();
    EXPECT_EQ(Group(0).nActive, 0);
    Emit("noframes");
    Emit("nosize");
    const auto& calls = Record();
    Group(0).Render();
    EXPECT_EQ(std::count_if(calls.begin(), calls.end(),
                            [](const std::string& c) { return c.rfind("DrawIndexedPrimitive", 0) == 0; }),
              1);
    EXPECT_EQ(calls.back(), "DrawIndexedPrimitive(4, 0, 0, 4, 0, 2)");
    const TAnimData* nosize = anims.FindAnimData("nosize");
    EXPECT_EQ(std::make_pair(nosize->Frame(1).uLeft, nosize->Frame(1).uRight), std::make_pair(0.0f, 0.0f));

    LoadGroup("long.txt", "texture=sheet.tga\nsizex=1048576\nsizey=64\nMaxAnimCount=1\n[long]\nstartx=8\n"
                          "picsizex=16\nframecount=60000\n[wide]\nstartx=2147483647\npicsizex=2147483647\n"
                          "framecount=2147483647\n");
    const TAnimData* strip = anims.FindAnimData("long");
    const TAnimFrameData last = strip->Frame(59999);
    EXPECT_EQ(Join({last.uLeft * 1048576, last.uRight * 1048576}), Join({8 + 16 * 59999.0f, 8 + 16 * 60000.0f - 1}));
    EXPECT_FLOAT_EQ(anims.FindAnimData("wide")->Frame(2147483646).uRight * 1048576, 2147483647.0f * 2147483648.0f);
    Emit("long");
    for (int i = 0; i < 59999; ++i)
        anims.Update();
    EXPECT_EQ(std::make_pair(Group(1).nActive, Group(1).pool[0].nFrame), std::make_pair(1, 59999));
    anims.Update();
    EXPECT_EQ(Group(1).nActive, 0);

    EXPECT_EQ(Reports(), "");
    LoadGroup("none.txt", "texture=sheet.tga\nMaxAnimCount=0\n[a]\nframecount=1\n");
    LoadGroup("negative.txt", "texture=sheet.tga\nMaxAnimCount=-3\n[c]\nframecount=1\n");
    Emit("a");
    Emit("c");
    for (int i : {2, 3})
        EXPECT_EQ(std::make_tuple(Group(i).MaxAnimCount, Group(i).nActive, Group(i).pVB != nullptr),
                  std::make_tuple(0, 0, false));
    EXPECT_EQ(Reports(), "|Vertex buffer Fail to be Created\n|Vertex buffer Fail to be Created\n");

    LoadGroup("huge.txt", "texture=sheet.tga\nMaxAnimCount=70000\n[b]\nframecount=1\n");
    EXPECT_EQ(Group(4).MaxAnimCount, CAnimationGroup::kMaxPool);
    EXPECT_EQ(Reports(), "|Vertex buffer Fail to be Created\n|Vertex buffer Fail to be Created\n"
                         "|warning:MaxAnimCount 70000 cut to 16384\n");

    g_Scene.ResetView();
    g_Scene.Activate();
    g_Scene.Render();  // draws the empty and the frameless groups without touching a bad frame
}

TEST_F(AnimationTest, BillboardFacesTheCameraFromTwoPositions)
{
    LoadGroup("big.txt", "texture=sheet.tga\nsizex=256\nsizey=64\nMaxAnimCount=1\n[quad]\npicsizex=256\npicsizey=64\n"
                         "RenderSizex=20\nRenderSizey=10\nframecount=1\nTimePerFrame=1000\n");
    SetupRenderStates(g_pDevice);
    Emit("quad");
    g_Scene.ResetView();
    g_Scene.Activate();
    for (const D3DXVECTOR3& eye : {D3DXVECTOR3(0, 50, -50), D3DXVECTOR3(70, 0, 0)}) {
        SCOPED_TRACE(eye.x);
        g_Scene.camera.ChangePosition(0, eye.x, eye.y, eye.z, 0, 0, 0, 0);
        g_Scene.camera.Update();
        testutil::DrawFrame([] { g_Scene.Render(); });
        // The quad twice as wide as high, the sheet's left half on the screen's left.
        const RECT r = testutil::LitRect(0, 0, 160, 120);
        const int width = r.right - r.left, height = r.bottom - r.top;
        EXPECT_GT(height, 10);
        EXPECT_NEAR(width, 2 * height, 3);
        EXPECT_EQ(testutil::PresentedPixel(80 - width / 4, 60), 0xFFFF0000u);
        EXPECT_EQ(testutil::PresentedPixel(80 + width / 4, 60), 0xFF00FF00u);
    }
}
