// The reports as files, read back by independent readers and checked cell by cell.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>

#include "data/crack_file_io.h"
#include "office/docx_writer.h"
#include "office/report_content.h"
#include "office/xlsx_writer.h"
#include "report_reader.h"
#include "support/sample_points.h"
#include "support/temp_folder.h"

using namespace fendal;
using namespace fendal::data;
using namespace fendal::office;

namespace {

using report_reader::line;
using Row = std::array<std::string, 5>;

struct ExpectedFile {
    std::string path;
    int received;
    std::vector<Row> points;
};

Row sampleRow(int ordinal, int i) {
    return {std::to_string(ordinal), platform::text::format("%04d", i + 1), std::to_string(3000 + i),
            std::to_string(100 + i), platform::text::format("note %d", i)};
}

ExpectedFile expectedSample(int n, const std::string& path, int first = 0) {
    ExpectedFile f{path, n, {}};
    for (int k = 0; k < n; ++k) f.points.push_back(sampleRow(k + 1, first + k));
    return f;
}

std::string pathLine(const ExpectedFile& f) {
    return "文件路径:" + f.path + "(数据个数" + std::to_string(f.received) + ")";
}

std::vector<std::string> expectedDocx(const std::vector<ExpectedFile>& files) {
    std::vector<std::string> out = {
        line({"P", "CENTER (1)", "黑体", "黑体", "15.0", "Tesmar科技缝深检测分析软件处理结果"})};
    for (const auto& f : files) {
        out.push_back(line({"P", "JUSTIFY (3)", "宋体", "宋体", "12.0", pathLine(f)}));
        out.push_back(line(
            {"T", std::to_string(f.points.size() + 1), "5", "CENTER (1)", "80.0", "80.0", "80.0", "80.0", "80.0"}));
        out.push_back(line({"R", "序 号", "编 号", "声速(m/s)", "深度(mm)", "备  注"}));
        for (const Row& r : f.points) out.push_back(line({"R", r[0], r[1], r[2], r[3], r[4]}));
    }
    out.push_back(line({"P", "CENTER (1)", "", "", "", ""}));
    return out;
}

std::vector<std::string> expectedXlsx(const std::vector<ExpectedFile>& files) {
    std::vector<std::string> merges;
    std::vector<std::string> cells;
    int r = 1;
    auto cellRow = [&](int row, const std::vector<std::string>& values) {
        for (std::size_t c = 0; c < values.size(); ++c)
            if (!values[c].empty())
                cells.push_back(line({"C", std::to_string(row), std::to_string(c + 1), "s", values[c]}));
    };
    for (const auto& f : files) {
        merges.push_back("A" + std::to_string(r) + ":E" + std::to_string(r));
        cellRow(r++, {pathLine(f)});
        cellRow(r++, {"序号", "编号", "声速(m/s)", "深度(mm)", "备注"});
        for (const Row& p : f.points) cellRow(r++, {p.begin(), p.end()});
    }
    std::sort(merges.begin(), merges.end());
    merges.insert(merges.begin(), "M");
    std::vector<std::string> out = {line({"S", "Tesmar科技缝深检测分析软件检测报表"}), line(merges)};
    out.insert(out.end(), cells.begin(), cells.end());
    return out;
}

class ReportFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!report_reader::available()) GTEST_SKIP() << "python3 with python3-docx and python3-openpyxl is needed";
    }

    // Writes both reports of the group and compares what the readers find.
    void checkBoth(const FileGroup& group, const std::vector<ExpectedFile>& expected) {
        std::string error;
        const std::string docx = folder.file("report.docx");
        const std::string xlsx = folder.file("report.xlsx");
        ASSERT_TRUE(writeDocx(buildWordReport(group), docx, error)) << error;
        ASSERT_TRUE(writeXlsx(buildSheetReport(group), xlsx, error)) << error;
        EXPECT_EQ(report_reader::read("docx", docx), expectedDocx(expected));
        EXPECT_EQ(report_reader::read("xlsx", xlsx), expectedXlsx(expected));
    }

    TempFolder folder;
};

TEST_F(ReportFilesTest, FileWithoutPointsGivesPathLineAndHeadRowOnly) {
    FileGroup group;
    group.files.push_back(sampleFile(0, "/数据/空.fsy"));
    checkBoth(group, {expectedSample(0, "/数据/空.fsy")});
}

