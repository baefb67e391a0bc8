// The depth chart's layout: bars, axis, mean line and what a click chooses.
#include <gtest/gtest.h>

#include <vector>

#include "analysis/depth_chart_layout.h"

using namespace fendal;
using namespace fendal::analysis;
using namespace fendal::data;

namespace {

std::vector<MeasurePoint> depths(std::initializer_list<int> values) {
    std::vector<MeasurePoint> points;
    for (int d : values) {
        MeasurePoint p{};
        p.depth = d;
        points.push_back(p);
    }
    return points;
}

// A chart whose bars stand on 400 x 200 units.
const ChartRect kArea{10, 20, 400 + DepthChartLayout::kLeftMargin + DepthChartLayout::kRightMargin,
                      200 + DepthChartLayout::kTopMargin + DepthChartLayout::kBottomMargin};

TEST(DepthChartLayout, OneBarPerPointScaledToTheAxis) {
    const auto points = depths({100, 400, 0, 250});
    const DepthChartLayout l = layoutDepthChart(points, 1, kArea);
    ASSERT_EQ(l.bars.size(), 4u);
    EXPECT_FALSE(l.aggregated());
    EXPECT_DOUBLE_EQ(l.plot.left, 10 + DepthChartLayout::kLeftMargin);
    EXPECT_DOUBLE_EQ(l.plot.width, 400);
    EXPECT_DOUBLE_EQ(l.slotWidth, 100);
    // Axis 0..400 in steps of 100; the zero line at the bottom of the plot.
    ASSERT_EQ(l.depthTicks.size(), 5u);
    EXPECT_EQ(l.depthTicks.front().value, 0);
    EXPECT_EQ(l.depthTicks.back().value, 400);
    EXPECT_DOUBLE_EQ(l.depthTicks.back().position, l.plot.top);
    EXPECT_DOUBLE_EQ(l.zeroY, l.plot.bottom());
    for (int i = 0; i < 4; ++i) {
        const ChartBar& b = l.bars[i];
        EXPECT_EQ(b.firstPoint, i);
        EXPECT_EQ(b.lastPoint, i);
        EXPECT_EQ(b.shownPoint, i);
        EXPECT_NEAR(b.rect.left + b.rect.width / 2, l.plot.left + 50 + 100 * i, 1e-9) << i;
        EXPECT_DOUBLE_EQ(b.rect.bottom(), l.zeroY) << i;
        EXPECT_DOUBLE_EQ(b.rect.height, 200.0 * points[i].depth / 400) << i;
        EXPECT_DOUBLE_EQ(b.meanDepth, points[i].depth) << i;
        EXPECT_DOUBLE_EQ(b.meanRect.top, b.rect.top) << i;
    }
    // Mean (100 + 400 + 0 + 250) / 4 = 187.5.
    EXPECT_DOUBLE_EQ(l.mean, 187.5);
    EXPECT_DOUBLE_EQ(l.meanY, l.plot.bottom() - 200 * 187.5 / 400);
    EXPECT_EQ(l.currentBar, 1);
    ASSERT_FALSE(l.pointTicks.empty());
    EXPECT_EQ(l.pointTicks.front().value, 1);
    EXPECT_EQ(l.pointTicks.back().value, 4);
}

TEST(DepthChartLayout, HitTestFindsTheColumnsPoint) {
    const auto points = depths({100, 400, 0, 250});
    const DepthChartLayout l = layoutDepthChart(points, -1, kArea);
    const double y = l.plot.bottom() - 1;
    EXPECT_EQ(l.pointAt(l.plot.left, y), 0);
    EXPECT_EQ(l.pointAt(l.plot.left + 150, l.plot.top), 1);  // above a bar, in its column
    EXPECT_EQ(l.pointAt(l.plot.left + 250, y), 2);           // the bar of depth 0
    EXPECT_EQ(l.pointAt(l.plot.right() - 0.001, y), 3);
    EXPECT_EQ(l.pointAt(l.plot.right(), y), -1);
    EXPECT_EQ(l.pointAt(l.plot.left - 1, y), -1);
    EXPECT_EQ(l.pointAt(l.plot.left + 10, l.plot.bottom() + 5), -1);  // on the point numbers
    EXPECT_EQ(l.currentBar, -1);
    EXPECT_EQ(layoutDepthChart(points, 4, kArea).currentBar, -1);  // out of range: none
}

TEST(DepthChartLayout, EmptyOneAndAllZeroFiles) {
    const DepthChartLayout none = layoutDepthChart({}, 0, kArea);
    EXPECT_TRUE(none.bars.empty());
    EXPECT_EQ(none.currentBar, -1);
    EXPECT_EQ(none.pointAt(none.plot.left + 10, none.plot.top + 10), -1);
    EXPECT_FALSE(none.depthTicks.empty());  // the axis is still drawn

    const auto one = depths({120});
    const DepthChartLayout single = layoutDepthChart(one, 0, kArea);
    ASSERT_EQ(single.bars.size(), 1u);
    EXPECT_DOUBLE_EQ(single.slotWidth, 400);
    EXPECT_DOUBLE_EQ(single.mean, 120);
    EXPECT_EQ(single.currentBar, 0);
    EXPECT_EQ(single.pointAt(single.plot.right() - 1, single.plot.top), 0);
    EXPECT_EQ(single.pointTicks.size(), 1u);

    const auto zeros = depths({0, 0, 0});
    const DepthChartLayout flat = layoutDepthChart(zeros, -1, kArea);
    ASSERT_EQ(flat.bars.size(), 3u);
    for (const ChartBar& b : flat.bars) EXPECT_DOUBLE_EQ(b.rect.height, 0);
    EXPECT_DOUBLE_EQ(flat.zeroY, flat.plot.bottom());
    EXPECT_DOUBLE_EQ(flat.meanY, flat.zeroY);
    EXPECT_GE(flat.depthTicks.size(), 2u);  // a scale to read, not one tick divided by nothing
    EXPECT_EQ(flat.pointAt(flat.plot.left + 200, flat.plot.top + 1), 1);
}

TEST(DepthChartLayout, NegativeAndHugeDepthsStayOnTheAxis) {
    const auto points = depths({-50, 2147483647, 100});
    const DepthChartLayout l = layoutDepthChart(points, -1, kArea);
    EXPECT_LE(l.depthTicks.front().value, -50);
    EXPECT_GE(l.depthTicks.back().value, 2147483647LL);
    EXPECT_LT(l.zeroY, l.plot.bottom());
    EXPECT_GE(l.bars[0].rect.top, l.zeroY - 1e-9);  // below the zero line
    EXPECT_DOUBLE_EQ(l.bars[0].rect.top, l.zeroY);
    for (const ChartBar& b : l.bars) {
        EXPECT_GE(b.rect.top, l.plot.top - 1e-6);
        EXPECT_LE(b.rect.bottom(), l.plot.bottom() + 1e-6);
    }
}

TEST(DepthChartLayout, ManyPointsShareOneBarPerColumn) {
    // 99999 points on 400 columns: every column a bar, every point in exactly one, each bar as
    // high as its deepest point, so a single deep point is never lost.
    std::vector<MeasurePoint> points(99999, MeasurePoint{});
    for (int i = 0; i < 99999; ++i) points[i].depth = i % 100;
    points[54321].depth = 5000;
    const DepthChartLayout l = layoutDepthChart(points, 54321, kArea);
    ASSERT_EQ(l.bars.size(), 400u);
    EXPECT_TRUE(l.aggregated());
    EXPECT_DOUBLE_EQ(l.slotWidth, 1);
    int next = 0;
    for (const ChartBar& b : l.bars) {
        if (b.shownPoint != 54321) {
            EXPECT_EQ(b.depth, 99);
            EXPECT_GT(b.meanDepth, 40);
            EXPECT_LT(b.meanDepth, 60);
        }
        EXPECT_GE(b.meanRect.top, b.rect.top);
        EXPECT_DOUBLE_EQ(b.meanRect.bottom(), l.zeroY);
        EXPECT_EQ(b.firstPoint, next);
        EXPECT_GE(b.lastPoint, b.firstPoint);
        EXPECT_GE(b.shownPoint, b.firstPoint);
        EXPECT_LE(b.shownPoint, b.lastPoint);
        next = b.lastPoint + 1;
    }
    EXPECT_EQ(next, 99999);
    const ChartBar& current = l.bars.at(l.currentBar);
    EXPECT_LE(current.firstPoint, 54321);
    EXPECT_GE(current.lastPoint, 54321);
    EXPECT_EQ(current.shownPoint, 54321);
    EXPECT_DOUBLE_EQ(current.rect.top, l.plot.top);  // the axis ends at 5000
    EXPECT_EQ(l.pointAt(current.rect.left + 0.5, l.plot.bottom() - 1), 54321);
    // Point numbers are few and round.
    EXPECT_LE(l.pointTicks.size(), 8u);
    for (std::size_t i = 1; i < l.pointTicks.size(); ++i) EXPECT_EQ(l.pointTicks[i].value % 10000, 0);
}

TEST(DepthChartLayout, ColumnOfManyPointsShowsItsDeepestAndItsMean) {
    // Eight points on four pixel columns: two points a column.
    const auto points = depths({0, 10, 20, 40, 5, 5, 100, 0});
    const ChartRect area{0, 0, 4 + DepthChartLayout::kLeftMargin + DepthChartLayout::kRightMargin, kArea.height};
    const DepthChartLayout l = layoutDepthChart(points, 7, area);
    ASSERT_EQ(l.bars.size(), 4u);
    const int deepest[] = {10, 40, 5, 100};
    const int shown[] = {1, 3, 4, 6};
    const double means[] = {5, 30, 5, 50};
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(l.bars[c].firstPoint, 2 * c);
        EXPECT_EQ(l.bars[c].lastPoint, 2 * c + 1);
        EXPECT_EQ(l.bars[c].depth, deepest[c]) << c;
        EXPECT_EQ(l.bars[c].shownPoint, shown[c]) << c;
        EXPECT_DOUBLE_EQ(l.bars[c].meanDepth, means[c]) << c;
        EXPECT_DOUBLE_EQ(l.bars[c].meanRect.height, 200 * means[c] / 100) << c;
    }
    EXPECT_EQ(l.currentBar, 3);
    // A click on the column of 100 and 0 chooses the point of 100.
    EXPECT_EQ(l.pointAt(l.plot.left + 3.5, l.plot.bottom() - 1), 6);
}

TEST(DepthChartLayout, EveryPointFallsIntoTheBarThatHighlightsIt) {
    for (int n : {401, 799, 1000, 12345}) {
        std::vector<MeasurePoint> points(n, MeasurePoint{});
        for (int p : {0, n / 3, n / 2, n - 1}) {
            const DepthChartLayout l = layoutDepthChart(points, p, kArea);
            ASSERT_GE(l.currentBar, 0);
            EXPECT_LE(l.bars[l.currentBar].firstPoint, p) << n << " " << p;
            EXPECT_GE(l.bars[l.currentBar].lastPoint, p) << n << " " << p;
        }
    }
}

TEST(DepthChartLayout, TooSmallAreaHasNoBars) {
    const auto points = depths({1, 2});
    const DepthChartLayout l = layoutDepthChart(points, 0, ChartRect{0, 0, 20, 20});
    EXPECT_TRUE(l.bars.empty());
    EXPECT_EQ(l.pointAt(10, 10), -1);
}

}  // namespace
