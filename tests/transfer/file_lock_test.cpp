// The lock that keeps two transfers out of one received-data file.
#include "platform/file_lock.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

using namespace fendal;

namespace {

using platform::FileLock;

std::string folder() { return std::string(std::getenv("XDG_RUNTIME_DIR")) + "/"; }

std::string contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(FileLock, SecondHolderIsRefusedAndChangesNothing) {
    const std::string path = folder() + "held.tem";
    std::ofstream(path) << "earlier data";
    FileLock first;
    FileLock second;
    ASSERT_EQ(first.lock(path), FileLock::Result::Locked);
    EXPECT_EQ(second.lock(path), FileLock::Result::Busy);
    EXPECT_EQ(contents(path), "earlier data");

    // The holder rewrites the file; closing its stream does not give up the lock.
    platform::UniqueFile out = first.rewrite();
    ASSERT_NE(out, nullptr);
    std::fputs("new", out.get());
    out.reset();
    EXPECT_EQ(contents(path), "new");
    EXPECT_EQ(second.lock(path), FileLock::Result::Busy);

    first.unlock();
    EXPECT_EQ(second.lock(path), FileLock::Result::Locked);
    EXPECT_EQ(contents(path), "new");
    EXPECT_EQ(first.rewrite(), nullptr);  // not held any more
}

// Another local user's link or FIFO where we write, or a folder in the file's place: refused
// with a reason, at once, and nothing is written through them.
TEST(FileLock, RefusesWhatIsNoPlainFile) {
    const std::string target = folder() + "elsewhere";
    std::ofstream(target) << "keep";
    const std::string link = folder() + "link.tem";
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
    const std::string fifo = folder() + "fifo.tem";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string dir = folder() + "dir.tem";
    ASSERT_EQ(::mkdir(dir.c_str(), 0700), 0);

    for (const std::string& path : {link, fifo, dir}) {
        FileLock lock;
        EXPECT_EQ(lock.lock(path), FileLock::Result::Failed) << path;
        EXPECT_EQ(lock.errorText().rfind(path + ": ", 0), 0u) << lock.errorText();
        EXPECT_FALSE(lock.locked());
    }
    EXPECT_EQ(contents(target), "keep");

    // A FIFO with a reader on the other end is no file either.
    const pid_t reader = ::fork();
    if (reader == 0) {
        std::ifstream hold(fifo);
        ::pause();
        ::_exit(0);
    }
    FileLock lock;
    FileLock::Result result = FileLock::Result::Locked;
    for (int i = 0; i < 100; ++i) {  // until the reader has opened its end
        result = lock.lock(fifo);
        if (lock.errorText().find("not a regular file") != std::string::npos) break;
        ::usleep(10000);
    }
    ::kill(reader, SIGKILL);
    ::waitpid(reader, nullptr, 0);
    EXPECT_EQ(result, FileLock::Result::Failed);
    EXPECT_NE(lock.errorText().find("not a regular file"), std::string::npos) << lock.errorText();
}

// A holder killed at any moment leaves no stale lock behind.
TEST(FileLock, HolderThatDiesGivesItUp) {
    const std::string path = folder() + "killed.tem";
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t holder = ::fork();
    if (holder == 0) {
        FileLock lock;
        const char answer = lock.lock(path) == FileLock::Result::Locked ? 'y' : 'n';
        [[maybe_unused]] ssize_t n = ::write(ready[1], &answer, 1);
        ::pause();
        ::_exit(0);
    }
    char answer = 0;
    ASSERT_EQ(::read(ready[0], &answer, 1), 1);
    EXPECT_EQ(answer, 'y');
    FileLock lock;
    EXPECT_EQ(lock.lock(path), FileLock::Result::Busy);
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    EXPECT_EQ(lock.lock(path), FileLock::Result::Locked);
    ::close(ready[0]);
    ::close(ready[1]);
}

}  // namespace
