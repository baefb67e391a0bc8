// fendal-cli as a user runs it: demonstration data, import, info.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include <nlohmann/json.hpp>

#include "data/crack_file_io.h"
#include "platform/text.h"
#include "support/sample_points.h"
#include "support/temp_folder.h"

using namespace fendal;
using namespace fendal::data;

namespace {

struct Result {
    int code;
    std::string out;
};

// stdout only, unless the caller adds a redirection.
Result shell(const std::string& cmd) {
    Result r{-1, {}};
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return r;
    std::array<char, 4096> buf;
    std::size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0) r.out.append(buf.data(), n);
    int status = pclose(p);
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

std::string bin() { return std::string(std::getenv("FENDAL_BIN_DIR")) + "/fendal-cli"; }

Result cli(const std::string& args) { return shell(bin() + " " + args); }

TEST(Cli, DemoDataImportsIntoACrackDataFile) {
    TempFolder dir;
    ASSERT_EQ(cli("demo-data --points 30 -o " + dir.file("d.tem")).code, 0);
    Result imp = cli("import " + dir.file("d.tem") + " -o " + dir.file("d.fsy"));
    EXPECT_EQ(imp.code, 0) << imp.out;
    EXPECT_EQ(imp.out, "imported 30 points into " + dir.file("d.fsy") + "\n");

    CrackDataFile f;
    ASSERT_TRUE(readCrackFile(dir.file("d.fsy"), f));
    EXPECT_EQ(f.pointCount(), 30);
    EXPECT_EQ(f.receivedCount(), 30);
    EXPECT_STREQ(f.points[29].number, "0030");
}

TEST(Cli, InfoReadsTheFilesAsOneGroupAndPrintsJson) {
    TempFolder dir;
    CrackDataFile f;
    f.path = dir.file("a.fsy");
    MeasurePoint p{};
    std::strcpy(p.number, "A1");
    p.velocity = 4000;
    p.depth = 120;
    std::strcpy(p.note, "\xC1\xD1\xB7\xEC");  // 裂缝 in GBK
    f.points = {p, p};
    f.receivedPoints = {p};
    std::strcpy(f.remark, "r");
    ASSERT_TRUE(writeCrackFile(f));

    Result one = cli("info " + f.path);
    ASSERT_EQ(one.code, 0);
    auto j = nlohmann::json::parse(one.out);
    EXPECT_EQ(j["title"], "a.fsy");
    ASSERT_EQ(j["files"].size(), 1u);
    const auto& file = j["files"][0];
    EXPECT_EQ(file["path"], f.path);
    EXPECT_EQ(file["pointCount"], 2);
    EXPECT_EQ(file["receivedCount"], 1);
    EXPECT_EQ(file["remark"], "r");
    EXPECT_EQ(file["points"][1],
              (nlohmann::json{{"number", "A1"}, {"velocity", 4000}, {"depth", 120}, {"note", "裂缝"}}));
    EXPECT_EQ(file["receivedPoints"].size(), 1u);

    // a file that cannot be opened stays in the group without path or points, and the run fails
    Result two = cli("info " + f.path + " " + dir.file("missing.fsy") + " 2>/dev/null");
    EXPECT_EQ(two.code, 1);
    j = nlohmann::json::parse(two.out);
    EXPECT_EQ(j["title"], "成组文件");
    EXPECT_EQ(j["files"][1]["path"], "");
    EXPECT_EQ(j["files"][1]["pointCount"], 0);
}

TEST(Cli, ShortTransferImportsWhatArrivedAndSaysSo) {
    TempFolder dir;
    ASSERT_EQ(cli("demo-data --points 4 -o " + dir.file("d.tem")).code, 0);
    std::filesystem::resize_file(dir.file("d.tem"), 4 + 6 * 3 + 2);
    Result imp = cli("import " + dir.file("d.tem") + " -o " + dir.file("d.fsy") + " 2>&1");
    EXPECT_EQ(imp.code, 3);
    EXPECT_NE(imp.out.find("只收到 3 个"), std::string::npos);
    CrackDataFile f;
    ASSERT_TRUE(readCrackFile(dir.file("d.fsy"), f));
    EXPECT_EQ(f.pointCount(), 3);
}

// A name copied from Windows is GBK bytes; another may be no text at all. info must print
// valid JSON that shows both names without losing a byte.
TEST(Cli, InfoShowsNamesThatAreNotUtf8Losslessly) {
    TempFolder dir;
    CrackDataFile gbk = sampleFile(1, dir.file("\xC1\xD1\xB7\xEC.fsy"));  // 裂缝.fsy
    CrackDataFile raw = sampleFile(2, dir.file("\xFF\\.fsy"));
    ASSERT_TRUE(writeCrackFile(gbk));
    ASSERT_TRUE(writeCrackFile(raw));
    Result one = cli("info '" + gbk.path + "'");
    ASSERT_EQ(one.code, 0);
    auto j = nlohmann::json::parse(one.out);
    EXPECT_EQ(j["title"], "裂缝.fsy");
    EXPECT_EQ(j["files"][0]["path"], dir.file("裂缝.fsy"));

    Result both = cli("info '" + gbk.path + "' '" + raw.path + "'");
    ASSERT_EQ(both.code, 0);
    j = nlohmann::json::parse(both.out);
    EXPECT_EQ(j["files"][1]["path"], dir.file("\\xFF\\x5C.fsy"));
    EXPECT_EQ(j["files"][1]["pointCount"], 2);
}

// A FIFO must not block any reader, and a folder is no file: each run ends at once with the
// open failure.
TEST(Cli, FifosAndFoldersAreOpenFailuresThatNeverBlock) {
    TempFolder dir;
    const std::string fifo = dir.file("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    CrackDataFile f = sampleFile(1, dir.file("a.fsy"));
    ASSERT_TRUE(writeCrackFile(f));
    for (const std::string& bad : {fifo, dir.path().string()}) {
        Result info = cli("info " + bad + " 2>&1");
        EXPECT_EQ(info.code, 1) << info.out;
        EXPECT_NE(info.out.find("cannot open " + bad + ": "), std::string::npos) << info.out;
        EXPECT_EQ(nlohmann::json::parse(info.out.substr(info.out.find('{')))["files"][0]["pointCount"], 0);
        Result imp = cli("import " + bad + " -o " + dir.file("x.fsy") + " 2>&1");
        EXPECT_EQ(imp.code, 1);
        EXPECT_EQ(imp.out, "fendal-cli: 打开临时文件失败！\n");
        EXPECT_EQ(cli("print-pdf " + bad + " -o " + dir.file("x.pdf") + " 2>/dev/null").code, 1);
        Result settings = cli("print-pdf " + f.path + " --settings " + bad + " -o " + dir.file("x.pdf") + " 2>&1");
        EXPECT_EQ(settings.code, 1);
        EXPECT_NE(settings.out.find("cannot open settings file"), std::string::npos) << settings.out;
        EXPECT_EQ(cli("report --docx " + bad + " -o " + dir.file("x.docx") + " 2>/dev/null").code, 1);
        EXPECT_FALSE(std::filesystem::exists(dir.file("x.fsy")));
    }
}

// Two runs write the same file at once, again and again: both succeed each time, and the
// file is always one of the two, whole.
TEST(Cli, TwoRunsSavingTheSameFileAtOnceEachLeaveAWholeFile) {
    TempFolder dir;
    ASSERT_EQ(cli("demo-data --points 3000 -o " + dir.file("a.tem")).code, 0);
    ASSERT_EQ(cli("demo-data --points 1000 -o " + dir.file("b.tem")).code, 0);
    const std::string out = dir.file("same.fsy");
    for (int round = 0; round < 8; ++round) {
        const std::string run = bin() + " import %s -o " + out + " >/dev/null; echo $?";
        const std::string both = "(" + platform::text::format(run.c_str(), dir.file("a.tem").c_str()) + ") & (" +
                                 platform::text::format(run.c_str(), dir.file("b.tem").c_str()) + ") & wait";
        FILE* p = popen(both.c_str(), "r");
        ASSERT_TRUE(p);
        char codes[16] = {};
        std::size_t n = std::fread(codes, 1, sizeof codes - 1, p);
        pclose(p);
        EXPECT_EQ(std::string(codes, n), "0\n0\n") << "round " << round;
        CrackDataFile f;
        ASSERT_TRUE(readCrackFile(out, f));
        EXPECT_TRUE(f.pointCount() == 3000 || f.pointCount() == 1000) << f.pointCount();
        EXPECT_EQ(std::filesystem::file_size(out), kHeaderSize + 2 * kRecordSize * f.pointCount());
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 3);
}

// After the rename the folder is synced, or a power cut can bring the old file back.
TEST(Cli, SavingSyncsTheFileAndThenItsFolder) {
    if (std::system("command -v strace >/dev/null 2>&1") != 0) GTEST_SKIP() << "strace is not installed";
    TempFolder dir;
    ASSERT_EQ(cli("demo-data --points 5 -o " + dir.file("a.tem")).code, 0);
    const std::string trace = dir.file("trace");
    // LeakSanitizer cannot run under a tracer.
    Result r = shell("ASAN_OPTIONS=detect_leaks=0 strace -f -qq -e trace=openat,fsync,rename -o " + trace + " " +
                     bin() + " import " + dir.file("a.tem") + " -o " + dir.file("a.fsy") + " >/dev/null");
    ASSERT_EQ(r.code, 0);
    std::ifstream in(trace);
    std::vector<std::string> calls;
    for (std::string line; std::getline(in, line);) calls.push_back(line);
    auto at = [&](const std::string& what, std::size_t from) {
        for (std::size_t i = from; i < calls.size(); ++i)
            if (calls[i].find(what) != std::string::npos) return i;
        return calls.size();
    };
    const std::size_t rename = at("rename(\"" + dir.path().string() + "/.a.fsy.fendal-", 0);
    ASSERT_LT(rename, calls.size()) << "no rename into place";
    EXPECT_LT(at("fsync(", 0), rename);  // the data first
    const std::size_t folder = at("openat(AT_FDCWD, \"" + dir.path().string() + "\", O_RDONLY|O_CLOEXEC|O_DIRECTORY",
                                  rename);
    ASSERT_LT(folder, calls.size());
    const std::string fd = calls[folder].substr(calls[folder].rfind("= ") + 2);
    EXPECT_LT(at("fsync(" + fd + ")", folder), calls.size());
}

TEST(Cli, BadInputIsRefusedClearly) {
    TempFolder dir;
    Result missing = cli("import " + dir.file("none.tem") + " -o " + dir.file("x.fsy") + " 2>&1");
    EXPECT_EQ(missing.code, 1);
    EXPECT_EQ(missing.out, "fendal-cli: 打开临时文件失败！\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("x.fsy")));

    TempFolder::writeAll(dir.file("bad.tem"), {0xFF, 0xFF, 0xFF, 0x7F});
    Result bad = cli("import " + dir.file("bad.tem") + " -o " + dir.file("x.fsy") + " 2>&1");
    EXPECT_EQ(bad.code, 1);
    EXPECT_EQ(bad.out, "fendal-cli: 接收数据错误，请重新传输或重新运行本程序！\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("x.fsy")));

    EXPECT_EQ(cli("no-such-command 2>/dev/null").code, 2);
}

}  // namespace

namespace {

// Every subcommand explains itself, and every command line it cannot take is refused with
// the usage exit code before anything is read or written.
TEST(Cli, CommandLinesThatCannotBeTakenAreRefusedBeforeAnyWork) {
    for (const char* command : {"demo-data", "import", "info", "print-pdf", "report"}) {
        const Result help = cli(std::string(command) + " --help");
        EXPECT_EQ(help.code, 0) << command;
        EXPECT_NE(help.out.find(std::string("fendal-cli ") + command), std::string::npos) << command;
        EXPECT_EQ(cli(std::string(command) + " --bogus 2>/dev/null").code, 2) << command;
    }
    TempFolder dir;
    const std::string tem = dir.file("d.tem");
    for (const char* points : {"abc", "12x", "-1", "20001", ""}) {
        EXPECT_EQ(cli("demo-data --points '" + std::string(points) + "' -o " + tem + " 2>/dev/null").code, 2) << points;
        EXPECT_FALSE(std::filesystem::exists(tem)) << points;
    }
    ASSERT_EQ(cli("demo-data --points 20000 -o " + tem).code, 0);  // the largest count is taken

    const std::string fsy = dir.file("x.fsy");
    EXPECT_EQ(cli("import " + tem + " --bogus -o " + fsy + " 2>/dev/null").code, 2);
    EXPECT_EQ(cli("import " + tem + " 2>/dev/null").code, 2);  // nowhere to write
    EXPECT_EQ(cli("import " + tem + " " + tem + " -o " + fsy + " 2>/dev/null").code, 2);
    EXPECT_FALSE(std::filesystem::exists(fsy));
    ASSERT_EQ(cli("import " + tem + " -o " + fsy).code, 0);

    EXPECT_EQ(cli("info 2>/dev/null").code, 2);
    EXPECT_EQ(cli("report --docx --xlsx " + fsy + " -o " + dir.file("r") + " 2>/dev/null").code, 2);
    EXPECT_EQ(cli("report " + fsy + " -o " + dir.file("r") + " 2>/dev/null").code, 2);
    EXPECT_EQ(cli("print-pdf " + fsy + " -o 2>/dev/null").code, 2);
    EXPECT_FALSE(std::filesystem::exists(dir.file("r")));
    EXPECT_EQ(cli("2>/dev/null").code, 2);
}

}  // namespace
