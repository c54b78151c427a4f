// The bundled demo scene, stepped tick by tick (the menu's own test starts it from the Start
// button of the running program): its canyon, its snow, its units, and its billboard effects
// under its moving camera and fog.
#include <array>
#include <cmath>
#include <list>
#include <tuple>

#include "world/worldfixture.h"

namespace {

using Frame = platform::seams::Frame;

class DemoSceneTest : public WorldTest {
protected:
    testutil::ScopedCwd dataCwd{std::string(ENGINE_SOURCE_DIR) + "/data"};

    void SetUp() override
    {
        WorldTest::SetUp();
        UseDevice(640, 480);
        SetRootFolder(std::string(ENGINE_SOURCE_DIR) + "/data");
    }
};

// Under the scene camera's starting view, lit by a white light from above and behind it: the
// terrain's section creates none.
Frame Draw()
{
    testutil::DrawFrame([] {
        D3DLIGHT9 light{};
        light.Type = D3DLIGHT_DIRECTIONAL;
        light.Diffuse = {1, 1, 1, 1};
        light.Direction = {0.3f, -1.0f, 0.5f};
        g_pDevice->SetLight(0, &light);
        g_Scene.Render();
    });
    return platform::seams::LastPresentedFrame();
}

bool Placed(const char* name)
{
    return std::any_of(g_Scene.terrain.instances.begin(), g_Scene.terrain.instances.end(),
                       [&](const TBlockInstance& b) { return b.pBlock->strName == name; });
}

// Red, green and blue.
std::array<int, 3> At(const Frame& f, int x, int y)
{
    const std::uint8_t* p = &f.bgra[(static_cast<std::size_t>(y) * f.width + x) * 4];
    return {p[2], p[1], p[0]};
}

// The pixels from row y0 down, every step-th each way, for which `count` holds of their
// brightness (red + green + blue) in a and in b.
template <class Count>
int Pixels(const Frame& a, const Frame& b, int y0, int step, Count count)
{
    int n = 0;
    for (int y = y0; y < 480; y += step)
        for (int x = 0; x < 640; x += step) {
            const auto pa = At(a, x, y), pb = At(b, x, y);
            n += count(pa[0] + pa[1] + pa[2], pb[0] + pb[1] + pb[2]);
        }
    return n;
}

// The bluest pixel within two pixels of a point: a glow's centre.
std::array<int, 3> Bluest(const Frame& f, POINT c)
{
    std::array<int, 3> best{0, 0, 0};
    for (int y = c.y - 2; y <= c.y + 2; ++y)
        for (int x = c.x - 2; x <= c.x + 2; ++x)
            if (At(f, x, y)[2] > best[2]) best = At(f, x, y);
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
    return camera.Position.vCurrent + depth * (look + right * (x * tanHalf * camera.Aspect.Get()) + up * (y * tanHalf));
}

// Each living unit's place, height and turn.
std::vector<std::array<float, 4>> Units()
{
    std::vector<std::array<float, 4>> out;
    for (const CUnitFormation& f : g_Scene.formations.formations)
        for (const CUnit& u : f.units)
            if (u.bAlive)
                out.push_back({u.mover.vCurrent.x, u.mover.vCurrent.y, u.posY.Get(), u.angleY.Get() + u.angleX.Get()});
    return out;
}

}  // namespace

