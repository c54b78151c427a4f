#include "world/worldfixture.h"

namespace {

// A scene's script drives the scene's terrain and particles (those of g_Scene) through every
// name of theirs.
class WorldScriptTest : public WorldTest {
protected:
    CScene scene;

    void SetUp() override
    {
        WorldTest::SetUp();
        UseDevice(64, 64);
    }
};

}  // namespace

TEST_F(WorldScriptTest, ScriptsReachTheTerrainAndParticlesByName)
{
    WriteGreys("blocks/flat.bmp", 1, 1, {0});
    root.Write("terrain/strip.txt",
               "[data]\nglobalwidthz=40\nviewboardermax=100\nspeed=1\nheight=2\nBlockDataDir=$\\blocks\n"
               "[blocklist]\nname1=P\nheight1=flat.bmp\n[order]\n[Hills\nP\n]\n");
    root.Write("fx/snow.txt", "[Data]\nMaxParticle=7\n");
    root.Write("scene.txt",
               "[main]\n"
               "Scene.LoadHeightTerrain(\"$\\terrain\\strip.txt\")\n"
               "Terrain.SetViewBoarder(0,120)\n"
               "Terrain.Start()\n"
               "Terrain.Speed := 1.5\n"
               "Terrain.OffsetX := Terrain.Speed + 2\n"
               "Terrain.ChangeOffsetx(1.5,10,20,0,0,0)\n"
               "Terrain.ChangeSpeed(1,5,4.9,0,0,0)\n"
               "Terrain.ChangeHeight(0,-7,0,0,0,0)\n"
               "Terrain.Height := Terrain.Height * 2\n"
               "Terrain.DisableLoop(\"Hills\")\n"
               "Scene.LoadParticleSystem(\"$\\fx\\snow.txt\")\n"
               "ParticleSys.Enable()\n"
               "wait(1)\n"
               "ParticleSys.Disable()\n");
    scene.Start(ResolvePath("$\\scene.txt"), "main");
    scene.Update();
    EXPECT_EQ(BoxTexts(), "");
    const CHeightTerrain& terrain = g_Scene.terrain;
    EXPECT_EQ(terrain.viewboardermax, 120.0f);
    EXPECT_EQ(terrain.instances.size(), 3u);
    EXPECT_EQ(terrain.speed.Get(), 1.5f);
    EXPECT_EQ(terrain.speed.fTarget, 5.0f);
    EXPECT_EQ(terrain.speed.nFrames, 4);
    EXPECT_EQ(terrain.height.Get(), -14.0f);
    EXPECT_EQ(terrain.offsetx.Get(), 3.5f);  // mode 1.5 is no mode
    ASSERT_EQ(terrain.disabledLoops.Count(), 1);
    EXPECT_EQ(terrain.disabledLoops.At(0), "hills");
    EXPECT_EQ(g_Scene.particles.MaxParticle, 7);
    EXPECT_TRUE(g_Scene.particles.bEnabled);
    scene.Update();
    EXPECT_FALSE(g_Scene.particles.bEnabled);
}
