// fendal-cli as a user runs it: demonstration data, import, info.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "data/crack_file_io.h"
#include "support/temp_folder.h"

namespace {

struct Result {
    int code;
    std::string out;
};

Result cli(const std::string& args) {
    std::string cmd = std::string(std::getenv("FENDAL_BIN_DIR")) + "/fendal-cli " + args + " 2>&1";
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

    Result info = cli("info --limit 2 " + dir.file("d.fsy"));
    EXPECT_EQ(info.code, 0);
    EXPECT_NE(info.out.find("points: 30"), std::string::npos);
    EXPECT_NE(info.out.find("0002"), std::string::npos);
    EXPECT_NE(info.out.find("... 28 more"), std::string::npos);
}

TEST(Cli, ShortTransferImportsWhatArrivedAndSaysSo) {
    TempFolder dir;
    ASSERT_EQ(cli("demo-data --points 4 -o " + dir.file("d.tem")).code, 0);
    std::filesystem::resize_file(dir.file("d.tem"), 4 + 6 * 3 + 2);
    Result imp = cli("import " + dir.file("d.tem") + " -o " + dir.file("d.fsy"));
    EXPECT_EQ(imp.code, 3);
    EXPECT_NE(imp.out.find("3 of 4"), std::string::npos);
    CrackDataFile f;
    ASSERT_TRUE(readCrackFile(dir.file("d.fsy"), f));
    EXPECT_EQ(f.pointCount(), 3);
}

TEST(Cli, BadInputIsRefusedClearly) {
    TempFolder dir;
    Result missing = cli("import " + dir.file("none.tem") + " -o " + dir.file("x.fsy"));
    EXPECT_EQ(missing.code, 1);
    EXPECT_NE(missing.out.find("cannot open"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.file("x.fsy")));
    EXPECT_EQ(cli("info " + dir.file("none.fsy")).code, 1);
    EXPECT_EQ(cli("no-such-command").code, 2);
}

}  // namespace
