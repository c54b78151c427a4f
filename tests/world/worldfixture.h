// What the world's tests share: a scratch root folder made current, captured reports, the script
// bindings, a test device on request, recorded device calls, small files written into the root,
// scene scripts run on the global scene, and the global world emptied after each test.
#pragma once

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "bindings/bindings.h"
#include "foundation/device.h"
#include "foundation/stringutil.h"
#include "media/object3d.h"
#include "platform/seams.h"
#include "script/scriptrunner.h"
#include "support/mediafiles.h"
#include "support/testdevice.h"
#include "support/testutil.h"
#include "world/heightblock.h"
#include "world/scene.h"
#include "world/unitdata.h"

// Values rounded to five decimals and printed as "%g", separated by spaces.
inline std::string Join(const std::vector<float>& values)
{
    std::string line;
    for (float v : values) {
        char number[32];
        std::snprintf(number, sizeof number, "%s%g", line.empty() ? "" : " ", std::round(v * 1e5) / 1e5 + 0.0);
        line += number;
    }
    return line;
}

// The script function "Test.Log": each call's values joined, one entry a call.
inline std::vector<std::string> g_Log;

inline void LogHandler(TScriptParam* args, int count)
{
    std::vector<float> values;
    for (int i = 0; i < count; ++i)
        values.push_back(args[i].fValue);
    g_Log.push_back(Join(values));
}

class WorldTest : public testing::Test {
protected:
    testutil::TempDir root;
    testutil::ScopedCwd cwd{root.Path()};
    testutil::BoxCapture boxes;
    std::optional<testutil::GlobalTestDevice> device;

    void SetUp() override
    {
        Forget();
        RegisterScriptBindings();
        g_SystemFuncTable.Register("Test.Log", LogHandler, "");
        g_Log.clear();
        SetRootFolder(root.WindowsPath());
        SetCurrentFolder("$");
    }
    void TearDown() override
    {
        platform::seams::SetDeviceRecording(false);
        Forget();
    }

    // The global world holds nothing from an earlier test: no scene script, thread, block,
    // particle, unit, formation or animation, and no current runner.
    static void Forget()
    {
        g_Scene.bActive = false;
        g_Scene.runner.threads.clear();
        g_Scene.scripts.Clear();
        g_Scene.terrain.instances.clear();
        g_Scene.terrain.order.Clear();
        g_Scene.particles.MaxParticle = 0;
        g_Scene.particles.CreateBuffers();
        g_Scene.particles.bEnabled = false;
        g_Scene.formations.formations.clear();
        g_Scene.animations.groups.Clear();
        g_UnitDataManager.units.Clear();
        g_UnitDataManager.formations.Clear();
        g_Object3DList.Clear();
        g_HeightBlockManager.Clear();
        g_CurrentRunner = nullptr;
        g_CurrentThread = nullptr;
    }

    // g_pDevice a fresh device of that size until the test ends.
    void UseDevice(UINT width, UINT height)
    {
        device.emplace(width, height);
        ASSERT_NE(g_pDevice, nullptr);
    }

    // A render state's call as recorded.
    static std::string StateCall(int state, DWORD value)
    {
        char text[64];
        std::snprintf(text, sizeof text, "SetRenderState(%d, 0x%08X)", state, static_cast<unsigned>(value));
        return text;
    }
    static std::string FloatState(int state, float value) { return StateCall(state, std::bit_cast<DWORD>(value)); }

    // Device calls from now on, recorded until the test ends.
    static std::vector<std::string>& Record()
    {
        platform::seams::SetDeviceRecording(true);
        platform::seams::RecordedDeviceCalls().clear();
        return platform::seams::RecordedDeviceCalls();
    }

    // The reports shown, each as "caption|text" and a line feed, less the 3D-object list's own
    // about models the test types do not have.
    std::string Reports() const
    {
        std::string out;
        for (const auto& b : boxes.Boxes())
            if (b.text.find("Models") == std::string::npos)
                out += b.caption + "|" + b.text + "\n";
        return out;
    }

    // A scene (the global one unless named) started afresh on a file of these sections at the
    // script "main", then updated n times.
    void StartScene(const std::string& sections, int ticks, CScene& scene = g_Scene)
    {
        scene.runner.threads.clear();
        scene.scripts.Clear();
        root.Write("scene.txt", sections);
        scene.Start(ResolvePath("$\\scene.txt"), "main");
        for (int i = 0; i < ticks; ++i)
            scene.Update();
    }

    // A 24-bit bitmap of grey values, top row first.
    void WriteGreys(const std::string& name, int width, int height, const std::vector<std::uint32_t>& greys) const
    {
        std::vector<std::uint32_t> pixels;
        for (std::uint32_t g : greys)
            pixels.push_back(g * 0x010101u);
        root.Write(name, testutil::BmpWithBits(width, height, 24, pixels));
    }
};

// The tests of units and formations: types loaded into the global g_UnitDataManager, formations
// made in the scene's list (the script functions act on both), and an animation "spark" to emit.
namespace unittest {

// Where a unit stands and how it is turned: x, z, height, then the angles about x, y and z.
inline std::string Pose(const CUnit& u)
{
    return Join({u.mover.vCurrent.x, u.mover.vCurrent.y, u.posY.Get(), u.angleX.Get(), u.angleY.Get(), u.angleZ.Get()});
}

class UnitFixture : public WorldTest {
protected:
    TAnimData* spark = nullptr;

    void SetUp() override
    {
        WorldTest::SetUp();
        // A group without a device: its definitions and its pool are all the units need.
        CAnimationGroup* group = g_Scene.animations.groups.AddNew();
        group->MaxAnimCount = 4;
        group->pool.resize(4);
        spark = group->anims.AddNew();
        spark->name = "spark";
        spark->framecount = 2;
        spark->TimePerFrame = 1000;
        spark->pGroup = group;
    }

    // One formation "f" at (100, 200) of `slots` slots of the unit type "u" (speed 2, scale 2,
    // animation "spark"); slot i is offset by (i, -i) with no spread. `count` units are placed.
    CUnitFormation* Make(const std::string& unitScript, const std::string& formationScript = "[main]\n",
                         int slots = 1, int count = -1)
    {
        root.Write("unit.txt", unitScript);
        root.Write("formation.txt", formationScript);
        root.Write("units.txt", "[u]\nspeed=2\nobjscale=2\nanim1=spark\nscript=unit.txt\n");
        std::string f = "[f]\nscript=formation.txt\n";
        for (int n = 1; n <= slots; ++n) {
            const std::string i = IntToString(n);
            f += "unit" + i + "=u\noffsetx" + i + "=" + i + "\noffsetz" + i + "=-" + i + "\n";
        }
        root.Write("formations.txt", f);
        g_UnitDataManager.LoadUnits(root.WindowsPath(), "units.txt");
        g_UnitDataManager.LoadFormations(root.WindowsPath(), "formations.txt");
        return g_Scene.formations.CreateFormation("f", g_UnitDataManager.FindFormationData("f"), count, 100, 200);
    }

    static void Tick(int n = 1)
    {
        for (int i = 0; i < n; ++i)
            g_Scene.formations.UpdateAll();
    }
};

}  // namespace unittest
