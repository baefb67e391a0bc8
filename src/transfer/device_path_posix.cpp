// On POSIX systems a USB device path is either a device node or the socket of the socket
// driver; a socket is "opened" by connecting a new stream to it.
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

#include "transfer/device_path.h"

namespace device_path {

intptr_t open(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return -1;
    if (!S_ISSOCK(info.st_mode)) return ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    sockaddr_un address{};
    if (path.size() >= sizeof address.sun_path) return -1;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.data(), path.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void close(intptr_t handle) {
    if (handle >= 0) ::close(static_cast<int>(handle));
}

}  // namespace device_path
