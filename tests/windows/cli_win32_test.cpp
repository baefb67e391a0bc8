// fendal-cli.exe as a Windows user runs it from a console: names outside the ANSI code page on
// the command line and in its messages, and exit codes that say what happened.
#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <nlohmann/json.hpp>

#include "data/crack_file_io.h"
#include "platform/temp_dir.h"
#include "platform/utf16_win32.h"

using namespace fendal;
using namespace fendal::data;

namespace {

struct Result {
    int code;
    std::string out;
};

// Runs fendal-cli.exe through the command interpreter with a UTF-16 command line; standard
// output, lines ending in LF as on every system.
Result cli(const std::string& args) {
    const std::string program =
        (std::filesystem::path(std::getenv("FENDAL_BIN_DIR")) / "fendal-cli.exe").make_preferred().string();
    Result r{-1, {}};
    // The command interpreter drops the first and the last quote of the line: one pair more.
    FILE* p = _wpopen(platform::toUtf16("\"\"" + program + "\" " + args + "\"").c_str(), L"rb");
    if (!p) return r;
    std::array<char, 4096> buf;
    std::size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0) r.out.append(buf.data(), n);
    r.code = _pclose(p);
    for (std::size_t at; (at = r.out.find("\r\n")) != std::string::npos;) r.out.erase(at, 1);
    return r;
}

std::string quoted(const std::string& path) { return "\"" + path + "\""; }

TEST(CliWin32, ChineseNamesTravelThroughTheCommandLine) {
    const std::string dir = platform::tempDir() + "测深 数据";
    ASSERT_TRUE(CreateDirectoryW(platform::toUtf16(dir).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    const std::string received = dir + "\\演示.tem";
    const std::string crack = dir + "\\裂缝.fsy";

    Result demo = cli("demo-data --points 12 -o " + quoted(received));
    ASSERT_EQ(demo.code, 0) << demo.out;
    EXPECT_EQ(demo.out, "wrote 12 demonstration points to " + received + "\n");
    Result imported = cli("import " + quoted(received) + " -o " + quoted(crack));
    ASSERT_EQ(imported.code, 0) << imported.out;
    EXPECT_EQ(imported.out, "imported 12 points into " + crack + "\n");

    CrackDataFile file;
    ASSERT_TRUE(readCrackFile(crack, file));
    EXPECT_EQ(file.pointCount(), 12);
    Result info = cli("info " + quoted(crack));
    ASSERT_EQ(info.code, 0);
    const auto json = nlohmann::json::parse(info.out);
    EXPECT_EQ(json["title"], "裂缝.fsy");
    EXPECT_EQ(json["files"][0]["path"], crack);
    EXPECT_EQ(json["files"][0]["pointCount"], 12);
}

TEST(CliWin32, FailuresExitWithTheirCodeAndMessage) {
    const std::string dir = platform::tempDir();
    Result missing = cli("import " + quoted(dir + "缺少.tem") + " -o " + quoted(dir + "x.fsy") + " 2>&1");
    EXPECT_EQ(missing.code, 1);
    EXPECT_EQ(missing.out, "fendal-cli: 打开临时文件失败！\n");
    EXPECT_FALSE(std::filesystem::exists(platform::toUtf16(dir + "x.fsy")));
    EXPECT_EQ(cli("no-such-command 2>NUL").code, 2);
    // No instrument and no driver: the USB transfer fails at the device.
    Result usb = cli("transfer --usb -o " + quoted(dir + "usb.fsy") + " 2>&1");
    EXPECT_EQ(usb.code, 1);
    EXPECT_NE(usb.out.find("打开设备失败！"), std::string::npos) << usb.out;
}

// The USB trace passes the Windows backend too: the enumeration that finds no device is logged
// with the system's error, and only while FENDAL_TRACE names "usb".
TEST(CliWin32, UsbTraceLogsTheWindowsBackendOnlyWhenAsked) {
    const std::string command = "transfer --usb -o " + quoted(platform::tempDir() + "traced.fsy") + " 2>&1";
    ASSERT_EQ(_wputenv(L"FENDAL_TRACE=usb"), 0);
    const Result traced = cli(command);
    ASSERT_EQ(_wputenv(L"FENDAL_TRACE="), 0);
    EXPECT_EQ(traced.code, 1);
    EXPECT_NE(traced.out.find("usb: device 0: none, error "), std::string::npos) << traced.out;
    const Result quiet = cli(command);
    EXPECT_EQ(quiet.code, 1);
    EXPECT_EQ(quiet.out.find("usb: "), std::string::npos) << quiet.out;
}

}  // namespace
