// fendal-cli export-csv and import-csv as a user runs them: files out and back, refusals and
// their exit codes.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "data/crack_file_io.h"
#include "office/point_csv.h"
#include "support/sample_points.h"
#include "support/temp_folder.h"

using namespace fendal;
using namespace fendal::data;
using namespace fendal::office;

namespace {

struct Result {
    int code;
    std::string out;  // stdout and stderr
};

Result cli(const std::string& args) {
    Result r{-1, {}};
    const std::string bin = std::string(std::getenv("FENDAL_BIN_DIR")) + "/fendal-cli";
    FILE* p = popen((bin + " " + args + " 2>&1").c_str(), "r");
    if (!p) return r;
    std::array<char, 4096> buf;
    std::size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0) r.out.append(buf.data(), n);
    const int status = pclose(p);
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

std::string q(const std::string& path) { return "'" + path + "'"; }

std::string contents(const std::string& path) {
    const auto bytes = TempFolder::readAll(path);
    return {bytes.begin(), bytes.end()};
}

class CsvCli : public ::testing::Test {
protected:
    std::string writeFile(const std::string& name, int points, int first) {
        CrackDataFile f = sampleFile(points, dir.file(name), first);
        EXPECT_TRUE(writeCrackFile(f));
        group.files.push_back(f);
        return f.path;
    }
    TempFolder dir;
    FileGroup group;
};

TEST_F(CsvCli, ExportedFilesComeBackAsOneFileOfTheirPoints) {
    const std::string a = writeFile("\xC7\xC5.fsy", 3, 0);  // named in GBK bytes, as copied from Windows
    const std::string b = writeFile("b,\"c\".fsy", 2, 10);
    const std::string csv = dir.file("out.csv");
    Result r = cli("export-csv " + q(a) + " " + q(b) + " -o " + q(csv));
    ASSERT_EQ(r.code, 0) << r.out;
    EXPECT_EQ(r.out, "");
    std::string expected;
    CsvTextFault fault;
    ASSERT_TRUE(groupToCsv(group, expected, fault));
    EXPECT_EQ(contents(csv), expected);

    const std::string fsy = dir.file("back.fsy");
    r = cli("import-csv " + q(csv) + " -o " + q(fsy));
    ASSERT_EQ(r.code, 0) << r.out;
    EXPECT_EQ(r.out, "imported 5 points of 2 files into " + fsy + "\n");
    CrackDataFile back;
    ASSERT_TRUE(readCrackFile(fsy, back));
    ASSERT_EQ(back.pointCount(), 5);
    EXPECT_STREQ(back.points[0].number, "0001");
    EXPECT_STREQ(back.points[3].number, "0011");
    EXPECT_EQ(back.points[4].velocity, 3011);
    EXPECT_STREQ(back.points[4].note, "note 11");
    // Restoring the new file gives back the points as imported.
    ASSERT_EQ(back.receivedCount(), 5);
    EXPECT_EQ(0, std::memcmp(back.points.data(), back.receivedPoints.data(), 5 * sizeof(MeasurePoint)));
}

TEST_F(CsvCli, ARefusedCsvNamesItsLineAndLeavesTheOutputAsItWas) {
    const std::string csv = dir.file("in.csv");
    const std::string text = "文件,序号,编号,声速(m/s),深度(mm),备注\r\nf,1,A,1,1,\"two\r\nlines\"\r\nf,2,B,1,1e3,\r\n";
    TempFolder::writeAll(csv, {text.begin(), text.end()});
    const std::string fsy = writeFile("old.fsy", 2, 0);
    const std::string before = contents(fsy);
    const Result r = cli("import-csv " + q(csv) + " -o " + q(fsy));
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.out,
              "fendal-cli import-csv: " + csv + ", line 4: 深度(mm) \"1e3\" is not a whole number; nothing written\n");
    EXPECT_EQ(contents(fsy), before);

    const Result none = cli("import-csv " + q(dir.file("none.csv")) + " -o " + q(dir.file("x.fsy")));
    EXPECT_EQ(none.code, 1);
    EXPECT_NE(none.out.find("cannot read"), std::string::npos) << none.out;
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    EXPECT_EQ(cli("import-csv " + q(dir.file("fifo")) + " -o " + q(dir.file("x.fsy"))).code, 1);  // without blocking
    EXPECT_EQ(cli("export-csv " + q(dir.file("fifo")) + " -o " + q(dir.file("x.csv"))).code, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file("x.fsy")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("x.csv")));
}

TEST_F(CsvCli, AnOutputThatIsOneOfTheInputsIsRefused) {
    const std::string a = writeFile("a.fsy", 2, 0);
    std::filesystem::create_symlink(a, dir.file("link.csv"));
    const std::string before = contents(a);
    Result r = cli("export-csv " + q(a) + " -o " + q(dir.file("link.csv")));
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.out, "fendal-cli export-csv: " + dir.file("link.csv") + " is one of the files to export\n");
    EXPECT_EQ(contents(a), before);

    ASSERT_EQ(cli("export-csv " + q(a) + " -o " + q(dir.file("a.csv"))).code, 0);
    const std::string csv = contents(dir.file("a.csv"));
    r = cli("import-csv " + q(dir.file("a.csv")) + " -o " + q(dir.file("a.csv")));
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(contents(dir.file("a.csv")), csv);
}

TEST_F(CsvCli, CommandLinesThatCannotBeTakenAreRefusedBeforeAnyWork) {
    const std::string a = writeFile("a.fsy", 1, 0);
    for (const char* command : {"export-csv", "import-csv"}) {
        const Result help = cli(std::string(command) + " --help");
        EXPECT_EQ(help.code, 0) << command;
        EXPECT_NE(help.out.find(std::string("fendal-cli ") + command), std::string::npos) << command;
        EXPECT_EQ(cli(std::string(command) + " --bogus " + q(a) + " -o " + q(dir.file("x"))).code, 2) << command;
        EXPECT_EQ(cli(std::string(command) + " " + q(a)).code, 2) << command;                 // nowhere to write
        EXPECT_EQ(cli(std::string(command) + " -o " + q(dir.file("x"))).code, 2) << command;  // nothing to read
    }
    EXPECT_EQ(cli("import-csv " + q(a) + " " + q(a) + " -o " + q(dir.file("x"))).code, 2);  // one CSV only
    EXPECT_FALSE(std::filesystem::exists(dir.file("x")));
}

TEST_F(CsvCli, TwoExportsToTheSameFileAtOnceEachLeaveAWholeFile) {
    std::vector<std::string> inputs;
    for (int i = 0; i < 4; ++i) inputs.push_back(q(writeFile("f" + std::to_string(i) + ".fsy", 3000, i * 3000)));
    std::string all;
    for (const auto& i : inputs) all += i + " ";
    FileGroup first;
    first.files.push_back(group.files[0]);
    const std::string csv = dir.file("out.csv");
    const std::string bin = std::string(std::getenv("FENDAL_BIN_DIR")) + "/fendal-cli";
    const std::string cmd = bin + " export-csv " + all + "-o " + q(csv) + " & " + bin + " export-csv " + inputs[0] +
                            " -o " + q(csv) + " & wait";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    std::string whole, part;
    CsvTextFault fault;
    ASSERT_TRUE(groupToCsv(group, whole, fault));
    ASSERT_TRUE(groupToCsv(first, part, fault));
    const std::string got = contents(csv);
    EXPECT_TRUE(got == whole || got == part) << got.size();
}

}  // namespace
