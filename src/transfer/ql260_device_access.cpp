#include "usblib/ql260.h"
#include "transfer/device_path.h"
#include "transfer/usb_device_access.h"

namespace fendal::transfer {

bool Ql260DeviceAccess::openDevice(uint32_t index) { return QL260OpenDevice(index) != QL260_INVALID_HANDLE; }

const char* Ql260DeviceAccess::deviceName(uint32_t index) { return QL260GetDeviceName(index); }

bool Ql260DeviceAccess::writeData(uint32_t index, unsigned char* buffer, uint32_t& length) {
    QL260_ULONG n = length;
    const bool ok = QL260WriteData(index, buffer, &n) != 0;
    length = n;
    return ok;
}

bool Ql260DeviceAccess::readData(uint32_t index, unsigned char* buffer, uint32_t& length) {
    QL260_ULONG n = length;
    const bool ok = QL260ReadData(index, buffer, &n) != 0;
    length = n;
    return ok;
}

bool Ql260DeviceAccess::abortWrite(uint32_t index) { return QL260AbortWrite(index) != 0; }

bool Ql260DeviceAccess::abortRead(uint32_t index) { return QL260AbortRead(index) != 0; }

void Ql260DeviceAccess::closeDevice(uint32_t index) { QL260CloseDevice(index); }

intptr_t Ql260DeviceAccess::openPath(const std::string& path) { return device_path::open(path); }

void Ql260DeviceAccess::closePath(intptr_t handle) { device_path::close(handle); }

}  // namespace fendal::transfer
