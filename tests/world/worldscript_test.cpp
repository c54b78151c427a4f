#include "world/worldfixture.h"

using WorldScriptTest = WorldTest;

// A scene's script drives the scene's terrain (that of g_Scene) through its names; the demo
// scene's own script drives the rest (Terrain.DisableLoop and the particles' names).
TEST_F(WorldScriptTest, ScriptsReachTheTerrainByName)
{
    UseDevice(64, 64);
    WriteGreys("blocks/flat.bmp", 1, 1, {0});
    root.Write("terrain/strip.txt", "[data]\nglobalwidthz=40\nviewboardermax=100\nspeed=1\nheight=2\n"
                                    "BlockDataDir=$\\blocks\n[blocklist]\nname1=P\nheight1=flat.bmp\n"
                                    "[order]\n[Hills\nP\n]\n");
    CScene scene;
    StartScene("[main]\nScene.LoadHeightTerrain(\"$\\terrain\\strip.txt\")\nTerrain.SetViewBoarder(0,120)\n"
               "Terrain.Start()\nTerrain.Speed := 1.5\nTerrain.OffsetX := Terrain.Speed + 2\n"
               "Terrain.ChangeOffsetx(1.5,10,20,0,0,0)\nTerrain.ChangeSpeed(1,5,4.9,0,0,0)\n"
               "Terrain.ChangeHeight(0,-7,0,0,0,0)\nTerrain.Height := Terrain.Height * 2\n",
               1, scene);
    EXPECT_EQ(Reports(), "");
    // The window's far end, the blocks placed, the speed, its target and frames, the height, and
    // the offset (mode 1.5 is no mode).
    const CHeightTerrain& t = g_Scene.terrain;
    EXPECT_EQ(Join({t.viewboardermax, float(t.instances.size()), t.speed.Get(), t.speed.fTarget, float(t.speed.nFrames),
                    t.height.Get(), t.offsetx.Get()}),
              "120 3 1.5 5 4 -14 3.5");
}
