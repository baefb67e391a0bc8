#pragma once
// Where a report file goes.
#include <string>

// "<folder>/<stem><extension>", or "<stem> (2)", "(3)", ... when that name is taken, so an
// earlier report is never overwritten.

namespace fendal::office {

std::string uniqueReportPath(const std::string& folder, const std::string& stem, const std::string& extension);

}  // namespace fendal::office
