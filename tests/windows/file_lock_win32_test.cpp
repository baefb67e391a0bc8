// The lock on the received-data file (and on a USB device) on Windows: holders keep each other
// out, readers read on, and what is no plain file is refused with a reason.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/file_lock.h"
#include "platform/temp_dir.h"
#include "platform/utf16_win32.h"

using namespace fendal;

namespace {

using platform::FileLock;

std::string contents(const std::string& path) {
    std::ifstream in(std::filesystem::path(platform::toUtf16(path)), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(FileLockWin32, SecondHolderIsRefusedWhileReadersReadOn) {
    const std::string path = platform::tempDir() + "接收 held.tem";
    std::ofstream(std::filesystem::path(platform::toUtf16(path))) << "earlier data";
    FileLock first;
    FileLock second;
    ASSERT_EQ(first.lock(path), FileLock::Result::Locked) << first.errorText();
    EXPECT_EQ(second.lock(path), FileLock::Result::Busy);
    EXPECT_EQ(contents(path), "earlier data");  // the lock covers no data

    platform::UniqueFile out = first.rewrite();
    ASSERT_NE(out, nullptr) << first.errorText();
    std::fputs("new", out.get());
    out.reset();  // the lock stays with its holder
    EXPECT_EQ(contents(path), "new");
    EXPECT_EQ(second.lock(path), FileLock::Result::Busy);

    first.unlock();
    EXPECT_EQ(second.lock(path), FileLock::Result::Locked);
    EXPECT_EQ(contents(path), "new");
    EXPECT_EQ(first.rewrite(), nullptr);
}

TEST(FileLockWin32, MissingFileIsMadeEmptyAndWhatIsNoFileRefused) {
    const std::string dir = platform::tempDir();
    const std::string fresh = dir + "fresh.tem";
    DeleteFileW(platform::toUtf16(fresh).c_str());
    FileLock lock;
    ASSERT_EQ(lock.lock(fresh), FileLock::Result::Locked);
    EXPECT_EQ(contents(fresh), "");

    const std::string folder = dir + "folder.tem";
    ASSERT_TRUE(CreateDirectoryW(platform::toUtf16(folder).c_str(), nullptr));
    for (const std::string& path : {folder, std::string("NUL"), dir + "none\\x.tem"}) {
        FileLock other;
        EXPECT_EQ(other.lock(path), FileLock::Result::Failed) << path;
        EXPECT_EQ(other.errorText().rfind(path + ": ", 0), 0u) << other.errorText();
        EXPECT_FALSE(other.locked());
    }
}

}  // namespace
