#include "analysis/depth_chart_layout.h"

#include <algorithm>
#include <cmath>

namespace fendal::analysis {

namespace {

// A step of 1, 2 or 5 times a power of ten at or above `raw`, at least 1 (values are integers).
long long niceStep(double raw) {
    if (!(raw > 1)) return 1;
    long long base = 1;
    while (static_cast<double>(base) * 10 <= raw) base *= 10;
    for (long long f : {1, 2, 5, 10})
        if (static_cast<double>(base * f) >= raw) return base * f;
    return base * 10;
}

long long floorTo(long long v, long long step) { return (v >= 0 ? v / step : -((-v + step - 1) / step)) * step; }
long long ceilTo(long long v, long long step) { return -floorTo(-v, step); }

// The slot of point p when n points share c slots as [s*n/c, (s+1)*n/c).
int slotOf(long long p, long long n, long long c) { return static_cast<int>(((p + 1) * c + n - 1) / n - 1); }
int firstOfSlot(long long s, long long n, long long c) { return static_cast<int>(s * n / c); }

}  // namespace

int DepthChartLayout::pointAt(double x, double y) const {
    if (bars.empty() || !plot.contains(x, y)) return -1;
    const int slot = std::clamp(static_cast<int>((x - plot.left) / slotWidth), 0, static_cast<int>(bars.size()) - 1);
    return bars[slot].shownPoint;
}

DepthChartLayout layoutDepthChart(std::span<const data::MeasurePoint> points, int currentPoint, const ChartRect& area) {
    DepthChartLayout layout;
    layout.area = area;
    layout.plot = {area.left + DepthChartLayout::kLeftMargin, area.top + DepthChartLayout::kTopMargin,
                   std::max(0.0, area.width - DepthChartLayout::kLeftMargin - DepthChartLayout::kRightMargin),
                   std::max(0.0, area.height - DepthChartLayout::kTopMargin - DepthChartLayout::kBottomMargin)};
    const ChartRect& plot = layout.plot;
    const long long n = static_cast<long long>(points.size());
    layout.pointCount = static_cast<int>(n);

    long long lo = 0, hi = 0, sum = 0;
    for (const data::MeasurePoint& p : points) {
        lo = std::min<long long>(lo, p.depth);
        hi = std::max<long long>(hi, p.depth);
        sum += p.depth;
    }
    if (lo == hi) hi = lo + 1;  // all depths zero: still an axis to stand on
    const long long step = niceStep(static_cast<double>(hi - lo) / 5);
    const long long axisLo = floorTo(lo, step);
    const long long axisHi = ceilTo(hi, step);
    auto yOf = [&](double depth) {
        return plot.bottom() -
               (depth - static_cast<double>(axisLo)) / static_cast<double>(axisHi - axisLo) * plot.height;
    };
    for (long long v = axisLo; v <= axisHi; v += step) layout.depthTicks.push_back({yOf(static_cast<double>(v)), v});
    layout.zeroY = yOf(0);
    if (n == 0 || plot.width < 1 || plot.height < 1) return layout;
    layout.mean = static_cast<double>(sum) / static_cast<double>(n);
    layout.meanY = yOf(layout.mean);

    // One slot per point while each gets a pixel column, else one per column.
    const long long slots = std::min<long long>(n, static_cast<long long>(plot.width));
    layout.slotWidth = plot.width / static_cast<double>(slots);
    const double barWidth = layout.slotWidth >= 3 ? layout.slotWidth * 0.7 : layout.slotWidth;
    layout.bars.reserve(static_cast<std::size_t>(slots));
    for (long long s = 0; s < slots; ++s) {
        ChartBar bar;
        bar.firstPoint = firstOfSlot(s, n, slots);
        bar.lastPoint = firstOfSlot(s + 1, n, slots) - 1;
        bar.shownPoint = bar.firstPoint;
        long long columnSum = 0;
        for (int p = bar.firstPoint; p <= bar.lastPoint; ++p) {
            columnSum += points[p].depth;
            if (points[p].depth > points[bar.shownPoint].depth) bar.shownPoint = p;
        }
        bar.depth = points[bar.shownPoint].depth;
        bar.meanDepth = static_cast<double>(columnSum) / (bar.lastPoint - bar.firstPoint + 1);
        const double centre = plot.left + (static_cast<double>(s) + 0.5) * layout.slotWidth;
        auto upTo = [&](double depth) {
            const double y = yOf(depth);
            return ChartRect{centre - barWidth / 2, std::min(y, layout.zeroY), barWidth, std::abs(y - layout.zeroY)};
        };
        bar.rect = upTo(bar.depth);
        bar.meanRect = upTo(bar.meanDepth);
        layout.bars.push_back(bar);
    }
    if (currentPoint >= 0 && currentPoint < n) layout.currentBar = slotOf(currentPoint, n, slots);

    // Point numbers at round steps, about one label per 80 units of width.
    const long long numberStep = niceStep(static_cast<double>(n) / std::max(1.0, plot.width / 80));
    for (long long number = numberStep; number <= n; number += numberStep) {
        const int s = slotOf(number - 1, n, slots);
        layout.pointTicks.push_back({plot.left + (s + 0.5) * layout.slotWidth, number});
    }
    if (numberStep > 1) layout.pointTicks.insert(layout.pointTicks.begin(), {plot.left + 0.5 * layout.slotWidth, 1});
    return layout;
}

}  // namespace fendal::analysis
