#include "app/file_filter.h"

#include <algorithm>

namespace fendal::app {

namespace {

std::vector<std::string> splitBars(const std::string& filter) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        auto bar = filter.find('|', start);
        if (bar == std::string::npos) {
            parts.push_back(filter.substr(start));
            return parts;
        }
        parts.push_back(filter.substr(start, bar - start));
        start = bar + 1;
    }
}

bool endsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

std::vector<std::string> nameFiltersFromWindowsFilter(const std::string& filter) {
    auto parts = splitBars(filter);
    std::vector<std::string> result;
    // Pairs of name and pattern; the list ends at the first empty name (the "||").
    for (std::size_t i = 0; i + 1 < parts.size() && !parts[i].empty(); i += 2) {
        std::string patterns = parts[i + 1];
        std::replace(patterns.begin(), patterns.end(), ';', ' ');
        if (patterns.empty()) continue;
        const std::string& name = parts[i];
        // Qt reads the patterns from the last bracket pair of the entry; when the name already
        // ends with them, showing them twice would only clutter the list.
        if (endsWith(name, "(" + patterns + ")"))
            result.push_back(name);
        else
            result.push_back(name + " (" + patterns + ")");
    }
    return result;
}

}  // namespace fendal::app
