// libFuzzer target: the CSV of points. Any input is taken whole or refused with a line it has;
// what is taken writes out and reads back point for point.
#include <algorithm>
#include <cstring>
#include <string>

#include "office/csv_table.h"
#include "office/point_csv.h"

using namespace fendal;
using namespace fendal::data;
using namespace fendal::office;

namespace {

bool check(const std::string& text) {
    csv::Reader reader = csv::Reader::fromText(text);
    CsvPoints points;
    CsvRefusal refusal;
    if (!csvToPoints(reader, points, refusal)) {
        const int lines = 1 + static_cast<int>(std::count(text.begin(), text.end(), '\n'));
        return points.points.empty() && refusal.line >= 1 && refusal.line <= lines && !refusal.reason.empty();
    }
    FileGroup group;
    group.files.emplace_back().points = points.points;
    std::string again;
    CsvTextFault fault;
    if (!groupToCsv(group, again, fault)) return false;
    csv::Reader back = csv::Reader::fromText(again);
    CsvPoints twice;
    if (!csvToPoints(back, twice, refusal) || twice.points.size() != points.points.size()) return false;
    return twice.points.empty() ||
           std::memcmp(twice.points.data(), points.points.data(), points.points.size() * sizeof(MeasurePoint)) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (!check(std::string(reinterpret_cast<const char*>(data), size))) __builtin_trap();
    return 0;
}
