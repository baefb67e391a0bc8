#pragma once
// What the word-processor report and the spreadsheet table hold, built from the group.
// All texts are UTF-8; the writers only lay them out.
#include <array>
#include <string>
#include <vector>

#include "data/file_group.h"

namespace fendal::office {

inline constexpr char kReportTitle[] = "Tesmar科技缝深检测分析软件处理结果";
inline constexpr char kSheetName[] = "Tesmar科技缝深检测分析软件检测报表";

struct ReportFont {
    std::string name;
    double points;
};

using ReportRow = std::array<std::string, 5>;

// One file of the report: its path line and its table (head row first, then one row per point).
struct ReportSection {
    std::string pathLine;
    std::vector<ReportRow> rows;
};

struct WordReport {
    std::string title = kReportTitle;
    ReportFont titleFont{"黑体", 15.0};
    ReportFont bodyFont{"宋体", 12.0};
    double columnWidth = 80.0;  // points
    std::vector<ReportSection> sections;
};

// One sheet row; rows[i] is sheet row i + 1. A merged row spans columns 1..5.
struct SheetRow {
    std::vector<std::string> cells;
    bool mergedAcross = false;
};

struct SheetReport {
    std::string sheetName = kSheetName;
    std::vector<SheetRow> rows;
};

// "文件路径:%s(数据个数%d)" with the path and the count as received from the instrument.
std::string reportPathLine(const data::CrackDataFile& file);

WordReport buildWordReport(const data::FileGroup& group);
SheetReport buildSheetReport(const data::FileGroup& group);

}  // namespace fendal::office
