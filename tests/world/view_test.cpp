#include <algorithm>

#include "foundation/colors.h"
#include "world/worldfixture.h"

namespace {

std::string Vec(const D3DXVECTOR3& v) { return Join({v.x, v.y, v.z}); }

// A device whose calls are recorded while the fixture lives.
class ViewTest : public WorldTest {
protected:
    std::vector<std::string>& calls = platform::seams::RecordedDeviceCalls();

    void SetUp() override
    {
        WorldTest::SetUp();
        UseDevice(32, 32);
        Record();
    }
    int Count(const std::string& call) const { return static_cast<int>(std::count(calls.begin(), calls.end(), call)); }
};

}  // namespace

TEST(SceneCamera, UpFollowsTheViewingDirectionAndTheRollChangesNoView)
{
    CSceneCamera camera;
    auto upFrom = [&](float x, float y, float z) {
        camera.ChangePosition(0, x, y, z, 0, 0, 0, 0);
        camera.Update();
        return Vec(camera.Up);
    };
    EXPECT_EQ(Vec(camera.Up), "0 0.6247 0.78087");          // (0, 4, 5) / sqrt(41)
    EXPECT_EQ(upFrom(0, 50, 0), "0 0 1");                  // straight down
    EXPECT_EQ(upFrom(10, -20, 0), "-0.89443 -0.44721 0");  // looking upwards: y negative
    EXPECT_EQ(upFrom(30, 0, -40), "0 1 0");                // level

    // Rolled: the roll changes no view.
    D3DXMATRIX before, after;
    camera.GetViewMatrix(&before);
    camera.ChangeRollAngle(1, 2.0f, 4, 0, 0, 0);
    camera.ChangeLookAt(3, 5, 5, 5, 0, 0, 0, 0);  // no such mode: nothing
    for (int tick = 0; tick < 5; ++tick)
        camera.Update();
    camera.GetViewMatrix(&after);
    EXPECT_EQ(before, after);
}

TEST_F(ViewTest, FogStatesAreWrittenEveryTickAndChangesAtOnceEvenWhileOff)
{
    CFog fog;
    // Until their first change both distances count as running: 0 written each tick.
    fog.Update();
    fog.Update();
    EXPECT_EQ(std::make_pair(Count(FloatState(D3DRS_FOGSTART, 0.0f)), Count(FloatState(D3DRS_FOGEND, 0.0f))),
              std::make_pair(2, 2));

    calls.clear();
    fog.ChangeColor(D3DXCOLOR(1, 0, 0, 1), 0);  // red at once, though the fog is off
    fog.ChangeDistanceFar(300.0f, 0);
    EXPECT_EQ(calls, (std::vector<std::string>{StateCall(D3DRS_FOGCOLOR, 0xFFFF0000), FloatState(D3DRS_FOGEND, 300)}));
    fog.ChangeDistanceNear(20.0f, 0);
    fog.ChangeDistanceFar(600.0f, 60);
    calls.clear();
    for (int tick = 0; tick < 61; ++tick)
        fog.Update();
    // Each of the 60 ticks writes the end distance, the last exactly 600; nothing else moves.
    ASSERT_EQ(calls.size(), 60u);
    EXPECT_EQ(calls.back(), FloatState(D3DRS_FOGEND, 600.0f));

    calls.clear();
    fog.Enable();
    EXPECT_EQ(calls, (std::vector<std::string>{StateCall(D3DRS_FOGENABLE, TRUE),
                                               StateCall(D3DRS_FOGTABLEMODE, D3DFOG_LINEAR),
                                               StateCall(D3DRS_FOGCOLOR, 0xFFFF0000), FloatState(D3DRS_FOGSTART, 20.0f),
                                               FloatState(D3DRS_FOGEND, 600.0f)}));
}

