#pragma once
// The spreadsheet table as an .xlsx workbook.
#include <string>

#include "office/report_content.h"

namespace fendal::office {

// Writes the sheet to `path`, every value as text. On failure returns false with the reason
// in `error`, and no file is left at `path`.
bool writeXlsx(const SheetReport& sheet, const std::string& path, std::string& error);

}  // namespace fendal::office
