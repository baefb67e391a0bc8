// On Windows a USB device path is opened as a file on the chip's driver.
#include <windows.h>

#include "platform/utf16_win32.h"
#include "transfer/device_path.h"

namespace fendal::transfer {

namespace device_path {

intptr_t open(const std::string& path) {
    HANDLE h = CreateFileW(platform::toUtf16(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    return h == INVALID_HANDLE_VALUE ? -1 : reinterpret_cast<intptr_t>(h);
}

void close(intptr_t handle) {
    if (handle != -1) CloseHandle(reinterpret_cast<HANDLE>(handle));
}

}  // namespace device_path

}  // namespace fendal::transfer
