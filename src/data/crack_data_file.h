#pragma once
// One crack data file (.fsy) in memory.
#include <cstdint>
#include <string>
#include <vector>

#include "data/measure_point.h"

namespace fendal::data {

inline constexpr char kCrackSignature[] = "DEDORURU.FSY.";
inline constexpr int16_t kCrackVersion = 1;
inline constexpr int32_t kMaxFileCount = 99999;  // the largest count a file may hold per list

struct CrackDataFile {
    char signature[16] = "DEDORURU.FSY.";
    int16_t version = kCrackVersion;
    std::string path;                          // native full path; empty while the data has no file
    std::vector<MeasurePoint> points;          // the current (edited) points, in display order
    std::vector<MeasurePoint> receivedPoints;  // the points as first received from the instrument
    char remark[200] = {};                     // stored and read, never shown or edited

    // The counts are the list sizes, so a count of 0 always goes with no points.
    int32_t pointCount() const { return static_cast<int32_t>(points.size()); }
    int32_t receivedCount() const { return static_cast<int32_t>(receivedPoints.size()); }
};

}  // namespace fendal::data
