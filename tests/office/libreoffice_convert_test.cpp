// An office program opens both reports: LibreOffice converts them to PDF headless, and the
// PDF holds the report's texts. Skipped where LibreOffice is not installed.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "office/docx_writer.h"
#include "office/report_content.h"
#include "office/xlsx_writer.h"
#include "support/sample_points.h"
#include "support/temp_folder.h"

using namespace fendal;
using namespace fendal::data;
using namespace fendal::office;

namespace {

bool onPath(const char* program) {
    return std::system((std::string("command -v ") + program + " >/dev/null 2>&1").c_str()) == 0;
}

std::string pdfText(const std::string& pdf) {
    std::string out;
    FILE* pipe = popen(("pdftotext -enc UTF-8 '" + pdf + "' - 2>/dev/null").c_str(), "r");
    if (!pipe) return out;
    // The office program spaces Latin from Chinese text on the page; compare without spaces.
    for (int c; (c = std::fgetc(pipe)) != EOF;)
        if (c != ' ') out += static_cast<char>(c);
    pclose(pipe);
    return out;
}

TEST(LibreOfficeConvert, BothReportsConvertToPdf) {
    if (!onPath("soffice")) GTEST_SKIP() << "LibreOffice is not installed";
    TempFolder folder;
    FileGroup group;
    group.files.push_back(sampleFile(3, "/data/桥墩A.fsy"));
    group.files.push_back(sampleFile(2, "/data/b.fsy", 10));
    platform::text::setField(group.files[0].points[0].note, *platform::text::utf8ToGbk("斜缝"));
    platform::text::setField(group.files[1].points[0].note, "_x0041_");  // not the letter A
    std::string error;
    ASSERT_TRUE(writeDocx(buildWordReport(group), folder.file("report.docx"), error)) << error;
    ASSERT_TRUE(writeXlsx(buildSheetReport(group), folder.file("table.xlsx"), error)) << error;

    // A profile of its own, so a running office program of the user is neither used nor disturbed.
    const std::string command = "cd '" + folder.path().string() +
                                "' && soffice --headless --norestore "
                                "-env:UserInstallation=file://" +
                                folder.file("profile") +
                                " --convert-to pdf --outdir out report.docx table.xlsx >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);

    const std::string report = pdfText(folder.file("out/report.pdf"));
    EXPECT_NE(report.find("Tesmar科技缝深检测分析软件处理结果"), std::string::npos) << report;
    EXPECT_NE(report.find("文件路径:/data/桥墩A.fsy(数据个数3)"), std::string::npos) << report;
    EXPECT_NE(report.find("斜缝"), std::string::npos) << report;
    const std::string table = pdfText(folder.file("out/table.pdf"));
    EXPECT_NE(table.find("文件路径:/data/b.fsy(数据个数2)"), std::string::npos) << table;
    EXPECT_NE(table.find("3011"), std::string::npos) << table;
    EXPECT_NE(table.find("_x0041_"), std::string::npos) << table;
}

}  // namespace
