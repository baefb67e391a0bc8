#pragma once
// Paints a laid-out depth chart: axes, bars, the current point's bar, the mean line and their
// texts. Sizes are in the painter's logical units, the layout's own.
#include <QString>

#include "analysis/depth_chart_layout.h"

class QPainter;
class PdfTextRecorder;

// title: drawn above the bars when not empty. recorder: keeps the texts drawn into a PDF.
void paintDepthChart(QPainter& painter, const DepthChartLayout& layout, const QString& title,
                     PdfTextRecorder* recorder = nullptr);

inline constexpr char kChartNoPoints[] = "无测点";
