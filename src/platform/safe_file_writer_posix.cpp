// Safe writes on POSIX systems: exclusive temporary file beside the real target, fsync,
// rename, folder sync; in place where the folder or the target's identity forbids that.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <random>
#include <vector>

#include "platform/file_error.h"
#include "platform/safe_file_writer_target.h"

namespace fendal::platform {

namespace detail {
namespace {

std::error_code lastError() { return systemError(errno); }

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Follows links at the end of the path to the file they name, as opening it would. Like the
// system's own protection of shared folders, a link in a sticky folder that others may write
// is followed only when we or the folder's owner made it.
std::error_code resolveLinks(std::string& path) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0) return errno == ENOENT ? std::error_code() : lastError();
        if (!S_ISLNK(st.st_mode)) return {};
        const std::string folder = folderOf(path);
        struct stat dir {};
        if (::stat(folder.c_str(), &dir) != 0) return lastError();
        const bool shared = (dir.st_mode & S_ISVTX) && (dir.st_mode & S_IWOTH);
        if (shared && st.st_uid != ::geteuid() && st.st_uid != dir.st_uid) return systemError(EACCES);
        std::vector<char> buf(PATH_MAX + 1);
        const ssize_t n = ::readlink(path.c_str(), buf.data(), buf.size());
        if (n < 0) return lastError();
        if (static_cast<std::size_t>(n) >= buf.size()) return systemError(ENAMETOOLONG);
        const std::string link(buf.data(), static_cast<std::size_t>(n));
        path = link.front() == '/' ? link : folder + "/" + link;
    }
    return systemError(ELOOP);
}

std::error_code writeAll(int fd, const unsigned char* data, std::size_t size, off_t at = -1) {
    while (size > 0) {
        const ssize_t n = at < 0 ? ::write(fd, data, size) : ::pwrite(fd, data, size, at);
        if (n < 0) {
            if (errno == EINTR) continue;
            return lastError();
        }
        data += n;
        size -= static_cast<std::size_t>(n);
        if (at >= 0) at += n;
    }
    return {};
}

std::error_code closeChecked(int& fd) {
    const int r = ::close(fd);
    fd = -1;
    return r == 0 || errno == EINTR ? std::error_code() : lastError();
}

// A hidden name beside the target that no one can guess: ".<name>.fendal-<random>".
std::string temporaryName(const std::string& folder, const std::string& name) {
    thread_local std::mt19937_64 random{std::random_device{}()};
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, ".fendal-%012llx",
                  static_cast<unsigned long long>(random() & 0xFFFFFFFFFFFFull));
    return folder + "/." + name.substr(0, 200) + suffix;
}

class TemporaryFile : public WriteTarget {
public:
    TemporaryFile(int fd, std::string temp, std::string target)
        : fd_(fd), temp_(std::move(temp)), target_(std::move(target)) {}
    ~TemporaryFile() override {
        if (fd_ >= 0) ::close(fd_);
        if (!temp_.empty()) ::unlink(temp_.c_str());
    }
    bool inPlace() const override { return false; }
    std::error_code write(const unsigned char* data, std::size_t size) override { return writeAll(fd_, data, size); }
    std::error_code commit(const unsigned char* data, std::size_t size) override {
        if (auto e = writeAll(fd_, data, size)) return e;
        if (::fsync(fd_) != 0) return lastError();
        if (auto e = closeChecked(fd_)) return e;
        if (::rename(temp_.c_str(), target_.c_str()) != 0) return lastError();
        temp_.clear();
        // Without this a power cut can bring the old file back. Some file systems cannot sync
        // a folder; the data itself is on disk by now.
        const int dir = ::open(folderOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dir >= 0) {
            ::fsync(dir);
            ::close(dir);
        }
        return {};
    }

private:
    int fd_;
    std::string temp_;
    std::string target_;
};

class InPlaceFile : public WriteTarget {
public:
    explicit InPlaceFile(int fd) : fd_(fd) {}
    ~InPlaceFile() override {
        if (fd_ >= 0) ::close(fd_);
    }
    bool inPlace() const override { return true; }
    std::error_code write(const unsigned char*, std::size_t) override { return systemError(EINVAL); }
    std::error_code commit(const unsigned char* data, std::size_t size) override {
#if defined(__linux__)
        // Reserve the room first, so a full disk fails before the old content is touched.
        if (::fallocate(fd_, 0, 0, static_cast<off_t>(size)) != 0 && errno != EOPNOTSUPP && errno != ENOSYS)
            return lastError();
#endif
        if (auto e = writeAll(fd_, data, size, 0)) return e;
        if (::fsync(fd_) != 0) return lastError();
        if (::ftruncate(fd_, static_cast<off_t>(size)) != 0) return lastError();
        if (::fsync(fd_) != 0) return lastError();
        return closeChecked(fd_);
    }

private:
    int fd_;
};

std::unique_ptr<WriteTarget> openInPlace(const std::string& target, std::error_code& error) {
    const int fd = ::open(target.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0) {
        error = lastError();
    } else if (!S_ISREG(st.st_mode)) {
        error = FileError::notRegularFile;
    }
    if (error) {
        if (fd >= 0) ::close(fd);
        return nullptr;
    }
    return std::make_unique<InPlaceFile>(fd);
}

// Gives the new file the target's owner, group and mode; false when we may not.
bool takeIdentity(int fd, const struct stat& target) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return false;
    if ((st.st_uid != target.st_uid || st.st_gid != target.st_gid) && ::fchown(fd, target.st_uid, target.st_gid) != 0)
        return false;
    return ::fchmod(fd, target.st_mode & 07777) == 0;
}

}  // namespace

std::unique_ptr<WriteTarget> openWriteTarget(const std::string& path, std::error_code& error) {
    error.clear();
    std::string target = path;
    if ((error = resolveLinks(target))) return nullptr;
    const std::string name = nameOf(target);
    if (name.empty()) {
        error = systemError(EISDIR);
        return nullptr;
    }
    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (!exists && errno != ENOENT) {
        error = lastError();
        return nullptr;
    }
    if (exists) {
        if (S_ISDIR(st.st_mode))
            error = systemError(EISDIR);
        else if (!S_ISREG(st.st_mode))
            error = FileError::notRegularFile;
        // Replacing a file we may not write would go round its protection.
        else if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
            error = lastError();
        if (error) return nullptr;
    }

    const std::string folder = folderOf(target);
    int fd = -1;
    std::string temp;
    int tempError = 0;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = temporaryName(folder, name);
        // O_EXCL never opens an existing name, a link included: nothing planted is followed.
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, exists ? 0600 : 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) tempError = errno;

    if (fd >= 0 && exists && (st.st_nlink > 1 || !takeIdentity(fd, st))) {
        // A new file would split the hard links or lose the owner: write in place instead.
        ::close(fd);
        ::unlink(temp.c_str());
        fd = -1;
    }
    if (fd >= 0) return std::make_unique<TemporaryFile>(fd, temp, target);
    if (!exists) {
        error = systemError(tempError);
        return nullptr;
    }
    // The folder cannot take a new file, but the file itself may be written.
    return openInPlace(target, error);
}

bool targetWritable(const std::string& path) {
    std::string target = path;
    if (resolveLinks(target)) return false;
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0)
        return S_ISREG(st.st_mode) && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) == 0;
    return errno == ENOENT && !nameOf(target).empty() &&
           ::faccessat(AT_FDCWD, folderOf(target).c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

}  // namespace detail

}  // namespace fendal::platform
