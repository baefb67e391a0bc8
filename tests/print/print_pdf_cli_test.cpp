// fendal-cli print-pdf end to end: a generated group printed to PDF and read back as text.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "data/crack_file_io.h"
#include "print/pdf_reading.h"
#include "print/settings_files.h"
#include "support/sample_points.h"
#include "support/temp_folder.h"

using namespace fendal;
using namespace fendal::data;
using namespace fendal::print;

namespace {

// Point rows of sample files carry the note "note <index>".
int rowsOn(const std::string& page) { return count(page, "note "); }

class PrintPdfCli : public testing::Test {
protected:
    void SetUp() override {
        removeSettingsFiles();
        CrackDataFile first = sampleFile(85, folder.file("first.fsy"));
        CrackDataFile second = sampleFile(3, folder.file("second.fsy"), 500);
        ASSERT_TRUE(writeCrackFile(first));
        ASSERT_TRUE(writeCrackFile(second));
        settings = dialogDefaultSettings();
        settings.headerText = "ACME HEAD";
        settings.footerText = "ACME FOOT";
        settings.printFooter = 1;
        settings.pageNumberFormat = kPageNumberChinese;
        settings.pageNumberPosition = kBottomRight;
        settings.startPage = 3;
    }
    void TearDown() override { removeSettingsFiles(); }

    std::string printPdf(const std::string& extra) {
        const std::string out = folder.file("out.pdf");
        EXPECT_EQ(run(quote(binDir() + "/fendal-cli") + " print-pdf " + quote(folder.file("first.fsy")) + " " +
                      quote(folder.file("second.fsy")) + " -o " + quote(out) + extra),
                  0);
        return out;
    }

    TempFolder folder;
    PrintSettings settings;
};

TEST_F(PrintPdfCli, GroupPrintsPagesWithTitleHeadsRowsAndBands) {
    writeSettingsAt(0, settings);  // as the program finds it in its temporary folder
    const std::string pdf = printPdf("");
    if (const char* dir = std::getenv("FENDAL_PRINT_GRAB"))
        std::filesystem::copy_file(pdf, std::string(dir) + "/print_group.pdf",
                                   std::filesystem::copy_options::overwrite_existing);
    const auto pages = pdfPages(pdf);
    ASSERT_EQ(pages.size(), 3u);

    EXPECT_EQ(count(pages[0], "Tesmar科技缝深检测分析软件处理结果"), 1);
    EXPECT_EQ(count(pages[1] + pages[2], "Tesmar科技缝深检测分析软件处理结果"), 0);
    EXPECT_EQ(count(pages[0], "文件路径：" + folder.file("first.fsy") + "(数据个数85)"), 1);
    EXPECT_EQ(count(pages[2], "文件路径：" + folder.file("second.fsy") + "(数据个数3)"), 1);
    for (const char* head : {"声速(m/s)", "深度(mm)"}) {
        EXPECT_EQ(count(pages[0], head), 1) << head;
        EXPECT_EQ(count(pages[1], head), 0) << head;
        EXPECT_EQ(count(pages[2], head), 1) << head;
    }

    EXPECT_EQ(rowsOn(pages[0]), 38);
    EXPECT_EQ(rowsOn(pages[1]), 42);
    EXPECT_EQ(rowsOn(pages[2]), 5 + 3);
    EXPECT_NE(pages[0].find("0038"), std::string::npos);
    EXPECT_NE(pages[1].find("note 38\n"), std::string::npos);
    EXPECT_NE(pages[2].find("note 502\n"), std::string::npos);

    for (int p = 0; p < 3; ++p) {
        EXPECT_EQ(count(pages[p], "ACME HEAD"), 1) << p;
        EXPECT_EQ(count(pages[p], "ACME FOOT"), 1) << p;
        EXPECT_EQ(count(pages[p], "第" + std::to_string(3 + p) + "页"), 1) << p;
    }
}

TEST_F(PrintPdfCli, SettingsFileGivenOnTheCommandLineWins) {
    const std::string path = folder.file("settings.ini");
    writeSettingsAt(0, settings);
    std::filesystem::rename(printSettingsPath(0), path);
    const auto pages = pdfPages(printPdf(" --settings " + quote(path)));
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(count(pages[1], "ACME FOOT"), 1);
    EXPECT_EQ(count(pages[1], "第4页"), 1);
}

TEST_F(PrintPdfCli, WithoutSettingsFileTheViewDefaultsApply) {
    const auto pages = pdfPages(printPdf(""));
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(count(pages[1], "--2--"), 1);
    EXPECT_EQ(count(pages[1], "ACME"), 0);
}

TEST_F(PrintPdfCli, BadInputIsReportedAndNoPdfClaimed) {
    const std::string cli = quote(binDir() + "/fendal-cli") + " print-pdf ";
    EXPECT_NE(run(cli + quote(folder.file("missing.fsy")) + " -o " + quote(folder.file("x.pdf"))), 0);
    EXPECT_NE(run(cli + quote(folder.file("first.fsy"))), 0);  // no output named
    EXPECT_NE(run(cli + quote(folder.file("first.fsy")) + " -o " + quote(folder.file("x.pdf")) + " --settings " +
                  quote(folder.file("first.fsy"))),
              0);  // not a settings file
    EXPECT_NE(run(cli + quote(folder.file("first.fsy")) + " -o " + quote(folder.file("no/such/dir/x.pdf"))), 0);
    // The output named as one of the inputs: refused, and the file keeps its points.
    EXPECT_NE(run(cli + quote(folder.file("first.fsy")) + " -o " + quote(folder.file("first.fsy"))), 0);
    CrackDataFile kept;
    ASSERT_TRUE(readCrackFile(folder.file("first.fsy"), kept));
    EXPECT_EQ(kept.pointCount(), 85);
}

TEST_F(PrintPdfCli, OutputIsWholeOrRefusedWhateverStandsAtItsPath) {
    const std::string cli = quote(binDir() + "/fendal-cli") + " print-pdf " + quote(folder.file("first.fsy")) + " -o ";
    // A FIFO at the output path is refused instead of blocking the run.
    const std::string fifo = folder.file("fifo.pdf");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int status = run("timeout 60 " + cli + quote(fifo));
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_NE(WEXITSTATUS(status), 124) << "the run blocked on the FIFO";
    EXPECT_NE(WEXITSTATUS(status), 0);
    // Two runs writing the same file at once each leave one whole PDF.
    const std::string shared = folder.file("shared.pdf");
    EXPECT_EQ(run("(" + cli + quote(shared) + " & " + cli + quote(shared) + " & wait)"), 0);
    EXPECT_EQ(pdfPages(shared).size(), 3u);
}

}  // namespace
