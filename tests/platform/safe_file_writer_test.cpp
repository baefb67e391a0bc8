// The safe writer as an attacker and a careless user would meet it: planted links, two saves
// at once, SIGKILL in the middle, links, modes, owners and folders that cannot be written.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

#include "platform/file_error.h"
#include "platform/safe_file_writer.h"
#include "support/other_user.h"
#include "support/temp_folder.h"

using namespace fendal;

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;

Bytes image(char fill, std::size_t size) { return Bytes(size, static_cast<unsigned char>(fill)); }

bool save(const std::string& path, const Bytes& bytes, std::error_code* why = nullptr) {
    std::error_code error;
    const bool ok = platform::writeFileSafely(path, bytes, error);
    if (why) *why = error;
    return ok;
}

struct stat statOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    return st;
}

std::size_t entries(const fs::path& dir) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

class SafeFileWriterTest : public ::testing::Test {
protected:
    TempFolder dir;
};

TEST_F(SafeFileWriterTest, ReplacesTheFileKeepingModeAndLeavingNothingBeside) {
    const std::string target = dir.file("a.fsy");
    ASSERT_TRUE(save(target, image('a', 5000)));
    ::chmod(target.c_str(), 0600);
    ASSERT_TRUE(save(target, image('b', 300)));
    EXPECT_EQ(TempFolder::readAll(target), image('b', 300));
    EXPECT_EQ(statOf(target).st_mode & 07777, 0600u);
    EXPECT_EQ(entries(dir.path()), 1u);

    // A writer given up before commit leaves the old file as it was.
    {
        platform::SafeFileWriter out(target);
        ASSERT_TRUE(out.write("xyz", 3));
    }
    EXPECT_EQ(TempFolder::readAll(target), image('b', 300));
    EXPECT_EQ(entries(dir.path()), 1u);
}

TEST_F(SafeFileWriterTest, HardLinksAndOwnerAreKept) {
    const std::string target = dir.file("linked.fsy");
    ASSERT_TRUE(save(target, image('a', 10)));
    ASSERT_EQ(::link(target.c_str(), dir.file("other-name.fsy").c_str()), 0);
    ASSERT_TRUE(save(target, image('b', 20)));
    EXPECT_EQ(TempFolder::readAll(dir.file("other-name.fsy")), image('b', 20));
    EXPECT_EQ(statOf(target).st_nlink, 2u);

    if (!canBecomeOtherUser()) GTEST_SKIP() << "changing a file's owner needs root";
    const std::string owned = dir.file("owned.fsy");
    ASSERT_TRUE(save(owned, image('a', 10)));
    ASSERT_EQ(::chown(owned.c_str(), kOtherUid, kOtherGid), 0);
    ASSERT_TRUE(save(owned, image('c', 30)));
    EXPECT_EQ(statOf(owned).st_uid, kOtherUid);
    EXPECT_EQ(statOf(owned).st_gid, kOtherGid);
    EXPECT_EQ(TempFolder::readAll(owned), image('c', 30));
}

TEST_F(SafeFileWriterTest, SavingThroughALinkChangesTheFileItPointsTo) {
    fs::create_directory(dir.file("real"));
    const std::string real = dir.file("real/data.fsy");
    ASSERT_TRUE(save(real, image('a', 10)));
    fs::create_symlink("real/data.fsy", dir.file("relative.fsy"));
    fs::create_symlink(dir.file("relative.fsy"), dir.file("chain.fsy"));

    ASSERT_TRUE(save(dir.file("chain.fsy"), image('b', 40)));
    EXPECT_EQ(TempFolder::readAll(real), image('b', 40));
    EXPECT_TRUE(fs::is_symlink(dir.file("chain.fsy")));
    EXPECT_TRUE(fs::is_symlink(dir.file("relative.fsy")));
    EXPECT_EQ(entries(dir.file("real")), 1u);

    // A link to a file not there yet creates the file, as opening it for writing would.
    fs::create_symlink("real/new.fsy", dir.file("dangling.fsy"));
    ASSERT_TRUE(save(dir.file("dangling.fsy"), image('c', 7)));
    EXPECT_EQ(TempFolder::readAll(dir.file("real/new.fsy")), image('c', 7));
    EXPECT_TRUE(fs::is_symlink(dir.file("dangling.fsy")));

    fs::create_symlink("loop-b", dir.file("loop-a"));
    fs::create_symlink("loop-a", dir.file("loop-b"));
    std::error_code why;
    EXPECT_FALSE(save(dir.file("loop-a"), image('d', 1), &why));
    EXPECT_EQ(why, std::errc::too_many_symbolic_link_levels);
}

TEST_F(SafeFileWriterTest, FailuresCarryTheReasonAndChangeNothing) {
    std::error_code why;
    EXPECT_FALSE(save(dir.file("missing/x.fsy"), image('a', 1), &why));
    EXPECT_EQ(why, std::errc::no_such_file_or_directory);

    fs::create_directory(dir.file("folder"));
    EXPECT_FALSE(save(dir.file("folder"), image('a', 1), &why));
    EXPECT_EQ(why, std::errc::is_a_directory);

    // A FIFO is neither opened (that would block) nor replaced.
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    EXPECT_FALSE(save(dir.file("fifo"), image('a', 1), &why));
    EXPECT_EQ(why, platform::FileError::notRegularFile);
    EXPECT_FALSE(why.message().empty());
    EXPECT_TRUE(fs::is_fifo(dir.file("fifo")));
    EXPECT_EQ(entries(dir.path()), 2u);
}

