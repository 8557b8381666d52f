// Layout run speed on the test designs, with and without the picture, and
// the texture fill.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "app/design_file.h"
#include "app/design_state.h"
#include "editor/outline.h"
#include "layout/layout_run.h"
#include "layout/texture_fill.h"

namespace {

plk::DesignState load(const std::string& name) {
    plk::DesignState d;
    plk::reset_design(d);
    d.segment_count = 0;
    plk::apply_design_lines(d, plk::read_design_lines(std::string(PLK_TEST_DATA_DIR) + "/designs/" + name));
    d.edit_mode = 2;
    d.outline_centre = plk::close_outline(d);
    plk::derive_stagger(d.style);
    d.grid_bitmap = plk::Bitmap(2400, 1700, 32);
    d.layout_bitmap = plk::Bitmap(2400, 1700, 32);
    return d;
}

const char* const kDesigns[] = {"rect_10x8.pk1", "l_shape.pk1", "poly_100.pk1", "hall_60x6.pk1", "slanted.pk1"};

void BM_Layout(benchmark::State& state) {
    const char* name = kDesigns[state.range(0)];
    const bool gif = state.range(1) != 0;
    plk::DesignState d = load(name);
    d.export_drawing = gif ? 1 : 0;
    plk::LayoutRunHooks hooks;
    const std::string path = (std::filesystem::temp_directory_path() / "plk_bench_fdraw.gif").string();
    hooks.gif_path = path;
    int boards = 0;
    for (auto _ : state) {
        const plk::LayoutSummary s = plk::drawlayout(d, hooks);
        // The run draws into d.layout_bitmap, so it cannot be optimised away.
        // (DoNotOptimize on an int local misreports it with this g++/benchmark pair.)
        boards = s.boards;
    }
    state.SetLabel(std::string(name) + (gif ? " +gif" : "") + " boards=" + std::to_string(boards));
    std::remove(path.c_str());
}
BENCHMARK(BM_Layout)
    ->ArgsProduct({{0, 1, 2, 3, 4}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The same run testing every pixel against every edge (no look-up table).
void BM_LayoutPlainRule(benchmark::State& state) {
    plk::DesignState d = load(kDesigns[state.range(0)]);
    plk::LayoutRunHooks hooks;
    hooks.plain_rule = true;
    for (auto _ : state) benchmark::DoNotOptimize(plk::drawlayout(d, hooks).boards);
    state.SetLabel(kDesigns[state.range(0)]);
}
BENCHMARK(BM_LayoutPlainRule)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_FillBoards(benchmark::State& state) {
    plk::DesignState d = load(kDesigns[state.range(0)]);
    const std::string dir = PLK_BIN_DIR;
    for (auto _ : state) {
        plk::fillboards(d, dir + "/lcolours.qvp", dir + "/lcolorT.qvp");
    }
    state.SetLabel(kDesigns[state.range(0)]);
}
BENCHMARK(BM_FillBoards)->DenseRange(0, 4)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
