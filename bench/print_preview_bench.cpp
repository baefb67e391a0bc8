// Opening the print preview of a group of 1,000,000 points: the preview counts the pages and
// draws the pages in view, nothing more, so opening it costs about what counting the pages
// costs. Reports the opening and the first paint alone as ratios to the page count measured in
// the same run, with the pages drawn and the pictures kept.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "platform/text.h"
#include "print/preview_page_painter.h"
#include "print/print_preview_dialog.h"
#include "print/print_preview_view.h"
#include "ratio_main.h"

using namespace fendal;
using namespace fendal::data;
using namespace fendal::print;

namespace {

constexpr int kFiles = 11;  // 10 files of 99999 points (the most a file holds) and one of 10
constexpr int kPoints = 1'000'000;

const FileGroup& millionPoints() {
    static const FileGroup group = [] {
        FileGroup g;
        for (int f = 0; f < kFiles; ++f) {
            CrackDataFile file;
            file.path = platform::text::format("/data/site/section%02d.fsy", f);
            file.points.resize(f + 1 < kFiles ? 99999 : kPoints - 99999 * (kFiles - 1));
            for (std::size_t k = 0; k < file.points.size(); ++k) {
                MeasurePoint& p = file.points[k];
                platform::text::setField(p.number, platform::text::format("%04zu", k + 1));
                p.velocity = 3000 + static_cast<int>(k % 1000);
                p.depth = 50 + static_cast<int>(k % 300);
                platform::text::setField(p.note, "crack");
            }
            g.files.push_back(std::move(file));
        }
        return g;
    }();
    return group;
}

const PaperGeometry kPaper;  // A4 without margins

// The preview window as the command opens it, at a desktop's size, painted once.
void openAndPaint(PrintTable& table, PrintInfo& info, benchmark::State* counters) {
    PreviewPagePainter pages(table, info, kPaper);
    PrintPreviewDialog dialog(pages);
    dialog.resize(1600, 1000);
    dialog.grab();
    if (counters) {
        (*counters).counters["pages"] = info.maxPage;
        (*counters).counters["pages_painted"] = pages.pagesPainted();
        (*counters).counters["pictures_kept"] = dialog.view()->keptPictures();
    }
}

void BM_PageCount(benchmark::State& state) {
    for (auto _ : state) {
        PrintTable table(&millionPoints());
        PrintInfo info;
        benchmark::DoNotOptimize(table.preparePages(info));
    }
}
BENCHMARK(BM_PageCount)->Unit(benchmark::kMillisecond);

// From the group to the first painted preview: the page count, the window and the pages in view.
void BM_OpenPreview(benchmark::State& state) {
    for (auto _ : state) {
        PrintTable table(&millionPoints());
        PrintInfo info;
        table.preparePages(info);
        openAndPaint(table, info, &state);
    }
}
BENCHMARK(BM_OpenPreview)->Unit(benchmark::kMillisecond);

// The window and its first paint alone, on a job prepared beforehand.
void BM_FirstPaint(benchmark::State& state) {
    PrintTable table(&millionPoints());
    PrintInfo info;
    table.preparePages(info);
    for (auto _ : state) openAndPaint(table, info, &state);
}
BENCHMARK(BM_FirstPaint)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    millionPoints();  // built before any timing
    return runWithRatios(argc, argv,
                         {{"BM_OpenPreview", "BM_PageCount", "opening the preview / counting the pages"},
                          {"BM_FirstPaint", "BM_PageCount", "first paint / counting the pages"}});
}
