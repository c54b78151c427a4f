// The bundled demo scene, stepped tick by tick (the menu's own test starts it from the Start
// button of the running program): its canyon, its snow, its units, and its billboard effects
// under its moving camera and fog.
#include <cmath>
#include <list>

#include "world/worldfixture.h"

namespace {

class DemoSceneTest : public WorldTest {
protected:
    testutil::ScopedCwd dataCwd{std::string(ENGINE_SOURCE_DIR) + "/data"};

    void SetUp() override
    {
        WorldTest::SetUp();
        UseDevice(640, 480);
        SetRootFolder(std::string(ENGINE_SOURCE_DIR) + "/data");
    }
    // Under the scene camera's starting view, lit by a white light from above and behind it:
    // the terrain's section creates none.
    static platform::seams::Frame Draw()
    {
        DrawFrame([] {
            D3DLIGHT9 light{};
            light.Type = D3DLIGHT_DIRECTIONAL;
            light.Diffuse = {1, 1, 1, 1};
            light.Direction = {0.3f, -1.0f, 0.5f};
            g_pDevice->SetLight(0, &light);
            g_Scene.Render();
        });
        return platform::seams::LastPresentedFrame();
    }
    static bool Placed(const char* name)
    {
        for (const TBlockInstance& b : g_Scene.terrain.instances)
            if (b.pBlock->strName == name)
                return true;
        return false;
    }
};

struct TPixel {
    int r, g, b;
};

TPixel At(const platform::seams::Frame& f, int x, int y)
{
    const std::uint8_t* p = &f.bgra[(static_cast<std::size_t>(y) * f.width + x) * 4];
    return {p[2], p[1], p[0]};
}

int Brightness(const platform::seams::Frame& f, int x, int y)
{
    const TPixel p = At(f, x, y);
    return p.r + p.g + p.b;
}

// The bluest pixel within two pixels of a point: a glow's centre.
TPixel Bluest(const platform::seams::Frame& f, POINT c)
{
    TPixel best{0, 0, 0};
    for (int y = c.y - 2; y <= c.y + 2; ++y)
        for (int x = c.x - 2; x <= c.x + 2; ++x)
            if (At(f, x, y).b > best.b) best = At(f, x, y);
    return best;
}

// The world point `depth` ahead of the camera that lands on pixel (320 (x + 1), 240 (1 - y)).
D3DXVECTOR3 InView(const CSceneCamera& camera, float depth, float x, float y)
{
    D3DXVECTOR3 look, right, up;
    camera.GetLook(&look);
    camera.GetRight(&right);
    D3DXVec3Normalize(&look, &look);
    D3DXVec3Normalize(&right, &right);
    D3DXVec3Normalize(&up, &camera.Up);
    const float tanHalf = std::tan(camera.Fov.Get() / 2);
    return camera.Position.vCurrent +
           depth * (look + right * (x * tanHalf * camera.Aspect.Get()) + up * (y * tanHalf));
}

struct TUnitState {
    D3DXVECTOR2 pos;
    float height, turn;
};

std::vector<TUnitState> Units()
{
    std::vector<TUnitState> out;
    for (const CUnitFormation& f : g_Scene.formations.formations)
        for (const CUnit& u : f.units)
            if (u.bAlive)
                out.push_back({u.mover.vCurrent, u.posY.Get(), u.angleY.Get() + u.angleX.Get()});
    return out;
}

}  // namespace

