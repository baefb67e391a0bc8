#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "platform/temp_dir.h"
#include "support/temp_folder.h"

using namespace fendal;

namespace {

mode_t modeOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::lstat(path.c_str(), &st), 0);
    return st.st_mode & 07777;
}

// Sets XDG_RUNTIME_DIR for one test and puts the old value back.
class RuntimeDir {
public:
    explicit RuntimeDir(const std::string& value) {
        const char* old = std::getenv("XDG_RUNTIME_DIR");
        had_ = old != nullptr;
        if (old) saved_ = old;
        ::setenv("XDG_RUNTIME_DIR", value.c_str(), 1);
    }
    ~RuntimeDir() {
        if (had_)
            ::setenv("XDG_RUNTIME_DIR", saved_.c_str(), 1);
        else
            ::unsetenv("XDG_RUNTIME_DIR");
    }

private:
    bool had_ = false;
    std::string saved_;
};

const std::string kFallback = "/tmp/fendal-" + std::to_string(::getuid()) + "/";

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
    TempFolder base;
    std::filesystem::create_directory_symlink("/", base.path() / "fendal");
    RuntimeDir runtime(base.path().string());
    EXPECT_EQ(platform::tempDir(), kFallback);
}

// A runtime folder that others may enter is not ours to change: it is left as it is and the
// fallback is used. A relative one does not count at all.
TEST(TempDir, NeverChangesTheModeOfAFolderItDidNotCreate) {
    TempFolder base;
    ::chmod(base.path().c_str(), 0755);
    {
        RuntimeDir runtime(base.path().string());
        EXPECT_EQ(platform::tempDir(), kFallback);
        EXPECT_EQ(modeOf(base.path().string()), 0755u);
        EXPECT_FALSE(std::filesystem::exists(base.path() / "fendal"));
    }

    ::chmod(base.path().c_str(), 0700);
    std::filesystem::create_directory(base.path() / "fendal");
    ::chmod((base.path() / "fendal").c_str(), 0750);
    {
        RuntimeDir runtime(base.path().string());
        EXPECT_EQ(platform::tempDir(), kFallback);
        EXPECT_EQ(modeOf((base.path() / "fendal").string()), 0750u);
    }

    std::filesystem::remove(base.path() / "fendal");
    {
        RuntimeDir runtime(base.path().string());
        EXPECT_EQ(platform::tempDir(), (base.path() / "fendal").string() + "/");
    }
    {
        RuntimeDir runtime("relative/run");
        EXPECT_EQ(platform::tempDir(), kFallback);
    }
}

TEST(TempDir, ScratchFilesAreNewAndPrivate) {
    std::error_code error;
    const std::string a = platform::createScratchFile("report", error);
    const std::string b = platform::createScratchFile("report", error);
    ASSERT_FALSE(a.empty()) << error.message();
    EXPECT_NE(a, b);
    EXPECT_EQ(a.rfind(platform::tempDir(), 0), 0u);
    EXPECT_EQ(modeOf(a), 0600u);
    std::filesystem::remove(a);
    std::filesystem::remove(b);
}

TEST(Path, FileNamePart) {
    EXPECT_EQ(platform::fileNamePart("/a/b/c.fsy"), "c.fsy");
    EXPECT_EQ(platform::fileNamePart("C:\\data\\x.fsy"), "x.fsy");
    EXPECT_EQ(platform::fileNamePart("plain"), "plain");
}

}  // namespace
