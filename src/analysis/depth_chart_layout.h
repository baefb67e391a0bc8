#pragma once
// Where the depth chart puts its parts, in device units (pixels on screen): one bar per point,
// or, when there are more points than pixel columns, one bar per column standing for the
// points that fall into it; the depth axis with its ticks, the point numbers below and the line
// of the mean depth. Painting (screen, PNG, PDF) and the hit test of a click read it alike.
#include <span>
#include <vector>

#include "data/measure_point.h"

namespace fendal::analysis {

struct ChartRect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;

    double right() const { return left + width; }
    double bottom() const { return top + height; }
    bool contains(double x, double y) const { return x >= left && x < right() && y >= top && y < bottom(); }
};

struct ChartBar {
    ChartRect rect;      // from the zero line to the depth; no height for a depth of 0
    int firstPoint = 0;  // the points the bar stands for, first..last
    int lastPoint = 0;
    int shownPoint = 0;  // the one whose depth it shows: the deepest of them
    int depth = 0;
    // The mean depth of its points and the bar up to it, which a bar of many points shows
    // inside the one up to the deepest; for a single point the same as depth and rect.
    double meanDepth = 0;
    ChartRect meanRect;
};

struct ChartTick {
    double position = 0;  // y on the depth axis, x (the slot's centre) below the bars
    long long value = 0;  // depth in mm, or point number counted from 1
};

struct DepthChartLayout {
    // Room around the bars for the title, the depth labels and the point numbers.
    static constexpr double kLeftMargin = 72;
    static constexpr double kRightMargin = 16;
    static constexpr double kTopMargin = 32;
    static constexpr double kBottomMargin = 30;

    ChartRect area;  // the whole chart
    ChartRect plot;  // where the bars stand
    int pointCount = 0;
    double slotWidth = 0;  // each bar's share of the width, gap included
    std::vector<ChartBar> bars;
    std::vector<ChartTick> depthTicks;
    std::vector<ChartTick> pointTicks;
    double zeroY = 0;     // the depth 0 line
    double mean = 0;      // mean depth of all points
    double meanY = 0;     // where its line runs; meaningless without points
    int currentBar = -1;  // the bar of the current point; -1 for none

    bool aggregated() const { return static_cast<int>(bars.size()) < pointCount; }
    // The point a click at (x, y) chooses: the one its bar's column shows; -1 outside the bars.
    int pointAt(double x, double y) const;
};

// currentPoint: index into points, -1 (or anything out of range) for none.
DepthChartLayout layoutDepthChart(std::span<const data::MeasurePoint> points, int currentPoint, const ChartRect& area);

}  // namespace fendal::analysis
