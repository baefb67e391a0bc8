#pragma once
// The word-processor report as a .docx file (WordprocessingML in a zip package).
#include <string>

#include "office/report_content.h"

namespace fendal::office {

// Writes the report to `path`. On failure returns false with the reason in `error`,
// and no file is left at `path`.
bool writeDocx(const WordReport& report, const std::string& path, std::string& error);

}  // namespace fendal::office
