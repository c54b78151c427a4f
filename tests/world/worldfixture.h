// What the world's tests share: a scratch root folder made current, captured boxes, the script
// bindings, a test device on request, recorded device calls, small files written into the root,
// and the global scene, unit types and height blocks emptied after each test.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
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

class WorldTest : public testing::Test {
protected:
    testutil::TempDir root;
    testutil::ScopedCwd cwd{root.Path()};
    testutil::BoxCapture boxes;

    void SetUp() override
    {
        Forget();
        RegisterScriptBindings();
        SetRootFolder(root.WindowsPath());
        SetCurrentFolder("$");
    }
    void TearDown() override
    {
        platform::seams::SetDeviceRecording(false);
        Forget();
        UseDevice(0, 0);
    }

    // The global world holds nothing from an earlier test: no threads, blocks, particles, units,
    // formations or animations, and no current runner.
    static void Forget()
    {
        g_Scene.runner.threads.clear();
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

    // A fresh device of that size; none for 0.
    static void UseDevice(UINT width, UINT height)
    {
        if (g_pDevice)
            g_pDevice->Release();
        g_pDevice = width ? testutil::MakeTestDevice(width, height) : nullptr;
        if (width) {
            ASSERT_NE(g_pDevice, nullptr);
        }
    }

    // Device calls from now on, recorded until the test ends.
    static std::vector<std::string>& Record()
    {
        platform::seams::SetDeviceRecording(true);
        platform::seams::RecordedDeviceCalls().clear();
        return platform::seams::RecordedDeviceCalls();
    }

    // One frame cleared to black, drawn by `draw` and presented.
    template <class Draw>
    static void DrawFrame(Draw draw)
    {
        g_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        g_pDevice->BeginScene();
        draw();
        g_pDevice->EndScene();
        g_pDevice->Present(nullptr, nullptr, nullptr, nullptr);
    }
    static bool Lit(int x, int y) { return (testutil::PresentedPixel(x, y) & 0xFFFFFF) != 0; }

    // The texts of the boxes shown, each followed by "|".
    std::string BoxTexts() const
    {
        std::string out;
        for (const auto& b : boxes.Boxes())
            out += b.text + "|";
        return out;
    }

    // A 24-bit bitmap of grey values, top row first.
    void WriteGreys(const std::string& name, int width, int height, const std::vector<std::uint32_t>& greys) const
    {
        std::vector<std::uint32_t> pixels;
        for (std::uint32_t g : greys)
            pixels.push_back(g * 0x010101u);
        root.Write(name, testutil::BmpWithBits(width, height, 24, pixels));
    }

    template <class T, class Buffer>
    static std::vector<T> Read(Buffer* buffer, std::size_t count)
    {
        std::vector<T> out(count);
        void* data = nullptr;
        if (buffer && SUCCEEDED(buffer->Lock(0, 0, &data, 0))) {
            std::memcpy(out.data(), data, count * sizeof(T));
            buffer->Unlock();
        }
        return out;
    }
};

// The tests of units and formations: types loaded into the global g_UnitDataManager, formations
// made in the scene's list (the script functions act on both), an animation "spark" to emit, and
// "Test.Log", which records the values of each call.
namespace unittest {

inline std::vector<std::string>& Log()
{
    static std::vector<std::string> log;
    return log;
}

inline void LogHandler(TScriptParam* args, int count)
{
    std::string line;
    for (int i = 0; i < count; ++i) {
        char number[32];
        std::snprintf(number, sizeof number, "%s%g", i ? " " : "", static_cast<double>(args[i].fValue));
        line += number;
    }
    Log().push_back(line);
}

class UnitFixture : public WorldTest {
protected:
    TAnimData* spark = nullptr;
    CScriptLibrary sceneScripts;
    CScriptRunner sceneRunner;

    void SetUp() override
    {
        WorldTest::SetUp();
        g_SystemFuncTable.Register("Test.Log", LogHandler, "");
        Log().clear();
        // A group without a device: its definitions and its pool are all the units need.
        CAnimationGroup* group = g_Scene.animations.groups.AddNew();
        group->MaxAnimCount = 4;
        group->pool.resize(4);
        spark = group->anims.AddNew();
        spark->name = "spark";
        spark->pGroup = group;
        spark->framecount = 2;
        spark->frames.resize(2);
        sceneRunner.pLibrary = &sceneScripts;
    }
    void TearDown() override
    {
        sceneRunner.StopAll();
        WorldTest::TearDown();
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
        for (int i = 1; i <= slots; ++i)
            f += "unit" + IntToString(i) + "=u\noffsetx" + IntToString(i) + "=" + IntToString(i) + "\noffsetz" +
                 IntToString(i) + "=-" + IntToString(i) + "\n";
        root.Write("formations.txt", f);
        g_UnitDataManager.LoadUnits(root.WindowsPath(), "units.txt");
        g_UnitDataManager.LoadFormations(root.WindowsPath(), "formations.txt");
        return g_Scene.formations.CreateFormation("f", g_UnitDataManager.FindFormationData("f"), count, 100, 200);
    }

    void Tick(int n = 1)
    {
        for (int i = 0; i < n; ++i)
            g_Scene.formations.UpdateAll();
    }

    // Runs lines as a scene script would, in one update of a runner of their own.
    void RunScene(std::initializer_list<std::string> lines)
    {
        CStringList list;
        for (const std::string& line : lines)
            list.Add(line);
        sceneScripts.AddScript(list, "scene" + IntToString(sceneScripts.Count()));
        sceneRunner.StartThread("scene" + IntToString(sceneScripts.Count() - 1), "scene");
        sceneRunner.Update();
    }

    // The reports as "caption|text", less the 3D-object list's own about models the test types
    // do not have.
    std::vector<std::string> Texts() const
    {
        std::vector<std::string> out;
        for (const auto& b : boxes.Boxes())
            if (b.text.find("Models") == std::string::npos)
                out.push_back(b.caption + "|" + b.text);
        return out;
    }
};

}  // namespace unittest
