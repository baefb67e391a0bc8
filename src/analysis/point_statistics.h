#pragma once
// Count, smallest, largest, mean and spread of velocity and depth over a file's points.
#include <span>
#include <string>

#include "data/measure_point.h"

namespace fendal::analysis {

struct ValueStatistics {
    long long min = 0;
    long long max = 0;
    double mean = 0;
    // Population standard deviation: the points are the whole set measured on the structure,
    // not a sample of it.
    double populationStdDev = 0;
};

struct PointStatistics {
    int count = 0;  // 0: the values mean nothing
    ValueStatistics velocity;
    ValueStatistics depth;
};

PointStatistics pointStatistics(std::span<const data::MeasurePoint> points);

// One line for the status bar, e.g.
// "测点数 3  声速(m/s) 最小 3000 最大 4000 平均 3500.0 标准差 408.2  缝深(mm) ...".
std::string statisticsLine(const PointStatistics& statistics);

}  // namespace fendal::analysis
