// Hostile data files at start-up: a data file of many sections, every section found by name as
// the loaders do, an .x file whose references place one mesh thousands of times, a file pattern
// that backtracks, a font file of many entries of one face, and a caption of megabytes.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "foundation/device.h"
#include "foundation/inifile.h"
#include "media/font.h"
#include "platform/d3d9.h"
#include "platform/d3dx9/xfile.h"
#include "platform/win32.h"
#include "support/testdevice.h"

namespace {

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
BENCHMARK(BM_XFileReferences)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

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

long ResidentKilobytes()
{
    long pages = 0, resident = 0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// A font file of state.range(0) entries naming one face and size; the memory they take.
void BM_FontFileOfOneFace(benchmark::State& state)
{
    g_pDevice = testutil::MakeTestDevice(640, 480);
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
    g_pDevice->Release();
    g_pDevice = nullptr;
}
BENCHMARK(BM_FontFileOfOneFace)->Arg(1000)->Iterations(1)->Unit(benchmark::kMillisecond);

// A caption of 10 MB drawn centred in a control's rectangle, frame after frame: in lines of 80
// characters (0) or as one line (1).
void BM_LongCaption(benchmark::State& state)
{
    g_pDevice = testutil::MakeTestDevice(640, 480);
    std::string text;
    while (text.size() < (10u << 20))
        text += state.range(0) ? "Caption text, "
                               : "Caption text of eighty characters, the width of an old screen line....\n";
    {
        FontEntry font;
        font.Create("Arial", "caption", 0, 16, 400, false);
        for (auto _ : state) {
            g_pDevice->BeginScene();
            font.DrawTextAligned(text, RECT{100, 100, 540, 380}, 0xFFFFFFFF, 1, 1);
            g_pDevice->EndScene();
        }
    }
    g_pDevice->Release();
    g_pDevice = nullptr;
}
BENCHMARK(BM_LongCaption)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
