// The safe writer and the reader of named files on Windows: the data reaches the named file
// whole or not at all, nothing is left beside it, and failures carry the system's reason.
#include <gtest/gtest.h>
#include <windows.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/file_error.h"
#include "platform/regular_file.h"
#include "platform/safe_file_writer.h"
#include "platform/temp_dir.h"
#include "platform/utf16_win32.h"

using namespace fendal;

namespace {

using Bytes = std::vector<unsigned char>;

class FileWriterWin32 : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = platform::tempDir() + "写入 " + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::filesystem::remove_all(platform::toUtf16(folder_));
        ASSERT_TRUE(CreateDirectoryW(platform::toUtf16(folder_).c_str(), nullptr));
    }
    std::string file(const std::string& name) const { return folder_ + "\\" + name; }

    static Bytes read(const std::string& path) {
        std::error_code error;
        platform::UniqueFile in = platform::openRegularFile(path, error);
        Bytes out;
        if (!in) return out;
        for (int c; (c = std::fgetc(in.get())) != EOF;) out.push_back(static_cast<unsigned char>(c));
        return out;
    }
    // Everything in the folder: a temporary file left behind would show here.
    std::vector<std::wstring> entries() const {
        std::vector<std::wstring> names;
        for (const auto& entry : std::filesystem::directory_iterator(platform::toUtf16(folder_)))
            names.push_back(entry.path().filename().wstring());
        return names;
    }

    std::string folder_;
};

TEST_F(FileWriterWin32, NewAndReplacedFilesHoldExactlyWhatWasWritten) {
    const std::string target = file("裂缝.fsy");
    std::error_code error;
    ASSERT_TRUE(platform::writeFileSafely(target, Bytes{1, 2, 3}, error)) << error.message();
    EXPECT_EQ(read(target), (Bytes{1, 2, 3}));
    ASSERT_TRUE(platform::writeFileSafely(target, Bytes(5000, 7), error)) << error.message();
    EXPECT_EQ(read(target), Bytes(5000, 7));
    ASSERT_TRUE(platform::writeFileSafely(target, Bytes{9}, error)) << error.message();
    EXPECT_EQ(read(target), Bytes{9});
    EXPECT_EQ(entries(), std::vector<std::wstring>{L"\u88c2\u7f1d.fsy"});

    // Without commit the file stays as it was and nothing is left beside it.
    {
        platform::SafeFileWriter out(target);
        ASSERT_TRUE(out.write("abc", 3));
    }
    EXPECT_EQ(read(target), Bytes{9});
    EXPECT_EQ(entries().size(), 1u);
}

TEST_F(FileWriterWin32, ProtectedFoldersAndMissingPlacesAreRefusedWithTheirReason) {
    std::error_code error;
    const std::string readOnly = file("read-only.fsy");
    ASSERT_TRUE(platform::writeFileSafely(readOnly, Bytes{1}, error));
    ASSERT_TRUE(SetFileAttributesW(platform::toUtf16(readOnly).c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(platform::canWriteFile(readOnly));
    EXPECT_FALSE(platform::writeFileSafely(readOnly, Bytes{2}, error));
    EXPECT_EQ(error, std::errc::permission_denied);
    EXPECT_EQ(read(readOnly), Bytes{1});
    SetFileAttributesW(platform::toUtf16(readOnly).c_str(), FILE_ATTRIBUTE_NORMAL);

    EXPECT_FALSE(platform::canWriteFile(file("none\\x.fsy")));
    EXPECT_FALSE(platform::writeFileSafely(file("none\\x.fsy"), Bytes{1}, error));
    EXPECT_EQ(error, std::errc::no_such_file_or_directory);

    ASSERT_TRUE(CreateDirectoryW(platform::toUtf16(file("folder")).c_str(), nullptr));
    EXPECT_FALSE(platform::canWriteFile(file("folder")));
    EXPECT_FALSE(platform::writeFileSafely(file("folder"), Bytes{1}, error));
    EXPECT_EQ(error, std::errc::is_a_directory);
    EXPECT_EQ(entries().size(), 2u);  // no temporary file beside either

    EXPECT_TRUE(platform::canWriteFile(file("new.fsy")));
    EXPECT_FALSE(std::filesystem::exists(platform::toUtf16(file("new.fsy"))));
}

// A file with a second name is written in place, so both names keep showing the same data.
TEST_F(FileWriterWin32, HardLinkedFileKeepsItsOtherName) {
    std::error_code error;
    const std::string first = file("first.fsy");
    const std::string second = file("second.fsy");
    ASSERT_TRUE(platform::writeFileSafely(first, Bytes(100, 1), error));
    ASSERT_TRUE(CreateHardLinkW(platform::toUtf16(second).c_str(), platform::toUtf16(first).c_str(), nullptr));
    ASSERT_TRUE(platform::writeFileSafely(first, Bytes{4, 5}, error)) << error.message();
    EXPECT_EQ(read(first), (Bytes{4, 5}));
    EXPECT_EQ(read(second), (Bytes{4, 5}));
}

TEST_F(FileWriterWin32, OnlyFilesOnADiskAreOpenedForReading) {
    std::error_code error;
    EXPECT_EQ(platform::openRegularFile(folder_, error), nullptr);
    EXPECT_EQ(error, std::errc::is_a_directory);
    EXPECT_EQ(platform::openRegularFile("NUL", error), nullptr);
    EXPECT_EQ(error, platform::FileError::notRegularFile);
    EXPECT_EQ(platform::openRegularFile(file("缺少.fsy"), error), nullptr);
    EXPECT_EQ(error, std::errc::no_such_file_or_directory);
    ASSERT_TRUE(platform::writeFileSafely(file("a.fsy"), Bytes{3}, error));
    EXPECT_NE(platform::openRegularFile(file("a.fsy"), error), nullptr);
    EXPECT_FALSE(error);
}

}  // namespace