TEST_F(ReportFilesTest, TwoFilesFollowEachOtherUnderOneTitle) {
    FileGroup group;
    group.files.push_back(sampleFile(3, "/data/桥墩A.fsy"));
    group.files.push_back(sampleFile(2, "/data/b.fsy", 10));
    checkBoth(group, {expectedSample(3, "/data/桥墩A.fsy"), expectedSample(2, "/data/b.fsy", 10)});
}

TEST_F(ReportFilesTest, CountIsTheReceivedOneAfterEdits) {
    CrackDataFile edited = sampleFile(4, "/data/edited.fsy");
    edited.points.erase(edited.points.begin() + 1);  // deleted one
    edited.points.push_back(samplePoint(7));         // added two
    edited.points.push_back(MeasurePoint{});         // a new, empty point
    FileGroup group;
    group.files.push_back(edited);

    ExpectedFile f{"/data/edited.fsy", 4, {sampleRow(1, 0), sampleRow(2, 2), sampleRow(3, 3), sampleRow(4, 7)}};
    f.points.push_back({"5", "", "0", "0", ""});
    checkBoth(group, {f});
}

TEST_F(ReportFilesTest, TextsFromTheFileAreCarriedLiterally) {
    CrackDataFile file = sampleFile(1, "/data/a&b <c>.fsy");
    platform::text::setField(file.points[0].number, *platform::text::utf8ToGbk("甲\"1\""));
    platform::text::setField(file.points[0].note, *platform::text::utf8ToGbk("缝宽<0.2 & 渗水"));
    FileGroup group;
    group.files.push_back(file);

    ExpectedFile f{"/data/a&b <c>.fsy", 1, {{"1", "甲\"1\"", "3000", "100", "缝宽<0.2 & 渗水"}}};
    checkBoth(group, {f});
}

// A spreadsheet program reads "_xHHHH_" in a cell text as the character HHHH; texts that look
// like that must come back as they were.
TEST_F(ReportFilesTest, SheetTextsThatLookLikeEscapesComeBackLiterally) {
    CrackDataFile file = sampleFile(3, "/data/_x0042_.fsy");
    platform::text::setField(file.points[0].note, "_x0041_");
    platform::text::setField(file.points[1].note, "_x12_ _x004G_");  // no escapes: left alone
    platform::text::setField(file.points[2].note, "a_x0001_b_X00e9_");
    FileGroup group;
    group.files.push_back(file);
    ExpectedFile f = expectedSample(3, "/data/_x0042_.fsy");
    f.points[0][4] = "_x0041_";
    f.points[1][4] = "_x12_ _x004G_";
    f.points[2][4] = "a_x0001_b_X00e9_";
    std::string error;
    const std::string xlsx = folder.file("escapes.xlsx");
    ASSERT_TRUE(writeXlsx(buildSheetReport(group), xlsx, error)) << error;
    EXPECT_EQ(report_reader::read("xlsx", xlsx), expectedXlsx({f}));

    std::string strings;
    FILE* pipe = popen(("/usr/bin/python3 -c \"import sys, zipfile; "
                        "sys.stdout.write(zipfile.ZipFile(sys.argv[1]).read('xl/sharedStrings.xml').decode())\" '" +
                        xlsx + "'")
                           .c_str(),
                       "r");
    ASSERT_TRUE(pipe);
    for (int c; (c = std::fgetc(pipe)) != EOF;) strings += static_cast<char>(c);
    pclose(pipe);
    for (const char* stored : {"<t>_x005F_x0041_</t>", "<t>_x12_ _x004G_</t>", "<t>a_x005F_x0001_b_x005F_X00e9_</t>"})
        EXPECT_NE(strings.find(stored), std::string::npos) << stored << " in " << strings;
}

TEST_F(ReportFilesTest, ControlCharactersInANoteDoNotBreakTheDocument) {
    CrackDataFile file = sampleFile(1, "/data/a.fsy");
    platform::text::setField(file.points[0].note, std::string("a\x01\x1f"
                                                              "b"));
    FileGroup group;
    group.files.push_back(file);
    std::string error;
    const std::string docx = folder.file("control.docx");
    ASSERT_TRUE(writeDocx(buildWordReport(group), docx, error)) << error;
    const auto lines = report_reader::read("docx", docx);
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[4], line({"R", "1", "0001", "3000", "100", "ab"}));
}

