// Script engine throughput: an arithmetic loop run in one step, the same loop calling a script
// each iteration, and the load speed of a 2,000-line script file, whole and as a scene file of
// many sections. bench/lua/ holds the same cases for Lua.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "foundation/inifile.h"
#include "foundation/stringlist.h"
#include "script/scriptbase.h"
#include "script/scriptrunner.h"

namespace {

CStringList Lines(std::initializer_list<const char*> lines)
{
    CStringList out;
    for (const char* l : lines)
        out.Add(l);
    return out;
}

void RunOnce(CScriptLibrary& library, const char* scriptName)
{
    CScriptRunner runner;
    runner.pLibrary = &library;
    runner.StartThread(scriptName, "bench");
    runner.Update();
}

void CountScriptIterations(benchmark::State& state, int perRun)
{
    state.counters["ns_per_iteration"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * perRun, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_ArithmeticLoop(benchmark::State& state)
{
    const int iterations = 10000000;
    CScriptLibrary library;
    library.AddScript(Lines({"i := 0", "s := 0", "while(i<10000000)", "s := s+i*2", "i := i+1", "end"}), "loop");
    for (auto _ : state)
        RunOnce(library, "loop");
    CountScriptIterations(state, iterations);
}
BENCHMARK(BM_ArithmeticLoop)->Unit(benchmark::kMillisecond);

void BM_CallFunctionLoop(benchmark::State& state)
{
    const int iterations = 1000000;
    g_SystemFuncTable.Register("CallFunction", ScriptCallFunction, "s");
    CScriptLibrary library;
    library.AddScript(Lines({"n := 1"}), "callee");
    library.AddScript(Lines({"i := 0", "s := 0", "while(i<1000000)", "s := s+i*2", "CallFunction(\"callee\")",
                             "i := i+1", "end"}),
                      "loop");
    for (auto _ : state)
        RunOnce(library, "loop");
    CountScriptIterations(state, iterations);
}
BENCHMARK(BM_CallFunctionLoop)->Unit(benchmark::kMillisecond);

// Script lines in blocks of ten (a loop with a branch, a wait and a comment), in sections of
// `blocksPerSection` blocks.
std::string WriteScriptFile(const char* name, int lineCount, int blocksPerSection)
{
    std::string path = (std::filesystem::temp_directory_path() / name).string();
    if (FILE* f = std::fopen(path.c_str(), "w")) {
        int written = 0;
        for (int block = 0; written < lineCount; ++block) {
            if (block % blocksPerSection == 0)
                std::fprintf(f, "[s%d]\n", block);
            std::fprintf(f, "a%d := %d\n", block, block);
            std::fprintf(f, "while(a%d<%d+10)\n", block, block);
            std::fprintf(f, "if(a%d*2 > 3)\n", block);
            std::fprintf(f, "b := (a%d+1)*(a%d-2)/4\n", block, block);
            std::fprintf(f, "else\n");
            std::fprintf(f, "wait(1)\n");
            std::fprintf(f, "end\n");
            std::fprintf(f, "a%d := a%d+1\n", block, block);
            std::fprintf(f, "end\n");
            std::fprintf(f, "// block %d done\n", block);
            written += 10;
        }
        std::fclose(f);
    }
    return path;
}

void CountLines(benchmark::State& state, int lineCount)
{
    state.counters["lines_per_second"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * lineCount, benchmark::Counter::kIsRate);
}

// The whole road of a script file through the library: reading, sections, compiling, linking.
void BM_Compile2000Lines(benchmark::State& state)
{
    std::string path = WriteScriptFile("script_bench_2000.txt", 2000, 200);
    for (auto _ : state) {
        CScriptLibrary library;
        benchmark::DoNotOptimize(library.LoadFile(path));
    }
    CountLines(state, 2000);
    std::filesystem::remove(path);
}
BENCHMARK(BM_Compile2000Lines)->Unit(benchmark::kMillisecond)->Iterations(100);

// The same lines as a scene file of one section a block, loaded the way the scene loads one:
// each section's lines taken from the file and added as a script of that name. The time should
// grow with the file, not faster.
void BM_LoadSceneFile(benchmark::State& state)
{
    const int lineCount = static_cast<int>(state.range(0));
    std::string path = WriteScriptFile("script_bench_scene.txt", lineCount, 1);
    for (auto _ : state) {
        CScriptLibrary library;
        CIniFile ini(path);
        CStringList sections;
        ini.GetSectionNames(sections);
        for (const std::string& section : sections.Items) {
            CStringList lines;
            ini.GetSectionLines(lines, section);
            library.AddScript(lines, section);
        }
        benchmark::DoNotOptimize(library.Count());
    }
    CountLines(state, lineCount);
    std::filesystem::remove(path);
}
BENCHMARK(BM_LoadSceneFile)->Unit(benchmark::kMillisecond)->Arg(2000)->Arg(20000)->Iterations(20);

}  // namespace

BENCHMARK_MAIN();
