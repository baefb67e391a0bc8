// fendal-cli stats and chart on real files, as a user runs them.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QImage>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "data/crack_file_io.h"
#include "print/pdf_reading.h"
#include "support/sample_points.h"
#include "support/temp_folder.h"

using namespace fendal;
using namespace fendal::data;

namespace {

std::string cli() { return quote(binDir() + "/fendal-cli"); }

// The command's standard output; its exit code in `rc`.
std::string output(const std::string& command, int& rc) {
    std::string out;
    FILE* pipe = ::popen((command + " 2>/dev/null").c_str(), "r");
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    rc = WEXITSTATUS(::pclose(pipe));
    return out;
}

class ChartCli : public testing::Test {
protected:
    std::string write(const std::string& name, int points) {
        CrackDataFile f = sampleFile(points, folder.file(name));
        EXPECT_TRUE(writeCrackFile(f));
        return f.path;
    }
    TempFolder folder;
};

TEST_F(ChartCli, StatsOfAGroupWithEmptyAndMissingFiles) {
    // Sample points: velocity 3000 + i, depth 100 + i; for i = 0..3: mean +1.5, spread sqrt(1.25).
    const std::string four = write("four.fsy", 4);
    const std::string empty = write("empty.fsy", 0);
    int rc = 0;
    const auto json = nlohmann::json::parse(
        output(cli() + " stats " + quote(four) + " " + quote(empty) + " " + quote(folder.file("gone.fsy")), rc));
    EXPECT_EQ(rc, 1);  // the missing file is reported, as info reports it
    ASSERT_EQ(json["files"].size(), 3u);
    const auto& f = json["files"][0];
    EXPECT_EQ(f["path"], four);
    EXPECT_EQ(f["pointCount"], 4);
    EXPECT_EQ(f["velocity"]["min"], 3000);
    EXPECT_EQ(f["velocity"]["max"], 3003);
    EXPECT_DOUBLE_EQ(f["velocity"]["mean"].get<double>(), 3001.5);
    EXPECT_DOUBLE_EQ(f["depth"]["mean"].get<double>(), 101.5);
    EXPECT_NEAR(f["depth"]["populationStdDev"].get<double>(), 1.118033988, 1e-9);
    for (int i : {1, 2}) {
        EXPECT_EQ(json["files"][i]["pointCount"], 0);
        EXPECT_TRUE(json["files"][i]["velocity"].is_null());
        EXPECT_TRUE(json["files"][i]["depth"].is_null());
    }
    EXPECT_EQ(json["files"][2]["path"], "");

    output(cli() + " stats " + quote(four), rc);
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(run(cli() + " stats"), 2 << 8);
    EXPECT_EQ(run(cli() + " stats --help"), 0);
}

TEST_F(ChartCli, ChartAsPngAndAsOnePdfPage) {
    const std::string file = write("big.fsy", 99999);
    const std::string png = folder.file("chart.png");
    ASSERT_EQ(run(cli() + " chart " + quote(file) + " -o " + quote(png)), 0);
    const QImage image(QString::fromStdString(png));
    EXPECT_EQ(image.size(), QSize(1200, 600));

    const std::string pdf = folder.file("chart.pdf");
    ASSERT_EQ(run(cli() + " chart " + quote(file) + " -o " + quote(pdf)), 0);
    const auto pages = pdfPages(pdf);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_NE(pages[0].find("裂缝深度图"), std::string::npos);
    EXPECT_NE(pages[0].find("big.fsy"), std::string::npos);
    EXPECT_NE(pages[0].find("缝深(mm)"), std::string::npos);
    EXPECT_NE(pages[0].find("平均 50099.0"), std::string::npos);  // 100 + (99999 - 1) / 2
    EXPECT_NE(pages[0].find("90000"), std::string::npos);         // round point numbers
}

TEST_F(ChartCli, ChartRefusesWhatItCannotWrite) {
    const std::string file = write("one.fsy", 1);
    const std::string txt = folder.file("chart.txt");
    EXPECT_EQ(run(cli() + " chart " + quote(file) + " -o " + quote(txt)), 2 << 8);
    EXPECT_FALSE(std::filesystem::exists(txt));
    EXPECT_EQ(run(cli() + " chart " + quote(file)), 2 << 8);
    EXPECT_EQ(run(cli() + " chart --help"), 0);

    // A missing input fails and leaves the target as it was.
    const std::string png = folder.file("chart.png");
    { std::ofstream(png) << "old"; }
    EXPECT_NE(run(cli() + " chart " + quote(folder.file("gone.fsy")) + " -o " + quote(png)), 0);
    std::stringstream kept;
    kept << std::ifstream(png).rdbuf();
    EXPECT_TRUE(kept.str() == "old");
}

TEST_F(ChartCli, TwoChartsOfOneTargetAtOnceLeaveOneWholePicture) {
    const std::string small = write("small.fsy", 5);
    const std::string big = write("big.fsy", 20000);
    const std::string png = folder.file("chart.png");
    for (int round = 0; round < 3; ++round) {
        ASSERT_EQ(run("sh -c \"" + cli() + " chart " + quote(small) + " -o " + quote(png) + " & " + cli() + " chart " +
                      quote(big) + " -o " + quote(png) + " & wait\""),
                  0);
        EXPECT_EQ(QImage(QString::fromStdString(png)).size(), QSize(1200, 600)) << round;
    }
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder.file(""))) files += entry.is_regular_file();
    EXPECT_EQ(files, 3u);  // no scratch file left behind
}

TEST_F(ChartCli, AwkwardInputsAndTargets) {
    // A FIFO is refused at once instead of blocking the reader.
    const std::string fifo = folder.file("fifo.fsy");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(run("timeout 20 " + cli() + " chart " + quote(fifo) + " -o " + quote(folder.file("f.png"))), 1 << 8);
    EXPECT_FALSE(std::filesystem::exists(folder.file("f.png")));

    // A name in GBK bytes, as copied from Windows, charts; its title is shown losslessly.
    const std::string gbk = write("\xb2\xe2\xc1\xbf.fsy", 3);
    const std::string pdf = folder.file("gbk.pdf");
    ASSERT_EQ(run(cli() + " chart " + quote(gbk) + " -o " + quote(pdf)), 0);
    EXPECT_EQ(pdfPages(pdf).size(), 1u);

    // A folder that is not there: a message and no success.
    EXPECT_EQ(run(cli() + " chart " + quote(gbk) + " -o " + quote(folder.file("no/such/out.png"))), 1 << 8);
}

TEST_F(ChartCli, ChartNeverWritesOverItsInput) {
    const std::string file = write("points.pdf", 3);  // a crack data file that ends in .pdf
    EXPECT_NE(run(cli() + " chart " + quote(file) + " -o " + quote(file)), 0);
    CrackDataFile back;
    ASSERT_TRUE(readCrackFile(file, back));
    EXPECT_EQ(back.pointCount(), 3);
}

}  // namespace
