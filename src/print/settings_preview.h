#pragma once
// The settings dialog's miniature page: bands, title, a sample path line and a sample table,
// in the frame's pixels (y growing downwards). A page number that OK would refuse because it
// collides with the band text is drawn in red.
#include "print/print_canvas.h"
#include "print/print_settings.h"

namespace fendal::print {

inline constexpr char kPreviewSamplePath[] = "文件路径:C:\\111.fsy(测点个数10)";

void drawSettingsPreview(PrintCanvas& canvas, const PrintSettings& settings, const CanvasRect& frame);

}  // namespace fendal::print
