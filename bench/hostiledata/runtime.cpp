// Hostile data at run time: what scripts and data can make a tick cost. A formation type whose
// "main" creates a formation of its own type every tick, animation groups of many long strips, a
// terrain whose speed is a typo, and a thread that stops and restarts another in a loop without a
// wait. The memory cases report their own peak: run each alone (--benchmark_filter).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "bindings/bindings.h"
#include "foundation/device.h"
#include "foundation/stringutil.h"
#include "hostiledata/memory.h"
#include "platform/seams.h"
#include "script/scriptrunner.h"
#include "support/testdevice.h"
#include "world/animation.h"
#include "world/heightblock.h"
#include "world/scene.h"
#include "world/unitdata.h"
#include "worldfiles.h"

namespace {

using hostiledata::PeakResidentKilobytes;
using hostiledata::ResidentKilobytes;

void WriteFile(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// A scratch root folder made the engine's root, removed with the object; reports are recorded
// rather than shown.
struct Scratch {
    std::filesystem::path root;

    Scratch()
    {
        char pattern[] = "/tmp/runtimebench-XXXXXX";
        root = mkdtemp(pattern);
        SetRootFolder(root.string());
        platform::seams::InstallMessageBoxRecorder();
    }
    ~Scratch()
    {
        platform::seams::RemoveMessageBoxRecorder();
        std::filesystem::remove_all(root);
    }
    std::size_t Reports() const { return platform::seams::RecordedMessageBoxes().size(); }
};

// The global scene emptied of what a case left.
void ForgetScene()
{
    g_Scene.bActive = false;
    g_Scene.runner.threads.clear();
    g_Scene.scripts.Clear();
    g_Scene.formations.formations.clear();
    g_Scene.terrain.instances.clear();
    g_Scene.terrain.order.Clear();
    g_UnitDataManager.units.Clear();
    g_UnitDataManager.formations.Clear();
    g_HeightBlockManager.Clear();
    g_CurrentRunner = nullptr;
    g_CurrentThread = nullptr;
}

// A formation type "f" of two slots whose "main" creates a formation of its own type every tick:
// the formations double each tick. Run for state.range(0) ticks. With state.range(1) the first
// creation comes before the first wait, so each new formation creates the next in the same pass.
void BM_FormationsCreatingTheirOwnType(benchmark::State& state)
{
    Scratch scratch;
    RegisterScriptBindings();
    WriteFile(scratch.root / "unit.txt", "[main]\nwait(100000000)\n");
    WriteFile(scratch.root / "units.txt", "[u]\nspeed=1\nobjscale=1\nscript=unit.txt\n");
    WriteFile(scratch.root / "formation.txt",
              state.range(1) ? "[main]\nwhile(1)\nFriend.CreateFormation(\"f\",\"f\",-1,0,0)\nwait(1)\nend\n"
                             : "[main]\nwhile(1)\nwait(1)\nFriend.CreateFormation(\"f\",\"f\",-1,0,0)\nend\n");
    WriteFile(scratch.root / "formations.txt", "[f]\nscript=formation.txt\nunit1=u\nunit2=u\n");
    WriteFile(scratch.root / "scene.txt", "[main]\nFriend.CreateFormation(\"f\",\"f\",-1,0,0)\nwait(100000000)\n");
    const long before = ResidentKilobytes();
    for (auto _ : state) {
        ForgetScene();
        g_UnitDataManager.LoadUnits(scratch.root.string(), "units.txt");
        g_UnitDataManager.LoadFormations(scratch.root.string(), "formations.txt");
        g_Scene.Start((scratch.root / "scene.txt").string(), "main");
        for (int tick = 0; tick < state.range(0); ++tick)
            g_Scene.Update();
    }
    state.counters["formations"] = static_cast<double>(g_Scene.formations.formations.size());
    state.counters["grown_MB"] = static_cast<double>(ResidentKilobytes() - before) / 1024.0;
    state.counters["peak_MB"] = static_cast<double>(PeakResidentKilobytes()) / 1024.0;
    state.counters["reports"] = static_cast<double>(scratch.Reports());
    ForgetScene();
}
BENCHMARK(BM_FormationsCreatingTheirOwnType)
    ->Args({10, 0})
    ->Args({13, 0})
    ->Args({16, 0})
    ->Args({40, 0})
    ->Args({1, 1})
    ->Args({40, 1})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// An animation group file of state.range(0) definitions of state.range(1) frames each, loaded.
void BM_AnimationDefinitions(benchmark::State& state)
{
    Scratch scratch;
    std::string text = "name=g\ntexture=none.tga\nsizex=65536\nsizey=64\nMaxAnimCount=16\n";
    for (int i = 0; i < state.range(0); ++i)
        text += "[a" + IntToString(i) + "]\npicsizex=16\npicsizey=16\nframecount=" +
                IntToString(static_cast<int>(state.range(1))) + "\n";
    WriteFile(scratch.root / "group.txt", text);
    const long before = ResidentKilobytes();
    long held = 0;
    for (auto _ : state) {
        CAnimationGroup group;
        group.Load((scratch.root / "group.txt").string());
        held = ResidentKilobytes() - before;
        benchmark::DoNotOptimize(group.anims.Count());
    }
    state.counters["held_MB"] = static_cast<double>(held) / 1024.0;
    state.counters["peak_MB"] = static_cast<double>(PeakResidentKilobytes()) / 1024.0;
}
BENCHMARK(BM_AnimationDefinitions)
    ->Args({10000, 4096})
    ->Args({70000, 4096})
    ->Args({70000, 16})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// The scene started on a terrain of blocks 40 deep at the finest detail in the window -40 … 600,
// scrolled by state.range(0) a tick (1: an ordinary strip of 16 blocks; 100,000: a typo that
// drops every block each tick and places 1,024 new ones, all far behind the camera).
struct Terrain {
    Scratch scratch;

    explicit Terrain(float speed)
    {
        WriteFile(scratch.root / "hills.bmp", benchfiles::HillsBmp());
        WriteFile(scratch.root / "ground.tga", benchfiles::Tga(90, 140, 60, 255));
        WriteFile(scratch.root / "terrain.txt",
                  "[data]\nglobalwidthx=200\nglobalwidthz=40\nglobalmaxheight=90\nLOD=0\nviewboardermin=-40\n"
                  "viewboardermax=600\nheight=-30\nspeed=" + FloatToString(speed) + "\nBlockDataDir=" +
                      scratch.root.string() + "\n[blocklist]\nname1=A\nheight1=hills.bmp\ntexture1=ground.tga\n"
                                              "[order]\nA\n");
        WriteFile(scratch.root / "scene.txt", "[main]\nwait(100000000)\n");
        ForgetScene();
        g_Scene.Start((scratch.root / "scene.txt").string(), "main");
        g_Scene.terrain.Load((scratch.root / "terrain.txt").string());
        g_Scene.terrain.Start();
        g_Scene.Update();
    }
    ~Terrain() { ForgetScene(); }
};

// A tick of the scene (the terrain's scrolling, dropping and placing) and its frame, read back.
void BM_TerrainSpeedTick(benchmark::State& state)
{
    testutil::GlobalTestDevice device(640, 480);
    Terrain terrain(static_cast<float>(state.range(0)));
    for (auto _ : state)
        g_Scene.Update();
    state.counters["blocks"] = static_cast<double>(g_Scene.terrain.instances.size());
}
BENCHMARK(BM_TerrainSpeedTick)->Arg(1)->Arg(100000)->Unit(benchmark::kMicrosecond);

void BM_TerrainSpeedFrame(benchmark::State& state)
{
    testutil::GlobalTestDevice device(640, 480);
    if (!g_pDevice) {
        state.SkipWithError("no device");
        return;
    }
    Terrain terrain(static_cast<float>(state.range(0)));
    for (auto _ : state) {
        g_Scene.Update();
        g_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        g_pDevice->BeginScene();
        g_Scene.Render();
        g_pDevice->EndScene();
        g_pDevice->Present(nullptr, nullptr, nullptr, nullptr);
    }
    state.counters["blocks"] = static_cast<double>(g_Scene.terrain.instances.size());
}
BENCHMARK(BM_TerrainSpeedFrame)->Arg(1)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

// One tick of a formation whose "main" orders its own formation to move state.range(0) times
// without a wait: each order stops the formation's "OnMove" thread and starts a new one.
void BM_StopRestartLoop(benchmark::State& state)
{
    Scratch scratch;
    RegisterScriptBindings();
    WriteFile(scratch.root / "units.txt", "[u]\nspeed=1\nobjscale=1\nscript=none.txt\n");
    WriteFile(scratch.root / "formation.txt", "[main]\ni := 0\nwhile(i < " + IntToString(static_cast<int>(state.range(0))) +
                                                  ")\nFriend.MoveFormation(\"f\",i,0)\ni := i+1\nend\n"
                                                  "[OnMove]\nwait(1)\n");
    WriteFile(scratch.root / "formations.txt", "[f]\nscript=formation.txt\n");
    const long before = ResidentKilobytes();
    std::size_t threads = 0;
    for (auto _ : state) {
        ForgetScene();
        g_UnitDataManager.LoadUnits(scratch.root.string(), "units.txt");
        g_UnitDataManager.LoadFormations(scratch.root.string(), "formations.txt");
        g_Scene.formations.CreateFormation("f", g_UnitDataManager.FindFormationData("f"), 0, 0, 0);
        g_Scene.formations.UpdateAll();
        threads = g_Scene.formations.formations.front().runner.threads.size();
    }
    state.counters["threads_after"] = static_cast<double>(threads);
    state.counters["grown_MB"] = static_cast<double>(ResidentKilobytes() - before) / 1024.0;
    state.counters["peak_MB"] = static_cast<double>(PeakResidentKilobytes()) / 1024.0;
    ForgetScene();
}
BENCHMARK(BM_StopRestartLoop)->Arg(100000)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
