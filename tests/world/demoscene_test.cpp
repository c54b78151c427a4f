// The bundled demo scene's world: its canyon scrolls, its script ends the canyon's loop by name,
// and its snow is drawn, stopped and started again.
#include "platform/seams.h"
#include "worldfixture.h"

namespace {

class DemoSceneTest : public GlobalSceneTest {
protected:
    testutil::ScopedCwd dataCwd{std::string(ENGINE_SOURCE_DIR) + "/data"};

    void SetUp() override
    {
        GlobalSceneTest::SetUp();
        UseDevice(640, 480);
        SetRootFolder(std::string(ENGINE_SOURCE_DIR) + "/data");
    }

    // The terrain's section creates no light: a white one from above and behind the camera.
    static void SetLight()
    {
        D3DLIGHT9 light{};
        light.Type = D3DLIGHT_DIRECTIONAL;
        light.Diffuse = {1, 1, 1, 1};
        light.Direction = {0.3f, -1.0f, 0.5f};
        g_pDevice->SetLight(0, &light);
    }
    static platform::seams::Frame Draw()
    {
        g_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        g_pDevice->BeginScene();
        SetLight();
        g_Scene.Render();  // under the scene camera's starting view
        g_pDevice->EndScene();
        g_pDevice->Present(nullptr, nullptr, nullptr, nullptr);
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

int Brightness(const platform::seams::Frame& f, int x, int y)
{
    const std::uint8_t* p = &f.bgra[(static_cast<std::size_t>(y) * f.width + x) * 4];
    return p[0] + p[1] + p[2];
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
