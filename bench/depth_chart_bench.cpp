// The depth chart of a full file (99999 points) against one of 1000 points, both laid out and
// painted into the same 1200 x 600 picture: with one bar per pixel column the full file costs
// its pass over the points, not 99999 rectangles. Reports the ratio of the two.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <vector>

#include "analysis/depth_chart_painter.h"
#include "ratio_main.h"

using namespace fendal;
using namespace fendal::analysis;
using namespace fendal::data;

namespace {

std::vector<MeasurePoint> points(int n) {
    std::vector<MeasurePoint> list(static_cast<std::size_t>(n), MeasurePoint{});
    for (int i = 0; i < n; ++i) list[static_cast<std::size_t>(i)].depth = 50 + (i * 37) % 300;
    return list;
}

void paintChart(benchmark::State& state) {
    const std::vector<MeasurePoint> list = points(static_cast<int>(state.range(0)));
    QImage image(1200, 600, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        paintDepthChart(painter, layoutDepthChart(list, 7, ChartRect{0, 0, 1200, 600}), QStringLiteral("bench"));
    }
}
BENCHMARK(paintChart)->Arg(1000)->Arg(99999)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    return runWithRatio(argc, argv, "paintChart/99999", "paintChart/1000", "99999 points / 1000 points");
}
