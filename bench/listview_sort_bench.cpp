// Sorting a million rows by 声速 in the main view (keys taken from the row texts, a row
// permutation sorted, the categories rebuilt), against a plain std::sort of the same keys.
#include <benchmark/benchmark.h>

#include <algorithm>

#include "listview/point_list.h"
#include "listview_bench_group.h"

namespace {

using listbench::seconds;

void sortByVelocity(benchmark::State& state) {
    listbench::Group group(static_cast<int>(state.range(0)));
    CFendalView& view = *group.view;
    for (int f = 0; f < group.doc.group.fileCount(); ++f) view.toggleCategory(f);
    const int position = view.core().columnPosition(pointlist::kVelocity);

    std::vector<int64_t> keys;
    for (const auto& file : group.doc.group.files)
        for (const auto& p : file.points) keys.push_back(p.velocity);

    double listTime = 0;
    bool ascending = true;
    for (auto _ : state) {
        listTime += seconds([&] { view.sortColumn(position, ascending); });
        ascending = !ascending;
    }
    double baseline = 1e9;
    for (int i = 0; i < 3; ++i) {
        std::vector<int64_t> copy = keys;
        baseline = std::min(baseline, seconds([&] { std::sort(copy.begin(), copy.end()); }));
    }
    const double perSort = listTime / static_cast<double>(state.iterations());
    state.counters["rows"] = listbench::kPoints;
    state.counters["list_s"] = perSort;
    state.counters["std_sort_s"] = baseline;
    state.counters["ratio_vs_std_sort"] = perSort / baseline;
}

BENCHMARK(sortByVelocity)->Arg(1)->Arg(20)->ArgName("files")->Unit(benchmark::kMillisecond)->Iterations(4);

}  // namespace

BENCHMARK_MAIN();
