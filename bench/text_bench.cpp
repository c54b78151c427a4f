// The user interface lays out and rasterizes every control's text each frame: the cost of one
// label, Latin and Chinese, once its glyphs are cached.
#include <benchmark/benchmark.h>

#include "platform/d3dx9/fontraster.h"
#include "platform/textformat.h"

namespace {

void LayoutLabel(benchmark::State& state, const char* face, const char* text)
{
    platform::FontRequest request;
    request.faceName = face;
    request.height = 22;
    auto font = platform::FontRasterizer::Create(request);
    if (!font) {
        state.SkipWithError("no font");
        return;
    }
    platform::TextMask mask;
    const RECT rect{100, 100, 300, 140};
    for (auto _ : state) {
        font->Layout(text, -1, rect, DT_CENTER | DT_VCENTER, mask);
        benchmark::DoNotOptimize(mask.coverage.data());
    }
}

void BM_LayoutLatinLabel(benchmark::State& state) { LayoutLabel(state, "Arial", "Start Game"); }
void BM_LayoutChineseLabel(benchmark::State& state) { LayoutLabel(state, "宋体", "开始游戏"); }

}  // namespace

BENCHMARK(BM_LayoutLatinLabel);
BENCHMARK(BM_LayoutChineseLabel);
BENCHMARK_MAIN();