TEST_F(SafeFileWriterTest, CheckingWhetherAFileCanBeSavedTouchesNothing) {
    const std::string target = dir.file("w.fsy");
    ASSERT_TRUE(save(target, image('a', 10)));
    const auto before = statOf(target);
    EXPECT_TRUE(platform::canWriteFile(target));
    EXPECT_TRUE(platform::canWriteFile(dir.file("new.fsy")));
    EXPECT_FALSE(platform::canWriteFile(dir.file("gone/new.fsy")));
    EXPECT_FALSE(platform::canWriteFile(dir.path().string()));
    EXPECT_FALSE(platform::canWriteFile(""));
    EXPECT_EQ(TempFolder::readAll(target), image('a', 10));
    EXPECT_EQ(statOf(target).st_mtime, before.st_mtime);
    EXPECT_EQ(entries(dir.path()), 1u);
}

// A file the user may write, in a folder they may not: written in place, silently.
TEST_F(SafeFileWriterTest, FileInAFolderWeMayNotWriteIsWrittenInPlace) {
    const std::string target = dir.file("locked/data.fsy");
    fs::create_directory(dir.file("locked"));
    ASSERT_TRUE(save(target, image('a', 5000)));
    auto check = [&] {
        const bool canCheck = platform::canWriteFile(target) && !platform::canWriteFile(dir.file("locked/new.fsy"));
        std::error_code why;
        const bool shorter = save(target, image('b', 100), &why);
        const bool content = TempFolder::readAll(target) == image('b', 100);
        return canCheck && shorter && !why && content && entries(dir.file("locked")) == 1;
    };
    if (canBecomeOtherUser()) {
        // root writes any folder: the other user owns the file but not the folder.
        ::chmod(dir.path().c_str(), 0755);
        ::chown(target.c_str(), kOtherUid, kOtherGid);
        ::chmod(dir.file("locked").c_str(), 0755);
        EXPECT_TRUE(asOtherUser(check));
    } else {
        ::chmod(dir.file("locked").c_str(), 0555);
        EXPECT_TRUE(check());
        ::chmod(dir.file("locked").c_str(), 0755);
    }
}

// Another user who may write the folder plants links where the program used to put its
// temporary and probe files, and in a shared sticky folder at the target itself.
TEST_F(SafeFileWriterTest, LinksPlantedByAnotherUserRedirectNothing) {
    if (!canBecomeOtherUser()) GTEST_SKIP() << "a second user needs root";
    const std::string victim = dir.file("victim.txt");
    TempFolder::writeAll(victim, image('v', 64));
    ::chmod(dir.path().c_str(), 0777);
    const std::string target = dir.file("report.fsy");
    ASSERT_TRUE(asOtherUser([&] {
        for (const char* suffix : {".fendal-tmp", ".fendal-probe", ".tmp", "~"})
            if (::symlink(victim.c_str(), (target + suffix).c_str()) != 0) return false;
        return true;
    }));
    EXPECT_TRUE(platform::canWriteFile(target));
    ASSERT_TRUE(save(target, image('n', 32)));
    EXPECT_EQ(TempFolder::readAll(victim), image('v', 64));
    EXPECT_EQ(TempFolder::readAll(target), image('n', 32));
    EXPECT_FALSE(fs::is_symlink(target));

    // In a sticky folder everyone may write, a stranger's link is not followed.
    fs::create_directory(dir.file("shared"));
    ::chmod(dir.file("shared").c_str(), 01777);
    const std::string planted = dir.file("shared/save-me.fsy");
    ASSERT_TRUE(asOtherUser([&] { return ::symlink(victim.c_str(), planted.c_str()) == 0; }));
    std::error_code why;
    EXPECT_FALSE(save(planted, image('x', 8), &why));
    EXPECT_EQ(why, std::errc::permission_denied);
    EXPECT_FALSE(platform::canWriteFile(planted));
    EXPECT_EQ(TempFolder::readAll(victim), image('v', 64));
}

// Two processes save the same file at once: every save succeeds and the file is always one
// of the two images, whole.
TEST_F(SafeFileWriterTest, TwoProcessesSavingAtOnceEachLeaveOneWholeFile) {
    const std::string target = dir.file("both.fsy");
    const Bytes a = image('a', 200000), b = image('b', 120000);
    ASSERT_TRUE(save(target, a));
    auto saver = [&](const Bytes& bytes) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            for (int i = 0; i < 40; ++i)
                if (!save(target, bytes)) ::_exit(1);
            ::_exit(0);
        }
        return pid;
    };
    const pid_t first = saver(a), second = saver(b);
    int torn = 0;
    for (int i = 0; i < 200; ++i) {
        const Bytes now = TempFolder::readAll(target);
        if (now != a && now != b) ++torn;
    }
    for (pid_t pid : {first, second}) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(torn, 0);
    const Bytes last = TempFolder::readAll(target);
    EXPECT_TRUE(last == a || last == b);
    EXPECT_EQ(entries(dir.path()), 1u);
}

// SIGKILL at any moment of a save: the target is the old or the new file, whole.
TEST_F(SafeFileWriterTest, KillDuringSaveLeavesTheOldOrTheNewFile) {
    const std::string target = dir.file("killed.fsy");
    const Bytes a = image('a', 3 << 20), b = image('b', 1 << 20);
    ASSERT_TRUE(save(target, a));
    std::mt19937 random(7);
    for (int round = 0; round < 25; ++round) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            for (int i = 0;; ++i) save(target, i % 2 ? a : b);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 20000));
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        const Bytes now = TempFolder::readAll(target);
        ASSERT_TRUE(now == a || now == b) << "round " << round << ": " << now.size() << " bytes";
    }
}

}  // namespace