TEST_F(DemoSceneTest, CanyonScrollsItsLoopEndsAndTheSnowComesAndGoes)
{
    g_Scene.Start(ResolvePath("$\\scene\\demo.txt"), "terrain");
    int tick = 0;
    auto run = [&](int until) {
        for (; tick < until; ++tick) {
            g_Scene.Update();
            ASSERT_FALSE(Placed("Ridge")) << "the hills loop ended early, at tick " << tick;
        }
    };
    run(300);
    ASSERT_TRUE(boxes.Boxes().empty()) << boxes.Boxes()[0].text;
    EXPECT_GT(g_Scene.terrain.instances.size(), 8u);
    EXPECT_TRUE(g_Scene.particles.bEnabled);
    EXPECT_GT(g_Scene.particles.nLiveCount, 500);

    // The snow is drawn over the lit canyon, which fills the lower half of the picture.
    const platform::seams::Frame snowing = Draw();
    g_Scene.particles.bEnabled = false;
    const platform::seams::Frame still = Draw();
    g_Scene.particles.bEnabled = true;
    int ground = 0, flakes = 0;
    for (int y = 240; y < 480; y += 2)
        for (int x = 0; x < 640; x += 2)
            ground += Brightness(still, x, y) > 60;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            flakes += Brightness(snowing, x, y) > Brightness(still, x, y) + 30;
    EXPECT_GT(ground, 320 * 120 * 9 / 10);
    EXPECT_GT(flakes, 1000);

    run(600);
    for (; tick < 1000; ++tick)
        g_Scene.Update();  // the loop ends at tick 600
    EXPECT_EQ(g_Scene.terrain.disabledLoops.Count(), 1);
    EXPECT_FALSE(g_Scene.particles.bEnabled);  // stopped from tick 920 to 1040
    for (; tick < 1100; ++tick)
        g_Scene.Update();
    EXPECT_TRUE(g_Scene.particles.bEnabled);
    EXPECT_TRUE(Placed("Ridge"));
    EXPECT_TRUE(boxes.Boxes().empty());
}

// Without the canyon: the units move, bob and turn under their own scripts, throw their
// animations and are drawn; a glow near the camera keeps its light blue while one past the fog's
// end takes the fog's colour.
TEST_F(DemoSceneTest, UnitsMoveAndBillboardsTakeTheFog)
{
    g_Scene.Start(ResolvePath("$\\scene\\demo.txt"), "units");
    g_Scene.runner.StartThread("view", "view");
    int mostAnims = 0;
    std::vector<TUnitState> before;
    for (int tick = 0; tick < 400; ++tick) {
        if (tick == 150)
            before = Units();
        g_Scene.Update();
        if (TAnimData* spark = g_Scene.animations.FindAnimData("spark"))
            mostAnims = std::max(mostAnims, spark->pGroup->nActive);
    }
    EXPECT_EQ(BoxTexts(), "warning:cant find controlbackground|");  // the menu's backdrop
    const std::vector<TUnitState> after = Units();
    ASSERT_EQ(g_Scene.formations.formations.size(), 2u);
    ASSERT_EQ(before.size(), 9u);
    ASSERT_EQ(after.size(), 9u);
    int moved = 0, bobbed = 0, turned = 0;
    for (std::size_t i = 0; i < after.size(); ++i) {
        moved += after[i].pos != before[i].pos;
        bobbed += after[i].height != before[i].height;
        turned += after[i].turn != before[i].turn;
    }
    EXPECT_GE(moved, 5);  // a scout that got there first stands until its next order
    EXPECT_GT(bobbed, 0);
    EXPECT_GT(turned, 0);
    EXPECT_GT(mostAnims, 0);
    const platform::seams::Frame withUnits = Draw();
    std::list<CUnitFormation> formations;
    formations.swap(g_Scene.formations.formations);
    const platform::seams::Frame withoutUnits = Draw();
    formations.swap(g_Scene.formations.formations);
    int unitPixels = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            unitPixels += Brightness(withUnits, x, y) != Brightness(withoutUnits, x, y);
    EXPECT_GT(unitPixels, 1000);

    // Two glows on the left of the picture, 70 units ahead, at (128, 312), and 250, at (128, 120).
    ASSERT_TRUE(g_Scene.fog.bEnabled);
    ASSERT_LT(g_Scene.fog.GetFar(), 250.0f);
    TAnimData* glow = g_Scene.animations.FindAnimData("glow");
    ASSERT_NE(glow, nullptr);
    g_Scene.animations.Emit(glow, InView(g_Scene.camera, 70.0f, -0.6f, -0.3f), D3DXVECTOR3(0, 0, 0));
    g_Scene.animations.Emit(glow, InView(g_Scene.camera, 250.0f, -0.6f, 0.5f), D3DXVECTOR3(0, 0, 0));
    const platform::seams::Frame shot = Draw();
    const D3DXCOLOR fog = g_Scene.fog.GetColor();
    const TPixel nearGlow = Bluest(shot, {128, 312}), farGlow = Bluest(shot, {128, 120});
    EXPECT_GT(nearGlow.b, 100);
    EXPECT_GT(nearGlow.b, nearGlow.r + 40);
    EXPECT_GT(farGlow.b, 10);
    EXPECT_NEAR(farGlow.r * fog.b, farGlow.b * fog.r, 4 * fog.b);
    EXPECT_LT(farGlow.b, nearGlow.b);
}