TEST_F(ReportFilesTest, UnwritableTargetIsReportedAndOlderFileKept) {
    FileGroup group;
    group.files.push_back(sampleFile(2, "/data/a.fsy"));
    std::string error;
    EXPECT_FALSE(writeDocx(buildWordReport(group), folder.file("missing/report.docx"), error));
    EXPECT_FALSE(error.empty());
    error.clear();
    EXPECT_FALSE(writeXlsx(buildSheetReport(group), folder.file("missing/report.xlsx"), error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(std::filesystem::exists(folder.file("missing")));
}

// fendal-cli reads the crack data files and writes either report.
class ReportCliTest : public ReportFilesTest {
protected:
    int cli(const std::string& args) {
        const char* bin = std::getenv("FENDAL_BIN_DIR");
        const std::string cmd = std::string(bin ? bin : ".") + "/fendal-cli report " + args + " 2>/dev/null";
        const int status = std::system(cmd.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string saved(CrackDataFile file, const std::string& name) {
        file.path = folder.file(name);
        EXPECT_TRUE(writeCrackFile(file));
        return file.path;
    }
};

TEST_F(ReportCliTest, WritesBothReportsOfTheNamedFiles) {
    const std::string a = saved(sampleFile(3), "a.fsy");
    const std::string b = saved(sampleFile(2, {}, 10), "b.fsy");
    const std::vector<ExpectedFile> expected = {expectedSample(3, a), expectedSample(2, b, 10)};

    ASSERT_EQ(cli("--xlsx " + a + " " + b + " -o " + folder.file("out.xlsx")), 0);
    EXPECT_EQ(report_reader::read("xlsx", folder.file("out.xlsx")), expectedXlsx(expected));
    ASSERT_EQ(cli("--docx " + a + " " + b + " -o " + folder.file("out.docx")), 0);
    EXPECT_EQ(report_reader::read("docx", folder.file("out.docx")), expectedDocx(expected));
}

// Paths are bytes: a GBK name copied from Windows, or bytes that are no text at all, still
// give reports that open, with the name shown losslessly.
TEST_F(ReportCliTest, FileNamesThatAreNotUtf8GiveValidReports) {
    const std::string gbk = saved(sampleFile(1), "\xC1\xD1\xB7\xEC.fsy");  // 裂缝.fsy
    const std::string raw = saved(sampleFile(1), "\xFF\xFE.fsy");
    ExpectedFile a = expectedSample(1, folder.file("裂缝.fsy"));
    ExpectedFile b = expectedSample(1, folder.file("\\xFF\\xFE.fsy"));
    ASSERT_EQ(cli("--docx '" + gbk + "' '" + raw + "' -o " + folder.file("out.docx")), 0);
    EXPECT_EQ(report_reader::read("docx", folder.file("out.docx")), expectedDocx({a, b}));
    ASSERT_EQ(cli("--xlsx '" + gbk + "' '" + raw + "' -o " + folder.file("out.xlsx")), 0);
    EXPECT_EQ(report_reader::read("xlsx", folder.file("out.xlsx")), expectedXlsx({a, b}));
}

TEST_F(ReportCliTest, OutputThatIsOneOfTheInputsIsRefused) {
    const std::string a = saved(sampleFile(2), "a.fsy");
    const auto before = TempFolder::readAll(a);
    std::filesystem::create_symlink(a, folder.file("link.docx"));
    EXPECT_EQ(cli("--docx " + a + " -o " + a), 1);
    EXPECT_EQ(cli("--xlsx " + a + " -o " + folder.file("link.docx")), 1);
    EXPECT_EQ(TempFolder::readAll(a), before);
}

TEST_F(ReportCliTest, RefusesMissingInputsAndBadArguments) {
    const std::string a = saved(sampleFile(1), "a.fsy");
    EXPECT_EQ(cli("--docx " + a + " " + folder.file("none.fsy") + " -o " + folder.file("out.docx")), 1);
    EXPECT_FALSE(std::filesystem::exists(folder.file("out.docx")));
    EXPECT_EQ(cli("--docx " + a), 2);
    EXPECT_EQ(cli("--docx --xlsx " + a + " -o " + folder.file("out.docx")), 2);
    EXPECT_EQ(cli(a + " -o " + folder.file("out.docx")), 2);
}

}  // namespace
