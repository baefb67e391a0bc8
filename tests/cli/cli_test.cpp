// fendal-cli as a user runs it: demonstration data, import, info.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include <nlohmann/json.hpp>

#include "data/crack_file_io.h"
#include "support/temp_folder.h"

namespace {

struct Result {
    int code;
    std::string out;
};

// stdout only, unless the caller adds a redirection.
Result cli(const std::string& args) {
    std::string cmd = std::string(std::getenv("FENDAL_BIN_DIR")) + "/fendal-cli " + args;
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
    EXPECT_EQ(file["points"][1], (nlohmann::json{{"number", "A1"}, {"velocity", 4000}, {"depth", 120}, {"note", "裂缝"}}));
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
