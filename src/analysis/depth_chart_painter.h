#pragma once
// Paints a laid-out depth chart: axes, bars, the current point's bar, the mean line and their
// texts. Sizes are in the painter's logical units, the layout's own.
#include <QString>

#include "analysis/depth_chart_layout.h"

class QPainter;
namespace fendal::print {
class PdfTextRecorder;
}

namespace fendal::analysis {

inline constexpr char kChartNoPoints[] = "无测点";

// title: drawn above the bars when not empty; emptyText: in place of the bars when there are
// none (empty: kChartNoPoints). recorder: keeps the texts drawn into a PDF.
void paintDepthChart(QPainter& painter, const DepthChartLayout& layout, const QString& title,
                     const QString& emptyText = {}, print::PdfTextRecorder* recorder = nullptr);

}  // namespace fendal::analysis
