// What the tests of units and formations share: a scratch root, types loaded into the global
// g_UnitDataManager, formations made in the scene's list (the script functions act on both), an
// animation "spark" to emit, and "Test.Log", which records the values of each call.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bindings/bindings.h"
#include "foundation/stringutil.h"
#include "media/object3d.h"
#include "script/scriptrunner.h"
#include "support/testutil.h"
#include "world/scene.h"
#include "world/unitdata.h"

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

class UnitFixture : public testing::Test {
protected:
    testutil::TempDir root;
    testutil::ScopedCwd cwd{root.Path()};
    testutil::BoxCapture boxes;
    TAnimData* spark = nullptr;
    CScriptLibrary sceneScripts;
    CScriptRunner sceneRunner;

    void SetUp() override
    {
        Forget();
        RegisterScriptBindings();
        g_SystemFuncTable.Register("Test.Log", LogHandler, "");
        SetRootFolder(root.WindowsPath());
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
        Forget();
    }

    // The world holds nothing from an earlier test, and no current unit or formation.
    static void Forget()
    {
        g_Scene.formations.formations.clear();
        g_Scene.animations.groups.Clear();
        g_UnitDataManager.units.Clear();
        g_UnitDataManager.formations.Clear();
        g_Object3DList.Clear();
        g_CurrentRunner = nullptr;
        g_CurrentThread = nullptr;
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

    // The reports, less the 3D-object list's own about models the test types do not have.
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
