#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "platform/temp_dir.h"

namespace {

TEST(TempDir, IsAPrivateFolderOfTheUser) {
    std::string dir = platform::tempDir();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), '/');
    struct stat st {};
    ASSERT_EQ(::lstat(dir.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(st.st_uid, ::getuid());
}

TEST(TempDir, RefusesAFolderThatIsASymlink) {
    auto base = std::filesystem::temp_directory_path() / ("fendal-rt-" + std::to_string(::getpid()));
    std::filesystem::create_directories(base);
    ::chmod(base.c_str(), 0700);
    std::filesystem::create_directory_symlink("/", base / "fendal");
    const char* old = std::getenv("XDG_RUNTIME_DIR");
    std::string saved = old ? old : "";
    ::setenv("XDG_RUNTIME_DIR", base.c_str(), 1);
    std::string dir = platform::tempDir();
    EXPECT_NE(dir, (base / "fendal").string() + "/");
    ::setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
    std::filesystem::remove_all(base);
}

TEST(Path, FileNamePart) {
    EXPECT_EQ(platform::fileNamePart("/a/b/c.fsy"), "c.fsy");
    EXPECT_EQ(platform::fileNamePart("C:\\data\\x.fsy"), "x.fsy");
    EXPECT_EQ(platform::fileNamePart("plain"), "plain");
}

}  // namespace
