#pragma once
// Where a report file goes.
#include <string>

namespace fendal::office {

// "<folder>/<stem><extension>", or "<stem> (2)", "(3)", ... when that name is taken, so an
// earlier report is never overwritten.
std::string uniqueReportPath(const std::string& folder, const std::string& stem, const std::string& extension);

}  // namespace fendal::office
