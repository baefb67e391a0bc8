// File locks on POSIX systems: flock on a descriptor of our own. flock, not fcntl: a record lock
// would go away as soon as this process closed any other descriptor of the same file.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/file_lock.h"

namespace fendal::platform {

namespace {

bool sameFile(int fd, const std::string& path) {
    struct stat opened {};
    struct stat named {};
    return ::fstat(fd, &opened) == 0 && ::lstat(path.c_str(), &named) == 0 && opened.st_dev == named.st_dev &&
           opened.st_ino == named.st_ino;
}

}  // namespace

std::optional<FileLock::Result> FileLock::lockOnce(const std::string& path) {
    // Never through a planted link, and never blocked by a FIFO without a reader.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) {
        m_error = path + ": " + (errno == ELOOP ? "a symbolic link" : std::strerror(errno));
        return Result::Failed;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        m_error = path + ": not a regular file";
        ::close(fd);
        return Result::Failed;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    int rc;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK) return Result::Busy;
        m_error = path + ": " + std::strerror(error);
        return Result::Failed;
    }
    if (!sameFile(fd, path)) {
        ::close(fd);
        return std::nullopt;
    }
    m_handle = fd;
    return Result::Locked;
}

void FileLock::closeHandle(intptr_t handle) { ::close(static_cast<int>(handle)); }

std::FILE* FileLock::rewriteLocked() {
    const int fd = static_cast<int>(m_handle);
    // The stream has a descriptor of its own on the same open file, so closing it keeps the lock.
    const int copy = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (copy < 0 || ::ftruncate(fd, 0) != 0 || ::lseek(fd, 0, SEEK_SET) != 0) {
        m_error = std::strerror(errno);
        if (copy >= 0) ::close(copy);
        return nullptr;
    }
    std::FILE* stream = ::fdopen(copy, "wb");
    if (!stream) {
        m_error = std::strerror(errno);
        ::close(copy);
    }
    return stream;
}

}  // namespace fendal::platform
