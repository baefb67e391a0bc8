// Readers open only regular files: a FIFO must not block them, a folder is no file.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "platform/regular_file.h"
#include "support/temp_folder.h"

using namespace fendal;

namespace {

TEST(RegularFile, OpensFilesAndLinksToThemOnly) {
    TempFolder dir;
    TempFolder::writeAll(dir.file("a.fsy"), {1, 2, 3});
    std::filesystem::create_symlink("a.fsy", dir.file("link.fsy"));
    std::error_code error;
    for (const char* name : {"a.fsy", "link.fsy"}) {
        platform::UniqueFile f = platform::openRegularFile(dir.file(name), error);
        ASSERT_TRUE(f) << name << ": " << error.message();
        EXPECT_EQ(std::fgetc(f.get()), 1);
    }

    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);  // nobody writes it: a plain open would wait
    EXPECT_FALSE(platform::openRegularFile(dir.file("fifo"), error));
    EXPECT_EQ(error, platform::FileError::notRegularFile);
    EXPECT_FALSE(platform::openRegularFile(dir.path().string(), error));
    EXPECT_EQ(error, std::errc::is_a_directory);
    EXPECT_FALSE(platform::openRegularFile("/dev/null", error));
    EXPECT_EQ(error, platform::FileError::notRegularFile);
    EXPECT_FALSE(platform::openRegularFile(dir.file("missing"), error));
    EXPECT_EQ(error, std::errc::no_such_file_or_directory);
}

}  // namespace
