// On POSIX systems a USB device path is either a device node or the socket of the socket
// driver; a socket is "opened" by connecting a new stream to it, as the library does, so that a
// device that has stopped accepting cannot hold the start for ever.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "transfer/device_path.h"
#include "usblib/socket_protocol.h"

namespace device_path {

intptr_t open(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return -1;
    if (!S_ISSOCK(info.st_mode)) return ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    return ql260sock::connectDevice(path);
}

void close(intptr_t handle) {
    if (handle >= 0) ::close(static_cast<int>(handle));
}

}  // namespace device_path
