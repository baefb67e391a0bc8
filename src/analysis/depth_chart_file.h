#pragma once
// The depth chart of a file's points written as a PNG picture or a one-page PDF, whole or not
// at all (through the safe writer).
#include <QString>
#include <span>
#include <string>

#include "data/measure_point.h"

namespace fendal::analysis {

enum class ChartFormat { None, Png, Pdf };

// From the ending of the path (".png", ".pdf", in any case); None for any other.
ChartFormat chartFormatOf(const std::string& path);

inline constexpr int kChartPictureWidth = 1200;
inline constexpr int kChartPictureHeight = 600;

// False with the reason in `error`; the file at `path` is then as it was.
bool writeDepthChartFile(const std::string& path, std::span<const data::MeasurePoint> points, const QString& title,
                         std::string& error);

}  // namespace fendal::analysis
