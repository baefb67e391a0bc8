// Filling the main view with a million-point group (one file, and twenty files with their
// categories), against one plain pass that reads every point of the group.
#include <benchmark/benchmark.h>

#include "listview_bench_group.h"

namespace {

using listbench::seconds;

void fillMillionPoints(benchmark::State& state) {
    listbench::Group group(static_cast<int>(state.range(0)));
    double fillTime = 0;
    for (auto _ : state) fillTime += seconds([&] { group.doc.updateAllViews(0); });

    // Baseline: what any fill must do at least, look at every point once.
    double baseline = 1e9;
    for (int i = 0; i < 3; ++i) {
        int64_t sum = 0;
        baseline = std::min(baseline, seconds([&] {
            for (int flat = 0; flat < listbench::kPoints; ++flat) {
                int file = 0, point = 0;
                group.doc.flatToFilePoint(flat, file, point);
                sum += group.doc.group.files[file].points[point].velocity;
            }
        }));
        benchmark::DoNotOptimize(sum);
    }
    const double perFill = fillTime / static_cast<double>(state.iterations());
    state.counters["rows"] = group.view->model()->rowCount();
    state.counters["fill_s"] = perFill;
    state.counters["pass_s"] = baseline;
    state.counters["ratio_vs_pass"] = perFill / baseline;
}

BENCHMARK(fillMillionPoints)->Arg(1)->Arg(20)->ArgName("files")->Unit(benchmark::kMillisecond)->Iterations(4);

}  // namespace

BENCHMARK_MAIN();
