// Statistics of a file's points against values worked out by hand.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "analysis/point_statistics.h"

using namespace fendal;
using namespace fendal::analysis;
using namespace fendal::data;

namespace {

MeasurePoint point(int velocity, int depth) {
    MeasurePoint p{};
    p.velocity = velocity;
    p.depth = depth;
    return p;
}

TEST(PointStatistics, SmallFileMatchesHandValues) {
    // velocity 3000, 4000, 3500: mean 3500, deviations -500, 500, 0 -> variance 500000/3
    // depth 100, 200, 600: mean 300, deviations -200, -100, 300 -> variance 140000/3
    const std::vector<MeasurePoint> points{point(3000, 100), point(4000, 200), point(3500, 600)};
    const PointStatistics s = pointStatistics(points);
    EXPECT_EQ(s.count, 3);
    EXPECT_EQ(s.velocity.min, 3000);
    EXPECT_EQ(s.velocity.max, 4000);
    EXPECT_DOUBLE_EQ(s.velocity.mean, 3500);
    EXPECT_NEAR(s.velocity.populationStdDev, 408.24829046, 1e-6);
    EXPECT_EQ(s.depth.min, 100);
    EXPECT_EQ(s.depth.max, 600);
    EXPECT_DOUBLE_EQ(s.depth.mean, 300);
    EXPECT_NEAR(s.depth.populationStdDev, 216.02468994, 1e-6);
    EXPECT_EQ(statisticsLine(s),
              "测点数 3  声速(m/s) 最小 3000 最大 4000 平均 3500.0 标准差 408.2  "
              "缝深(mm) 最小 100 最大 600 平均 300.0 标准差 216.0");
}

TEST(PointStatistics, EmptyAndSinglePointFiles) {
    const PointStatistics none = pointStatistics({});
    EXPECT_EQ(none.count, 0);
    EXPECT_EQ(statisticsLine(none), "测点数 0");

    const std::vector<MeasurePoint> one{point(-7, 42)};
    const PointStatistics s = pointStatistics(one);
    EXPECT_EQ(s.count, 1);
    EXPECT_EQ(s.velocity.min, -7);
    EXPECT_EQ(s.velocity.max, -7);
    EXPECT_DOUBLE_EQ(s.velocity.mean, -7);
    EXPECT_DOUBLE_EQ(s.velocity.populationStdDev, 0);
    EXPECT_DOUBLE_EQ(s.depth.mean, 42);
    EXPECT_DOUBLE_EQ(s.depth.populationStdDev, 0);
}

TEST(PointStatistics, ExtremeValuesNeitherOverflowNorCancel) {
    // INT_MAX and INT_MIN alternating: an int32 sum would overflow; mean -0.5, spread ~2^31.
    std::vector<MeasurePoint> points;
    for (int i = 0; i < 1000; ++i) points.push_back(i % 2 ? point(INT_MIN, INT_MAX) : point(INT_MAX, INT_MAX));
    const PointStatistics s = pointStatistics(points);
    EXPECT_EQ(s.velocity.min, INT_MIN);
    EXPECT_EQ(s.velocity.max, INT_MAX);
    EXPECT_DOUBLE_EQ(s.velocity.mean, -0.5);
    EXPECT_DOUBLE_EQ(s.velocity.populationStdDev, 2147483647.5);
    // Equal huge values have no spread at all (a one-pass sum of squares would give noise).
    EXPECT_DOUBLE_EQ(s.depth.mean, INT_MAX);
    EXPECT_DOUBLE_EQ(s.depth.populationStdDev, 0);
}

TEST(PointStatistics, FullFileOf99999Points) {
    // depth = i for i in 0..99998: mean 49999, population variance (n^2 - 1) / 12.
    std::vector<MeasurePoint> points;
    for (int i = 0; i < 99999; ++i) points.push_back(point(4000, i));
    const PointStatistics s = pointStatistics(points);
    EXPECT_EQ(s.count, 99999);
    EXPECT_EQ(s.depth.min, 0);
    EXPECT_EQ(s.depth.max, 99998);
    EXPECT_DOUBLE_EQ(s.depth.mean, 49999);
    EXPECT_NEAR(s.depth.populationStdDev, 28867.2247829, 1e-4);
    EXPECT_DOUBLE_EQ(s.velocity.populationStdDev, 0);
}

}  // namespace