// A fade of a light that is off waits until it is on; an index out of range is reported and
// touches nothing; an unknown type makes a directional light, grey, pointing down, on.
TEST_F(ViewTest, LightFadesWaitForTheLightAndIndexAndTypeEdges)
{
    LightManager lights;
    lights.ChangeDiffuse(3, 1, D3DXCOLOR(1, 1, 1, 1), 4, 0);
    for (int tick = 0; tick < 10; ++tick)
        lights.Update();
    lights.TurnOn(3);
    std::vector<float> reds;  // from grey, once on
    for (int tick = 0; tick < 4; ++tick) {
        lights.Update();
        reds.push_back(lights.Lights[3].Diffuse.Get().r);
    }
    EXPECT_EQ(Join(reds), "0.62647 0.75098 0.87549 1");
    // Its position was set at once, so it stays "running": the light is applied on every tick, and
    // only once it is on.
    EXPECT_EQ(std::count_if(calls.begin(), calls.end(), [](auto& c) { return c.starts_with("SetLight(3,"); }), 5);

    // Off, it is applied no more; indices out of range touch nothing.
    calls.clear();
    lights.TurnOff(3);
    lights.Update();
    lights.Create(8, 1);
    lights.Create(-1, 1);
    EXPECT_EQ(Reports(), "LightManager:|Light Index out of bound:=8\nLightManager:|Light Index out of bound:=-1\n");
    lights.Create(0, 4);
    EXPECT_EQ(calls, (std::vector<std::string>{"LightEnable(3, 0)", "LightEnable(0, 1)",
                                               "SetLight(0, 3, (0.501961,0.501961,0.501961,1), (0.501961,0.501961,"
                                               "0.501961,1), (0,0,0,1), (0,1,0), (0,-1,0), 0, 0, 0, 0, 0, 0, 0)"}));
}

TEST_F(ViewTest, ScriptsDriveEveryViewFunction)
{
    StartScene("[main]\nCamera.ChangePosition(1,0,80,-100,2,0,0,0)\nCamera.ChangeLookAt(0,0,10,0,0,0,0,0)\n"
               "Camera.ChangeRollAngle(0,0.5,0,0,0,0)\nLights.Create(-0.5,2)\n"
               "Lights.ChangeAmbient(0,0,255,0,0,255,0,0)\nLights.ChangeDiffuse(0,0,0,255,0,255,0,0)\n"
               "Lights.ChangeSpecular(0,0,0,0,255,255,0,0)\nLights.ChangePosition(0,0,1,2,3,0,0,0,0)\n"
               "Lights.ChangeLookAt(0,0,1,2,4,0,0,0,0)\nLights.TurnOff(0)\nLights.TurnOn(0)\n"
               "Fog.ChangeColor(0,0,255,255,0)\nFog.ChangeDistanceNear(15,0)\nFog.ChangeDistanceFar(150,0)\n"
               "Fog.Enable()\nwait(1)\nFog.Disable()\n",
               1);
    g_Scene.Update();
    EXPECT_EQ(Vec(g_Scene.camera.Position.vCurrent) + ", " + Vec(g_Scene.camera.LookAt.vCurrent), "0 80 -100, 0 10 0");
    EXPECT_FLOAT_EQ(g_Scene.camera.RollAngle.Get(), 0.5f);
    EXPECT_FALSE(g_Scene.fog.bEnabled);
    EXPECT_EQ(Count(StateCall(D3DRS_FOGENABLE, FALSE)), 2);      // the scene start, then the script
    EXPECT_EQ(Count(StateCall(D3DRS_FOGCOLOR, 0xFF0000FF)), 2);  // at once, then by Enable
    EXPECT_EQ(Count(FloatState(D3DRS_FOGSTART, 15.0f)), 2);
    EXPECT_GE(Count("SetLight(0, 2, (0,1,0,1), (0,0,1,1), (1,0,0,1), (1,2,3), (0,0,1), 1000, 1, 1, 0, 0, 0.785398, "
                    "1.5708)"),
              2);
    g_Scene.fog.ChangeDistanceNear(25, 2);  // the scene's tick moves the fog
    g_Scene.Update();
    EXPECT_EQ(Count(FloatState(D3DRS_FOGSTART, 20.0f)), 1);
}
