// Hostile data of many entries: numbered keys read until one is missing (block lists, formation
// slots, a unit type's animations), many unit types, a UI of many controls drawn each frame and
// under each mouse move, a terrain order of many lines walked by its start, a script naming many
// constants of a large table, and a data file of nothing but line ends. Each should cost in
// proportion to its size.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "foundation/inifile.h"
#include "foundation/stringutil.h"
#include "hostiledata/memory.h"
#include "media/object3d.h"
#include "platform/seams.h"
#include "script/consttable.h"
#include "script/expression.h"
#include "script/scriptbase.h"
#include "ui/uimanager.h"
#include "world/animation.h"
#include "world/heightblock.h"
#include "world/heightterrain.h"
#include "world/scene.h"
#include "world/unitdata.h"

namespace {

// A scratch folder of the benchmark's files, named both ways: natively and as the engine's
// loaders take a folder (backslashes, which is all their folder split takes).
struct TScratch {
    std::filesystem::path native = std::filesystem::temp_directory_path() / "hostiledata_lists";
    TScratch() { std::filesystem::create_directories(native); }
    ~TScratch() { std::filesystem::remove_all(native); }
    std::string Engine(const std::string& name = "") const
    {
        std::string path = (name.empty() ? native : native / name).string();
        std::replace(path.begin(), path.end(), '/', '\\');
        return path;
    }
    void Write(const std::string& name, const std::string& text) const
    {
        if (std::FILE* f = std::fopen((native / name).string().c_str(), "wb")) {
            std::fwrite(text.data(), 1, text.size(), f);
            std::fclose(f);
        }
    }
};

// Reports are recorded, not shown, and forgotten as they come.
struct TQuietReports {
    TQuietReports() { platform::seams::InstallMessageBoxRecorder(); }
    ~TQuietReports() { platform::seams::RemoveMessageBoxRecorder(); }
    static void Forget() { platform::seams::RecordedMessageBoxes().clear(); }
};

// A terrain file of one window of ten blocks' depth, its block list and its order.
std::string TerrainFile(const std::string& blockList, const std::string& order)
{
    return "[data]\nglobalwidthx=10\nglobalwidthz=10\nglobalmaxheight=10\nLOD=5\nviewboardermin=0\n"
           "viewboardermax=100\n[blocklist]\n" +
           blockList + "[order]\n" + order;
}

// A terrain's block list of state.range(0) entries "name<i>", "height<i>", "texture<i>", each
// a block of its own (without files: the blocks have no mesh), loaded by the terrain.
void BM_BlockListEntries(benchmark::State& state)
{
    TScratch dir;
    TQuietReports quiet;
    std::string list;
    for (int i = 1; i <= state.range(0); ++i) {
        const std::string n = std::to_string(i);
        list += "name" + n + "=b" + n + "\nheight" + n + "=h" + n + ".bmp\ntexture" + n + "=t" + n + ".bmp\n";
    }
    dir.Write("terrain.txt", TerrainFile(list, "b1\n"));
    for (auto _ : state) {
        CHeightTerrain terrain;
        terrain.Load(dir.Engine("terrain.txt"));
        state.PauseTiming();
        benchmark::DoNotOptimize(g_HeightBlockManager.blocks.Count());
        g_HeightBlockManager.Clear();
        TQuietReports::Forget();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_BlockListEntries)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// A formation type of state.range(0) slots, each with its unit and four offsets.
void BM_FormationSlots(benchmark::State& state)
{
    TScratch dir;
    TQuietReports quiet;
    dir.Write("units.txt", "[u]\nspeed=1\n");
    std::string type = "[f]\n";
    for (int i = 1; i <= state.range(0); ++i) {
        const std::string n = std::to_string(i);
        type += "unit" + n + "=u\noffsetx" + n + "=" + n + "\noffsetz" + n + "=1\nrandomoffsetx" + n +
                "=0\nrandomoffsetz" + n + "=0\n";
    }
    dir.Write("formations.txt", type);
    g_UnitDataManager.LoadUnits(dir.Engine(), "units.txt");
    for (auto _ : state) {
        g_UnitDataManager.LoadFormations(dir.Engine(), "formations.txt");
        state.PauseTiming();
        benchmark::DoNotOptimize(g_UnitDataManager.FindFormationData("f")->nMaxUnit);
        g_UnitDataManager.formations.Clear();
        state.ResumeTiming();
    }
    g_UnitDataManager.units.Clear();
    g_Object3DList.Clear();
}
BENCHMARK(BM_FormationSlots)->Arg(400)->Arg(4000)->Unit(benchmark::kMillisecond);

// The scene's one animation definition "spark", for the unit types to name.
struct TSparkGroup {
    TSparkGroup()
    {
        CAnimationGroup* group = g_Scene.animations.groups.AddNew();
        TAnimData* anim = group->anims.AddNew();
        anim->name = "spark";
        anim->pGroup = group;
    }
    ~TSparkGroup() { g_Scene.animations.groups.Clear(); }
};

// Unit types loaded and forgotten again, timing the load only.
void LoadUnitTypes(benchmark::State& state, const TScratch& dir)
{
    for (auto _ : state) {
        g_UnitDataManager.LoadUnits(dir.Engine(), "units.txt");
        state.PauseTiming();
        benchmark::DoNotOptimize(g_UnitDataManager.units.Count());
        g_UnitDataManager.units.Clear();
        g_Object3DList.Clear();
        TQuietReports::Forget();
        state.ResumeTiming();
    }
}

// A unit type naming state.range(0) animations "anim1", "anim2", ...
void BM_UnitAnimationKeys(benchmark::State& state)
{
    TScratch dir;
    TQuietReports quiet;
    TSparkGroup spark;
    std::string type = "[u]\nspeed=1\n";
    for (int i = 1; i <= state.range(0); ++i)
        type += "anim" + std::to_string(i) + "=spark\n";
    dir.Write("units.txt", type);
    LoadUnitTypes(state, dir);
}
BENCHMARK(BM_UnitAnimationKeys)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// A unit file of state.range(0) types.
void BM_UnitTypes(benchmark::State& state)
{
    TScratch dir;
    TQuietReports quiet;
    std::string types;
    for (int i = 0; i < state.range(0); ++i)
        types += "[u" + std::to_string(i) + "]\nspeed=1\n";
    dir.Write("units.txt", types);
    LoadUnitTypes(state, dir);
}
BENCHMARK(BM_UnitTypes)->Arg(5000)->Arg(50000)->Unit(benchmark::kMillisecond);

// A UI of state.range(0) controls, side by side along one row (without a device, so what a frame
// costs is the UI's own work).
std::unique_ptr<UIManager> ManyControls(const TScratch& dir, int count)
{
    std::string file;
    for (int i = 0; i < count; ++i)
        file += "[c" + std::to_string(i) + "]\ntype=static\nposx=" + std::to_string(i % 640) +
                "\nposy=100\nsizex=1\nsizey=1\n";
    dir.Write("ui.txt", file);
    auto ui = std::make_unique<UIManager>();
    ui->LoadControls(dir.Engine("ui.txt"));
    return ui;
}

// One frame of it: the tick's update and the frame's render.
void BM_UIFrame(benchmark::State& state)
{
    TScratch dir;
    TQuietReports quiet;
    std::unique_ptr<UIManager> ui = ManyControls(dir, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        ui->Update();
        ui->Render();
    }
}
BENCHMARK(BM_UIFrame)->Arg(3000)->Arg(30000)->Unit(benchmark::kMillisecond);

// The mouse moved over it (every control tested for entering and leaving).
void BM_UIMouseMove(benchmark::State& state)
{
    TScratch dir;
    TQuietReports quiet;
    std::unique_ptr<UIManager> ui = ManyControls(dir, static_cast<int>(state.range(0)));
    int x = 0;
    for (auto _ : state)
        ui->OnMouseMove(x++ % 640, 100);
}
BENCHMARK(BM_UIMouseMove)->Arg(3000)->Arg(30000)->Unit(benchmark::kMillisecond);

// A terrain of one block whose order is `order`, loaded and started.
void LoadAndStart(benchmark::State& state, const std::string& order)
{
    TScratch dir;
    TQuietReports quiet;
    dir.Write("terrain.txt", TerrainFile("name1=b\nheight1=h.bmp\ntexture1=t.bmp\n", order));
    for (auto _ : state) {
        CHeightTerrain terrain;
        terrain.Load(dir.Engine("terrain.txt"));
        terrain.Start();
        benchmark::DoNotOptimize(terrain.instances.size());
    }
    g_HeightBlockManager.Clear();
}

// An order of state.range(0) loop starts and then the block.
void BM_TerrainOrderLoopStarts(benchmark::State& state)
{
    std::string order;
    for (int i = 0; i < state.range(0); ++i)
        order += "[x\n";
    LoadAndStart(state, order + "b\n");
}
BENCHMARK(BM_TerrainOrderLoopStarts)->Arg(2500)->Arg(25000)->Arg(250000)->Unit(benchmark::kMillisecond);

// An order of state.range(0) block lines.
void BM_TerrainOrderLines(benchmark::State& state)
{
    std::string order;
    for (int i = 0; i < state.range(0); ++i)
        order += "b\n";
    LoadAndStart(state, order);
}
BENCHMARK(BM_TerrainOrderLines)->Arg(40000)->Arg(400000)->Unit(benchmark::kMillisecond);

// A script of state.range(0) lines, each naming a constant of a table of as many constants that
// the script imports, compiled.
void BM_ConstantLookups(benchmark::State& state)
{
    TScratch dir;
    TQuietReports quiet;
    const auto count = static_cast<int>(state.range(0));
    std::string table = "[k]\n";
    CStringList script;
    script.Add("using const k");
    for (int i = 0; i < count; ++i) {
        table += "c" + std::to_string(i) + " := " + std::to_string(i) + "\n";
        script.Add("x := c" + std::to_string(count - 1 - i) + "*2");
    }
    dir.Write("consts.txt", table);
    g_ConstTableSet.LoadFile(dir.Engine("consts.txt"));
    for (auto _ : state) {
        CScriptLibrary library;
        if (!library.AddScript(script, "main")->bRunnable)
            state.SkipWithError("the script did not load");
        state.PauseTiming();
        g_ExpressionPool.Clear();
        state.ResumeTiming();
    }
    g_ConstTableSet.Clear();
    g_ConstTable.Clear();
}
BENCHMARK(BM_ConstantLookups)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

// A file of `header` and then state.range(0) MB of empty lines, handed to `read`: the most memory
// the read takes above what the process held before. Run it alone (--benchmark_filter).
template <typename Read>
void PeakOfEmptyLines(benchmark::State& state, const std::string& header, Read read)
{
    TScratch dir;
    TQuietReports quiet;
    dir.Write("empty.txt", header + std::string(static_cast<std::size_t>(state.range(0)) << 20, '\n'));
    double peak = 0;
    for (auto _ : state) {
        const long before = hostiledata::ResidentKilobytes(), peakBefore = hostiledata::PeakResidentKilobytes();
        read(dir.Engine("empty.txt"));
        peak = static_cast<double>(hostiledata::PeakResidentKilobytes() - std::max(before, peakBefore));
    }
    state.counters["MB_peak"] = std::max(peak, 0.0) / 1024.0;
    state.counters["file_MB"] = static_cast<double>(state.range(0));
}

// Read by the data-file reader and asked for a key.
void BM_EmptyLinesFile(benchmark::State& state)
{
    PeakOfEmptyLines(state, "", [](const std::string& path) {
        CIniFile ini(path);
        ini.SelectSection("data");
        benchmark::DoNotOptimize(ini.GetString("key"));
    });
}
BENCHMARK(BM_EmptyLinesFile)->Arg(5)->Arg(50)->Iterations(1)->Unit(benchmark::kMillisecond);

// Started as a scene file whose one script is all those lines.
void BM_EmptyLinesScene(benchmark::State& state)
{
    PeakOfEmptyLines(state, "[main]\n", [](const std::string& path) {
        g_Scene.Start(path, "main");
        benchmark::DoNotOptimize(g_Scene.scripts.Count());
        g_Scene.runner.threads.clear();
        g_Scene.scripts.Clear();
    });
}
BENCHMARK(BM_EmptyLinesScene)->Arg(5)->Arg(50)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
