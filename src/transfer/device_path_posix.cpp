// On POSIX systems a USB device path is a device node, the socket of the socket driver or a
// libusb device name "usb:BUS-PORTS". A socket is "opened" by connecting a new stream to it, as
// the library does, so that a device that has stopped accepting cannot hold the start for ever;
// a libusb name stands for the device's sysfs folder: opening that shows the device is there.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "transfer/device_path.h"
#include "usblib/socket_protocol.h"

namespace fendal::transfer {

namespace device_path {

intptr_t open(const std::string& path) {
    if (path.rfind("usb:", 0) == 0) {
        const std::string ports = path.substr(4);
        if (ports.empty() || ports.find_first_not_of("0123456789-.") != std::string::npos) return -1;
        return ::open(("/sys/bus/usb/devices/" + ports).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    }
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return -1;
    if (!S_ISSOCK(info.st_mode)) return ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    return ql260sock::connectDevice(path);
}

void close(intptr_t handle) {
    if (handle >= 0) ::close(static_cast<int>(handle));
}

}  // namespace device_path

}  // namespace fendal::transfer