TEST_F(DemoSceneTest, CanyonScrollsItsLoopEndsAndTheSnowComesAndGoes)
{
    g_Scene.Start(ResolvePath("$\\scene\\demo.txt"), "terrain");
    int tick = 0;
    auto run = [&](int until, bool ridgeAllowed) {
        for (; tick < until; ++tick) {
            g_Scene.Update();
            ASSERT_TRUE(ridgeAllowed || !Placed("Ridge")) << "the hills loop ended early, at tick " << tick;
        }
    };
    run(300, false);
    EXPECT_GT(g_Scene.terrain.instances.size(), 8u);
    EXPECT_GT(g_Scene.particles.nLiveCount, 500);

    // The snow is drawn over the lit canyon, which fills the lower half of the picture.
    const Frame snowing = Draw();
    g_Scene.particles.bEnabled = false;
    const Frame still = Draw();
    g_Scene.particles.bEnabled = true;
    EXPECT_GT(Pixels(still, still, 240, 2, [](int s, int) { return s > 60; }), 320 * 120 * 9 / 10);  // ground
    EXPECT_GT(Pixels(snowing, still, 0, 1, [](int s, int t) { return s > t + 30; }), 1000);         // flakes

    run(600, false);
    run(1000, true);  // the loop ends at tick 600
    EXPECT_FALSE(g_Scene.particles.bEnabled);  // stopped from tick 920 to 1040
    run(1100, true);
    EXPECT_TRUE(g_Scene.particles.bEnabled);
    EXPECT_TRUE(Placed("Ridge"));
    EXPECT_EQ(Reports(), "");
}

// Without the canyon: the units move, bob and turn under their own scripts, throw their
// animations and are drawn; a glow near the camera keeps its light blue while one past the fog's
// end takes the fog's colour.
TEST_F(DemoSceneTest, UnitsMoveAndBillboardsTakeTheFog)
{
    g_Scene.Start(ResolvePath("$\\scene\\demo.txt"), "units");
    g_Scene.runner.StartThread("view", "view");
    int mostAnims = 0;
    std::vector<std::array<float, 4>> before;
    for (int tick = 0; tick < 400; ++tick) {
        if (tick == 150)
            before = Units();
        g_Scene.Update();
        if (TAnimData* spark = g_Scene.animations.FindAnimData("spark"))
            mostAnims = std::max(mostAnims, spark->pGroup->nActive);
    }
    EXPECT_EQ(Reports(), "UIManager|warning:cant find controlbackground\n");  // the menu's backdrop
    const auto after = Units();
    ASSERT_EQ(std::make_tuple(g_Scene.formations.formations.size(), before.size(), after.size()),
              std::make_tuple(2u, 9u, 9u));
    std::array<int, 4> changed{};  // in x, z, height and turn
    for (std::size_t i = 0; i < after.size(); ++i)
        for (int k = 0; k < 4; ++k)
            changed[k] += after[i][k] != before[i][k];
    EXPECT_GE(std::max(changed[0], changed[1]), 5);  // a scout that got there first stands until its next order
    EXPECT_GT(changed[2], 0);
    EXPECT_GT(changed[3], 0);
    EXPECT_GT(mostAnims, 0);
    const Frame withUnits = Draw();
    std::list<CUnitFormation> formations;
    formations.swap(g_Scene.formations.formations);
    const Frame withoutUnits = Draw();
    formations.swap(g_Scene.formations.formations);
    EXPECT_GT(Pixels(withUnits, withoutUnits, 0, 1, [](int a, int b) { return a != b; }), 1000);

    // Two glows on the left of the picture, 70 units ahead, at (128, 312), and 250, at (128, 120).
    ASSERT_TRUE(g_Scene.fog.bEnabled);
    ASSERT_LT(g_Scene.fog.GetFar(), 250.0f);
    TAnimData* glow = g_Scene.animations.FindAnimData("glow");
    ASSERT_NE(glow, nullptr);
    g_Scene.animations.Emit(glow, InView(g_Scene.camera, 70.0f, -0.6f, -0.3f), D3DXVECTOR3(0, 0, 0));
    g_Scene.animations.Emit(glow, InView(g_Scene.camera, 250.0f, -0.6f, 0.5f), D3DXVECTOR3(0, 0, 0));
    const Frame shot = Draw();
    const D3DXCOLOR fog = g_Scene.fog.GetColor();
    const auto nearGlow = Bluest(shot, {128, 312}), farGlow = Bluest(shot, {128, 120});
    EXPECT_GT(nearGlow[2], 100);
    EXPECT_GT(nearGlow[2], nearGlow[0] + 40);
    EXPECT_GT(farGlow[2], 10);
    EXPECT_NEAR(farGlow[0] * fog.b, farGlow[2] * fog.r, 4 * fog.b);
}
