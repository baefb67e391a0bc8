#include "office/report_content.h"

#include "platform/text.h"

namespace fendal::office {

namespace {

ReportRow pointRow(int ordinal, const data::MeasurePoint& point) {
    return {platform::text::format("%d", ordinal), platform::text::gbkToUtf8(platform::text::fieldText(point.number)),
            platform::text::format("%d", point.velocity), platform::text::format("%d", point.depth),
            platform::text::gbkToUtf8(platform::text::fieldText(point.note))};
}

}  // namespace

std::string reportPathLine(const data::CrackDataFile& file) {
    return platform::text::format("文件路径:%s(数据个数%d)", platform::text::displayPath(file.path).c_str(),
                                  file.receivedCount());
}

WordReport buildWordReport(const data::FileGroup& group) {
    WordReport report;
    for (const data::CrackDataFile& file : group.files) {
        ReportSection section;
        section.pathLine = reportPathLine(file);
        section.rows.reserve(file.points.size() + 1);
        section.rows.push_back({"序 号", "编 号", "声速(m/s)", "深度(mm)", "备  注"});
        for (std::size_t k = 0; k < file.points.size(); ++k)
            section.rows.push_back(pointRow(static_cast<int>(k) + 1, file.points[k]));
        report.sections.push_back(std::move(section));
    }
    return report;
}

SheetReport buildSheetReport(const data::FileGroup& group) {
    SheetReport sheet;
    for (const data::CrackDataFile& file : group.files) {
        sheet.rows.push_back({{reportPathLine(file)}, true});
        sheet.rows.push_back({{"序号", "编号", "声速(m/s)", "深度(mm)", "备注"}, false});
        for (std::size_t k = 0; k < file.points.size(); ++k) {
            const ReportRow row = pointRow(static_cast<int>(k) + 1, file.points[k]);
            sheet.rows.push_back({{row.begin(), row.end()}, false});
        }
    }
    return sheet;
}

}  // namespace fendal::office
