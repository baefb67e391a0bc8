// Sorting a million rows in the main view (keys taken from the row texts, a row permutation
// sorted, the categories rebuilt): by 声速, against a plain std::sort of the same numbers, and by
// Chinese 编号 (compared as their GBK bytes), against a std::sort of the same texts.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <string>

#include "platform/text.h"

#include "listview/point_list.h"
#include "listview_bench_group.h"

using namespace fendal;
using namespace fendal::listview;

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

void sortByChineseNumber(benchmark::State& state) {
    listbench::Group group(1);
    std::mt19937 random(7);
    std::uniform_int_distribution<int> id(1, 99999);
    std::vector<std::string> keys;
    for (auto& file : group.doc.group.files)
        for (auto& p : file.points) {
            const std::string number = "测点" + std::to_string(id(random));
            platform::text::setField(p.number, *platform::text::utf8ToGbk(number));
            keys.push_back(number);
        }
    CFendalView& view = *group.view;
    const int position = view.core().columnPosition(pointlist::kNumber);

    double listTime = 0;
    bool ascending = true;
    for (auto _ : state) {
        listTime += seconds([&] { view.sortColumn(position, ascending); });
        ascending = !ascending;
    }
    double baseline = 1e9;
    for (int i = 0; i < 3; ++i) {
        std::vector<std::string> copy = keys;
        baseline = std::min(baseline, seconds([&] { std::sort(copy.begin(), copy.end()); }));
    }
    const double perSort = listTime / static_cast<double>(state.iterations());
    state.counters["rows"] = listbench::kPoints;
    state.counters["list_s"] = perSort;
    state.counters["std_sort_s"] = baseline;
    state.counters["ratio_vs_std_sort"] = perSort / baseline;
}

BENCHMARK(sortByChineseNumber)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

BENCHMARK_MAIN();
