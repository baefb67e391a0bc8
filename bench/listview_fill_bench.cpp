// Filling the main view: a million-point group (one file, and twenty files with their
// categories), and the largest group of ten files of 99999 points, filled and refilled after
// an edit. Each is measured against one plain pass that reads every point of the same group.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

#include "listview/point_list.h"
#include "listview_bench_group.h"

// Counts every allocation through operator new in this process, so a fill that allocates per
// row shows up as an allocation count in the order of the row count.

using namespace fendal;
using namespace fendal::data;
using namespace fendal::listview;

namespace {
std::atomic<long long> gAllocations{0};
}

void* operator new(std::size_t size) {
    gAllocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

using listbench::seconds;

constexpr int kLargestFile = 99999;  // the largest point count a file may hold
constexpr int kFullGroupFiles = 10;

// What any fill must do at least: look at every point of the group once. Best of three.
double passSeconds(const CFendalDoc& doc) {
    const int total = doc.totalPoints();
    double best = 1e9;
    for (int i = 0; i < 3; ++i) {
        int64_t sum = 0;
        best = std::min(best, seconds([&] {
                            for (int flat = 0; flat < total; ++flat) {
                                int file = 0, point = 0;
                                doc.flatToFilePoint(flat, file, point);
                                sum += doc.group.files[file].points[point].velocity;
                            }
                        }));
        benchmark::DoNotOptimize(sum);
    }
    return best;
}

void fillMillionPoints(benchmark::State& state) {
    listbench::Group group(static_cast<int>(state.range(0)));
    double fillTime = 0;
    for (auto _ : state) fillTime += seconds([&] { group.doc.updateAllViews(UpdateHint::Reloaded); });

    const double baseline = passSeconds(group.doc);
    const double perFill = fillTime / static_cast<double>(state.iterations());
    state.counters["rows"] = group.view->model()->rowCount();
    state.counters["fill_s"] = perFill;
    state.counters["pass_s"] = baseline;
    state.counters["ratio_vs_pass"] = perFill / baseline;
}

BENCHMARK(fillMillionPoints)->Arg(1)->Arg(20)->ArgName("files")->Unit(benchmark::kMillisecond)->Iterations(4);

// Shows the view on the screen (the off-screen one by default) when `shown`.
void showIf(bool shown, CFendalView& view) {
    if (!shown) return;
    view.show();
    QApplication::processEvents();
}

// The update, and with a shown view also the layout and painting it brings about.
void update(CFendalDoc& doc, bool shown, UpdateHint hint) {
    doc.updateAllViews(hint);
    if (shown) QApplication::processEvents();
}

// Ten files of 99999 points: the view shows one collapsed category per file after a fill.
void fillFullGroup(benchmark::State& state) {
    const bool shown = state.range(0) != 0;
    listbench::Group group(kFullGroupFiles, kLargestFile);
    showIf(shown, *group.view);
    double fillTime = 0, slowest = 0, first = -1;
    long long allocations = 0;
    for (auto _ : state) {
        const long long before = gAllocations.load();
        const double t = seconds([&] { update(group.doc, shown, UpdateHint::Reloaded); });
        allocations += gAllocations.load() - before;
        fillTime += t;
        slowest = std::max(slowest, t);
        if (first < 0) first = t;
    }
    if (group.view->model()->rowCount() != kFullGroupFiles) {
        state.SkipWithError("a fill of several files must show only the collapsed categories");
        return;
    }
    const double iterations = static_cast<double>(state.iterations());
    const double baseline = passSeconds(group.doc);
    state.counters["points"] = group.totalPoints();
    state.counters["first_s"] = first;
    state.counters["fill_s"] = fillTime / iterations;
    state.counters["slowest_s"] = slowest;
    state.counters["pass_s"] = baseline;
    state.counters["ratio_vs_pass"] = fillTime / iterations / baseline;
    state.counters["allocs_per_fill"] = static_cast<double>(allocations) / iterations;
}

BENCHMARK(fillFullGroup)->Arg(0)->Arg(1)->ArgName("shown")->Unit(benchmark::kMillisecond)->Iterations(5);

// The same group after an in-place edit of one point: the value changes as the editor writes
// it, then the views are told with hint 1. The argument is the number of expanded files: the
// edited one alone, or every file. The refill must keep the expanded states and the selection
// and focus on the edited point.
void refillAfterEdit(benchmark::State& state) {
    const int expanded = static_cast<int>(state.range(0));
    const bool shown = state.range(1) != 0;
    listbench::Group group(kFullGroupFiles, kLargestFile);
    CFendalDoc& doc = group.doc;
    CFendalView& view = *group.view;
    const int editedFile = kFullGroupFiles / 2;
    const int editedPoint = kLargestFile / 2;
    for (int f = 0; f < kFullGroupFiles; ++f)
        if (f == editedFile || expanded > 1) view.toggleCategory(f);
    doc.setCurrent(editedFile, editedPoint);
    int flat = -1;
    doc.filePointToFlat(flat, editedFile, editedPoint);
    view.focusRow(view.core().rowOfValue(flat), true);
    showIf(shown, view);

    double refillTime = 0, slowest = 0;
    long long allocations = 0;
    int velocity = 1000;
    for (auto _ : state) {
        doc.group.files[editedFile].points[editedPoint].velocity = ++velocity;
        const long long before = gAllocations.load();
        const double t = seconds([&] { update(doc, shown, UpdateHint::PointsEdited); });
        allocations += gAllocations.load() - before;
        refillTime += t;
        slowest = std::max(slowest, t);
    }

    // The refill's promises, checked so a fast but wrong refill cannot pass.
    const CGfxCategoryManager* categories = view.core().categories();
    bool statesKept = categories && categories->categoryCount() == kFullGroupFiles;
    for (int f = 0; statesKept && f < kFullGroupFiles; ++f)
        statesKept = categories->category(f).expanded == (f == editedFile || expanded > 1);
    const QModelIndex current = view.currentIndex();
    const int editedRow = view.core().rowOfValue(flat);
    if (!statesKept) {
        state.SkipWithError("the refill lost the categories' expanded states");
        return;
    }
    if (editedRow < 0 || current.row() != editedRow || !view.selectionModel()->isRowSelected(editedRow, {})) {
        state.SkipWithError("the refill lost the selection and focus on the edited point");
        return;
    }
    if (view.core().cellText(editedRow, view.core().columnPosition(pointlist::kVelocity)) != std::to_string(velocity)) {
        state.SkipWithError("the refilled row does not show the edited value");
        return;
    }

    const double iterations = static_cast<double>(state.iterations());
    const double baseline = passSeconds(doc);
    state.counters["rows"] = view.model()->rowCount();
    state.counters["refill_s"] = refillTime / iterations;
    state.counters["slowest_s"] = slowest;
    state.counters["pass_s"] = baseline;
    state.counters["ratio_vs_pass"] = refillTime / iterations / baseline;
    state.counters["allocs_per_refill"] = static_cast<double>(allocations) / iterations;
}

BENCHMARK(refillAfterEdit)
    ->ArgsProduct({{1, kFullGroupFiles}, {0, 1}})
    ->ArgNames({"expanded", "shown"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

}  // namespace

BENCHMARK_MAIN();
