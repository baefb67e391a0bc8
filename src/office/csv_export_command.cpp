#include "office/csv_export_command.h"

#include <filesystem>

#include "data/app_strings.h"
#include "data/fendal_doc.h"
#include "office/point_csv.h"
#include "platform/file_path.h"
#include "platform/text.h"

namespace fendal::office {

namespace {

// The first file's own name with .csv: the folder the user works in and a name they know.
std::string startPath(const data::FileGroup& group) {
    for (const data::CrackDataFile& file : group.files) {
        if (file.path.empty()) continue;
        return platform::filePath(file.path).replace_extension(".csv").string();
    }
    return {};
}

// Writing over one of the group's own files would throw its points away unasked: the group
// in memory is not modified, so nothing would prompt to save it again.
bool isFileOfTheGroup(const data::FileGroup& group, const std::string& path) {
    for (const data::CrackDataFile& file : group.files) {
        std::error_code ec;
        if (!file.path.empty() &&
            std::filesystem::equivalent(platform::filePath(file.path), platform::filePath(path), ec))
            return true;
    }
    return false;
}

std::string reasonOf(const data::FileGroup& group, const CsvExportFailure& failure) {
    if (!failure.text.field) return failure.error.message();
    const std::string& path = group.files[failure.text.file].path;
    const std::string file = path.empty() ? platform::text::format("第%d个文件", failure.text.file + 1)
                                          : "文件“" + platform::text::displayPath(path) + "”";
    return platform::text::format("%s的第%d个测点的%s不是有效的GBK文字", file.c_str(), failure.text.point + 1,
                                  failure.text.field);
}

}  // namespace

void exportCsv(data::CFendalDoc& doc) {
    data::FileDialogOptions options;
    options.title = "导出CSV";
    options.defaultExt = "csv";
    options.filter = kCsvFilter;
    options.hideReadOnly = true;
    options.overwritePrompt = true;
    options.startPath = startPath(doc.group);
    const std::optional<std::string> path = doc.ui().chooseSaveFile(options);
    if (!path) return;
    std::string reason;
    CsvExportFailure failure;
    if (isFileOfTheGroup(doc.group, *path))
        reason = "它是打开的测深数据文件之一";
    else if (!writeGroupCsv(doc.group, *path, failure))
        reason = reasonOf(doc.group, failure);
    else
        return;
    doc.ui().messageBox(
        platform::text::format("无法导出CSV文件“%s”:\n%s", platform::text::displayPath(*path).c_str(), reason.c_str()),
        data::kAppTitle, data::MsgButtons::Ok, data::MsgIcon::Warning);
}

}  // namespace fendal::office
