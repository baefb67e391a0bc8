#include "platform/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace fendal::platform {

UniqueFile openRegularFile(const std::string& path, std::error_code& error) {
    error.clear();
    // O_NONBLOCK: opening a FIFO without a writer returns at once instead of waiting for one.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        error = systemError(errno);
        return nullptr;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        error = systemError(errno);
    } else if (S_ISDIR(st.st_mode)) {
        error = systemError(EISDIR);
    } else if (!S_ISREG(st.st_mode)) {
        error = FileError::notRegularFile;
    } else if (const int flags = ::fcntl(fd, F_GETFL); flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        error = systemError(errno);
    }
    if (error) {
        ::close(fd);
        return nullptr;
    }
    std::FILE* file = ::fdopen(fd, "rb");
    if (!file) {
        error = systemError(errno);
        ::close(fd);
    }
    return UniqueFile(file);
}

}  // namespace fendal::platform
