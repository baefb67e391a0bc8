#pragma once
// File dialog filters: the program's filters come in the Windows form "name|pattern|...||";
// Qt's file dialog wants one "name (pattern pattern)" entry per type.
#include <string>
#include <vector>

namespace fendal::app {

std::vector<std::string> nameFiltersFromWindowsFilter(const std::string& filter);

}  // namespace fendal::app
