// Hostile data files at start-up: a data file of many sections, every section found by name as
// the loaders do, and an .x file whose references place one mesh thousands of times.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "foundation/inifile.h"
#include "platform/d3dx9/xfile.h"

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

}  // namespace

BENCHMARK_MAIN();
