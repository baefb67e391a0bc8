#include "platform/temp_dir.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "platform/file_error.h"

namespace fendal::platform {

namespace {

// A real folder (not a link) of ours that no one else can enter.
bool isPrivate(const std::string& dir) {
    struct stat st {};
    return ::lstat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & 077) == 0;
}

// Our own folder `dir`: created private when missing; an existing one is taken only when it is
// already private. The mode of a folder we did not create is never changed.
bool ownFolder(const std::string& dir) {
    if (::mkdir(dir.c_str(), 0700) == 0) {
        // Ours, just made: a strange umask must not leave it unusable.
        return ::chmod(dir.c_str(), 0700) == 0 && isPrivate(dir);
    }
    return errno == EEXIST && isPrivate(dir);
}

}  // namespace

std::string tempDir() {
    // The runtime folder counts only when it is absolute and private, as the XDG rules say.
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] == '/' && isPrivate(runtime)) {
        const std::string dir = std::string(runtime) + "/fendal";
        if (ownFolder(dir)) return dir + "/";
    }
    const std::string dir = "/tmp/fendal-" + std::to_string(::getuid());
    if (ownFolder(dir)) return dir + "/";
    return {};
}

std::string createScratchFile(const std::string& stem, std::error_code& error) {
    error.clear();
    const std::string dir = tempDir();
    if (dir.empty()) {
        error = FileError::noPrivateFolder;
        return {};
    }
    std::string name = dir + stem + "-XXXXXX";
    std::vector<char> buf(name.begin(), name.end());
    buf.push_back('\0');
    const int fd = ::mkostemp(buf.data(), O_CLOEXEC);
    if (fd < 0) {
        error = systemError(errno);
        return {};
    }
    ::close(fd);
    return buf.data();
}

char pathSeparator() { return '/'; }

}  // namespace fendal::platform
