// Printing a group of 1,000,000 points: counting the pages must stay arithmetic, and a whole
// job must cost its pages, not pages x lines; putting a PDF's text maps right must cost little
// beside writing it. Each benchmark reports a ratio against a baseline
// measured in the same process.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <algorithm>
#include <climits>
#include <cstdio>
#include <ctime>

#include "platform/text.h"
#include "print/print_output.h"
#include "print/qpainter_canvas.h"
#include "print/print_table.h"

using namespace fendal;
using namespace fendal::data;
using namespace fendal::print;

namespace {

constexpr int kFiles = 20;
constexpr int kPointsPerFile = 50'000;  // 1,000,000 points in all

// Thread CPU time: the machine is shared, and only this thread's work is being measured.
struct Clock {
    using time_point = double;
    static double now() {
        timespec ts{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
        return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
    }
};
double secondsSince(double start) { return Clock::now() - start; }

const FileGroup& bigGroup() {
    static const FileGroup group = [] {
        FileGroup g;
        for (int f = 0; f < kFiles; ++f) {
            CrackDataFile file;
            file.path = platform::text::format("/data/site/section%02d.fsy", f);
            file.points.resize(kPointsPerFile);
            for (int k = 0; k < kPointsPerFile; ++k) {
                MeasurePoint& p = file.points[static_cast<std::size_t>(k)];
                p = MeasurePoint{};
                platform::text::setField(p.number, platform::text::format("%04d", k + 1));
                p.velocity = 3000 + k % 1000;
                p.depth = 50 + k % 300;
                platform::text::setField(p.note, "crack");
            }
            g.files.push_back(std::move(file));
        }
        return g;
    }();
    return group;
}

// Takes all painting and does nothing with it: what is left is the table's own work and
// QPainter's (text layout included).
class NullEngine : public QPaintEngine {
public:
    NullEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawTextItem(const QPointF&, const QTextItem&) override {}
    void drawLines(const QLineF*, int) override {}
    void drawRects(const QRectF*, int) override {}
    Type type() const override { return QPaintEngine::User; }
};

class NullDevice : public QPaintDevice {
public:
    QPaintEngine* paintEngine() const override { return &engine_; }

protected:
    int metric(PaintDeviceMetric m) const override {
        switch (m) {
        case PdmWidth: return 9921;  // A4 at 1200 dpi
        case PdmHeight: return 14031;
        case PdmWidthMM: return 210;
        case PdmHeightMM: return 297;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY: return 1200;
        case PdmDepth: return 32;
        case PdmNumColors: return INT_MAX;
        case PdmDevicePixelRatio: return 1;
        case PdmDevicePixelRatioScaled: return static_cast<int>(QPaintDevice::devicePixelRatioFScale());
        default: return 0;
        }
    }

private:
    mutable NullEngine engine_;
};

void drawPages(QPaintDevice& device, PrintTable& table, PrintInfo info, int from, int to) {
    QPainter painter(&device);
    for (int page = from; page <= to; ++page) {
        info.currentPage = page;
        QPainterCanvas canvas = QPainterCanvas::twips(painter, device);
        table.printPage(canvas, info);
    }
}

// Baseline: one read of every point, the least any pass over the group costs.
double touchAllPointsSeconds() {
    const auto start = Clock::now();
    long long sum = 0;
    for (const auto& f : bigGroup().files)
        for (const auto& p : f.points) sum += p.velocity;
    benchmark::DoNotOptimize(sum);
    return secondsSince(start);
}

void BM_CountPages(benchmark::State& state) {
    const FileGroup& group = bigGroup();
    double baseline = 0;
    for (int i = 0; i < 5; ++i) baseline = i ? std::min(baseline, touchAllPointsSeconds()) : touchAllPointsSeconds();
    int pages = 0;
    double total = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        PrintTable table(&group);
        PrintInfo info;
        pages = table.preparePages(info);
        total += secondsSince(start);
    }
    state.counters["pages"] = pages;
    state.counters["seconds"] = total / static_cast<double>(state.iterations());
    state.counters["vs_touching_all_points"] = total / static_cast<double>(state.iterations()) / baseline;
}
BENCHMARK(BM_CountPages)->Unit(benchmark::kMillisecond);

// Page 1 alone, then the whole job, both on the null painter; linear means each page of the
// job costs what one page costs.
void BM_WholeJobNullPainter(benchmark::State& state) {
    PrintTable table(&bigGroup());
    PrintInfo info;
    const int pages = table.preparePages(info);
    NullDevice device;
    const int middle = pages / 2;
    double onePage = 1e9;
    for (int i = 0; i < 20; ++i) {
        const auto start = Clock::now();
        drawPages(device, table, info, middle, middle);
        onePage = std::min(onePage, secondsSince(start));
    }
    double whole = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        drawPages(device, table, info, 1, pages);
        whole = secondsSince(start);
    }
    state.counters["pages"] = pages;
    state.counters["one_page_ms"] = onePage * 1e3;
    state.counters["whole_job_s"] = whole;
    state.counters["per_page_vs_one_page"] = whole / pages / onePage;
}
BENCHMARK(BM_WholeJobNullPainter)->Unit(benchmark::kSecond)->Iterations(1);

