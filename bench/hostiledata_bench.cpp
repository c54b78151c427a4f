// Hostile data files at start-up: a data file of many sections, every section found by name as
// the loaders do, an .x file whose references place one mesh thousands of times, a file pattern
// that backtracks, a font file of many entries of one face, a caption of megabytes, an
// expression of deeply nested brackets, a script that calls itself without end and an image
// larger than any texture.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "foundation/device.h"
#include "hostiledata/images.h"
#include "hostiledata/memory.h"
#include "foundation/inifile.h"
#include "media/font.h"
#include "platform/d3d9.h"
#include "platform/d3dx9.h"
#include "platform/d3dx9/xfile.h"
#include "platform/seams.h"
#include "platform/win32.h"
#include "script/expression.h"
#include "script/scriptrunner.h"
#include "support/testdevice.h"

namespace {

using hostiledata::PeakResidentKilobytes;
using hostiledata::ResidentKilobytes;

// A data file of state.range(0) sections, each read as a loader reads it.
void BM_IniFileSections(benchmark::State& state)
{
    const int sections = static_cast<int>(state.range(0));
    const std::string path = (std::filesystem::temp_directory_path() / "hostiledata_sections.txt").string();
    if (FILE* f = std::fopen(path.c_str(), "w")) {
        for (int i = 0; i < sections; ++i)
            std::fprintf(f, "[s%d]\nname=%d\nsize=2\n", i, i);
        std::fclose(f);
    }
    for (auto _ : state) {
        CIniFile ini(path);
        CStringList names;
        ini.GetSectionNames(names);
        for (int i = 0; i < names.Count(); ++i) {
            ini.SelectSection(names.At(i));
            benchmark::DoNotOptimize(ini.GetInt("name"));
        }
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_IniFileSections)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// A mesh of 1,000 triangles placed by state.range(0) references (4 bytes of the file each).
void BM_XFileReferences(benchmark::State& state)
{
    std::string face = "1002;";
    for (int c = 0; c < 1002; ++c)
        face += std::to_string(c % 3) + (c + 1 < 1002 ? "," : ";");
    std::string text = "xof 0302txt 0032\nMesh M { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; " + face + "; }\nFrame F {\n";
    for (int i = 0; i < state.range(0); ++i)
        text += "{M}\n";
    text += "}\n";
    for (auto _ : state) {
        platform::XMeshData mesh;
        benchmark::DoNotOptimize(platform::ParseXFile(text, mesh));
    }
    state.counters["file_bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_XFileReferences)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// One name of state.range(0) letters "a" searched for with a pattern of five stars that cannot
// match it.
void BM_WildcardPattern(benchmark::State& state)
{
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "hostiledata_wildcards";
    std::filesystem::create_directories(dir);
    std::ofstream(dir / std::string(static_cast<std::size_t>(state.range(0)), 'a')).put('x');
    const std::string pattern = dir.string() + "/*a*a*a*a*a*b";
    for (auto _ : state) {
        WIN32_FIND_DATAA data;
        HANDLE find = FindFirstFileA(pattern.c_str(), &data);
        if (find != INVALID_HANDLE_VALUE)
            FindClose(find);
        benchmark::DoNotOptimize(find);
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_WildcardPattern)->Arg(25)->Arg(50)->Arg(100)->Arg(200)->Unit(benchmark::kMillisecond);

// A font file of state.range(0) entries naming one face and size; the memory they take.
void BM_FontFileOfOneFace(benchmark::State& state)
{
    testutil::GlobalTestDevice device(640, 480);
    const std::string path = (std::filesystem::temp_directory_path() / "hostiledata_fonts.txt").string();
    if (FILE* f = std::fopen(path.c_str(), "w")) {
        for (int i = 0; i < state.range(0); ++i)
            std::fprintf(f, "[f%d]\nfontname=Arial\nheight=20\n", i);
        std::fclose(f);
    }
    double perFont = 0;
    for (auto _ : state) {
        const long before = ResidentKilobytes();
        FontManager fonts;
        fonts.LoadFonts(path);
        perFont = static_cast<double>(ResidentKilobytes() - before) / static_cast<double>(state.range(0));
    }
    state.counters["KB_per_font"] = perFont;
    std::filesystem::remove(path);
}
BENCHMARK(BM_FontFileOfOneFace)->Arg(1000)->Iterations(1)->Unit(benchmark::kMillisecond);

// A caption of 10 MB drawn centred in a control's rectangle, frame after frame: in lines of 80
// characters (0) or as one line (1).
void BM_LongCaption(benchmark::State& state)
{
    testutil::GlobalTestDevice device(640, 480);
    std::string text;
    while (text.size() < (10u << 20))
        text += state.range(0) ? "Caption text, "
                               : "Caption text of eighty characters, the width of an old screen line....\n";
    FontEntry font;
    font.Create("Arial", "caption", 0, 16, 400, false);
    for (auto _ : state) {
        g_pDevice->BeginScene();
        font.DrawTextAligned(text, RECT{100, 100, 540, 380}, 0xFFFFFFFF, 1, 1);
        g_pDevice->EndScene();
    }
}
BENCHMARK(BM_LongCaption)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// An expression of state.range(0) brackets around one number, compiled (refused past 256 levels).
void BM_NestedBrackets(benchmark::State& state)
{
    const auto depth = static_cast<std::size_t>(state.range(0));
    const std::string text = std::string(depth, '(') + "1" + std::string(depth, ')');
    platform::seams::InstallMessageBoxRecorder();
    for (auto _ : state) {
        CExpression e;
        benchmark::DoNotOptimize(e.Compile(text, CStringList()));
    }
    platform::seams::RemoveMessageBoxRecorder();
}
BENCHMARK(BM_NestedBrackets)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

float g_Depth = 0.0f;

// A script that calls itself until a variable counts state.range(0) calls, run as a thread for
// one tick: the frames the thread reached and the memory the run kept.
void BM_DeepRecursion(benchmark::State& state)
{
    g_SystemFuncTable.Register("CallFunction", ScriptCallFunction, "s");
    expression::TVar depth;
    depth.name = "depth";
    depth.type = expression::VT_MEMORY;
    depth.pValue = &g_Depth;
    g_VarTable.AddVar("Depth", depth);
    CScriptLibrary library;
    CStringList lines;
    lines.Add("Depth := Depth+1");
    lines.Add("if(Depth<" + std::to_string(state.range(0)) + ")");
    lines.Add("CallFunction(\"deep\")");
    lines.Add("end");
    library.AddScript(lines, "deep");
    platform::seams::InstallMessageBoxRecorder();
    double kilobytes = 0;
    for (auto _ : state) {
        g_Depth = 0.0f;
        const long before = ResidentKilobytes();
        CScriptRunner runner;
        runner.pLibrary = &library;
        runner.StartThread("deep", "deep");
        runner.Update();
        kilobytes = static_cast<double>(ResidentKilobytes() - before);
    }
    platform::seams::RemoveMessageBoxRecorder();
    state.counters["frames"] = g_Depth;
    state.counters["MB_kept"] = kilobytes / 1024.0;
}
BENCHMARK(BM_DeepRecursion)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);

// A 16384 x 16384 image of one colour (a run-length TGA of 10 MB) loaded as a texture: the
// memory the texture takes.
void BM_HugeTexture(benchmark::State& state)
{
    testutil::GlobalTestDevice device(640, 480);
    const std::string path = (std::filesystem::temp_directory_path() / "hostiledata_huge.tga").string();
    std::ofstream(path, std::ios::binary) << hostiledata::OneColourTga(16384);
    double kilobytes = 0, peak = 0;
    for (auto _ : state) {
        const long before = ResidentKilobytes(), peakBefore = PeakResidentKilobytes();
        IDirect3DTexture9* texture = nullptr;
        D3DXCreateTextureFromFileA(g_pDevice, path.c_str(), &texture);
        kilobytes = static_cast<double>(ResidentKilobytes() - before);
        peak = static_cast<double>(PeakResidentKilobytes() - std::max(before, peakBefore));
        state.counters["loaded"] = texture ? 1 : 0;
        if (texture)
            texture->Release();
    }
    state.counters["MB_kept"] = kilobytes / 1024.0;
    state.counters["MB_peak"] = std::max(peak, 0.0) / 1024.0;
    std::filesystem::remove(path);
}
BENCHMARK(BM_HugeTexture)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
