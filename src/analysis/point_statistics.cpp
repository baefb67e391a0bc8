#include "analysis/point_statistics.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace fendal::analysis {

namespace {

template <class Field>
ValueStatistics statisticsOf(std::span<const data::MeasurePoint> points, Field field) {
    ValueStatistics s;
    if (points.empty()) return s;
    // The sum of up to 99999 int32 values is exact in 64 bits; the deviations are summed in a
    // second pass around the mean, so huge values lose no precision to cancellation.
    long long sum = 0;
    s.min = s.max = field(points.front());
    for (const data::MeasurePoint& p : points) {
        const long long v = field(p);
        sum += v;
        s.min = std::min(s.min, v);
        s.max = std::max(s.max, v);
    }
    const double n = static_cast<double>(points.size());
    s.mean = static_cast<double>(sum) / n;
    double squares = 0;
    for (const data::MeasurePoint& p : points) {
        const double d = static_cast<double>(field(p)) - s.mean;
        squares += d * d;
    }
    s.populationStdDev = std::sqrt(squares / n);
    return s;
}

std::string valueLine(const char* name, const ValueStatistics& s) {
    char line[200];
    std::snprintf(line, sizeof line, "%s 最小 %lld 最大 %lld 平均 %.1f 标准差 %.1f", name, s.min, s.max, s.mean,
                  s.populationStdDev);
    return line;
}

}  // namespace

PointStatistics pointStatistics(std::span<const data::MeasurePoint> points) {
    PointStatistics s;
    s.count = static_cast<int>(points.size());
    s.velocity = statisticsOf(points, [](const data::MeasurePoint& p) { return static_cast<long long>(p.velocity); });
    s.depth = statisticsOf(points, [](const data::MeasurePoint& p) { return static_cast<long long>(p.depth); });
    return s;
}

std::string statisticsLine(const PointStatistics& statistics) {
    std::string line = "测点数 " + std::to_string(statistics.count);
    if (statistics.count == 0) return line;
    return line + "  " + valueLine("声速(m/s)", statistics.velocity) + "  " + valueLine("缝深(mm)", statistics.depth);
}

}  // namespace fendal::analysis