// Real PDF output. Baselines in the same process: one page alone (which also pays for creating
// the file and embedding the fonts) and the per-page cost of the first 100 pages. Argument 0
// is the whole job.
void BM_PdfPages(benchmark::State& state) {
    PrintTable table(&bigGroup());
    PrintInfo info;
    table.preparePages(info);
    const int pages = state.range(0) > 0 ? static_cast<int>(state.range(0)) : info.maxPage;
    QTemporaryDir dir;
    auto writePdf = [&](int from, int to) {
        QPdfWriter writer(dir.filePath("bench.pdf"));
        const auto start = Clock::now();
        paintPages(writer, table, info, from, to);
        return secondsSince(start);
    };
    double onePage = 1e9;
    for (int i = 0; i < 5; ++i) onePage = std::min(onePage, writePdf(info.maxPage / 2, info.maxPage / 2));
    const double per100 = writePdf(1, 100) / 100;
    double job = 0;
    for (auto _ : state) job = writePdf(1, pages);
    state.counters["pages"] = pages;
    state.counters["one_page_ms"] = onePage * 1e3;
    state.counters["job_s"] = job;
    state.counters["per_page_vs_one_page"] = job / pages / onePage;
    state.counters["per_page_vs_first_100"] = job / pages / per100;
}
BENCHMARK(BM_PdfPages)->Arg(1000)->Arg(0)->Unit(benchmark::kSecond)->Iterations(1);

// Putting the PDF's text maps right after writing: a job of 1000 pages written as fendal-cli
// writes it, against the same pages painted into a PDF without the correction, in the same run.
void BM_PdfTextMaps(benchmark::State& state) {
    FileGroup group;
    group.files.push_back(bigGroup().files.front());
    group.files.front().points.resize(38 + 42 * 999);  // exactly 1000 pages
    PrintTable table(&group);
    PrintInfo info;
    table.preparePages(info);
    QTemporaryDir dir;
    const std::string path = dir.filePath("maps.pdf").toStdString();
    double plain = 1e9, corrected = 1e9;
    for (auto _ : state) {
        for (int i = 0; i < 3; ++i) {
            {
                const auto start = Clock::now();
                QPdfWriter writer(QString::fromStdString(path));  // set up as writeTablePdf sets it up
                writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
                writer.setTitle(QString::fromUtf8(kPrintTitle));
                paintPages(writer, table, info, 1, info.maxPage);
                plain = std::min(plain, secondsSince(start));
            }
            std::string error;
            const auto start = Clock::now();
            if (!writeTablePdf(path, table, info, error)) state.SkipWithError(error.c_str());
            corrected = std::min(corrected, secondsSince(start));
        }
    }
    state.counters["pages"] = info.maxPage;
    state.counters["plain_s"] = plain;
    state.counters["with_text_maps_s"] = corrected;
    state.counters["vs_plain"] = corrected / plain;
}
BENCHMARK(BM_PdfTextMaps)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
