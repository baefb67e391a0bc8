#pragma once
// The chip's kernel-mode driver as the library sees it: find a device of the library's interface
// class, open it, send I/O-control requests, close it. One backend per file:
// driver_win32.cpp (device installation services + DeviceIoControl) on Windows; on Linux
// driver_socket.cpp (the socket driver served by fendal-instrument) and driver_libusb.cpp (the
// USB chip itself through libusb), of which driver_select.cpp picks one. driver_trace.cpp
// logs every call on its way to the backend when FENDAL_TRACE names "usb".
#include <cstdint>
#include <optional>
#include <string>

#include "usblib/ql260.h"

namespace ql260 {

class Driver {
public:
    virtual ~Driver() = default;

    // Interface path of present device `index` (from 0); none when there is no such device or
    // its path does not fit dllDeviceName.
    virtual std::optional<std::string> devicePath(uint32_t index) = 0;

    // The file whose lock stands for device `path` while one process has it open (see
    // QL260OpenDevice); none where the backend keeps its devices apart itself.
    virtual std::optional<std::string> lockFile(const std::string& path) = 0;

    // Opens a device path for reading and writing; QL260_INVALID_HANDLE on failure.
    // An overlapped handle (the interrupt thread's) may have a request pending while requests
    // on other handles go on.
    virtual QL260_HANDLE open(const std::string& path, bool overlapped) = 0;

    // One request with `buffer` as input (inSize bytes) and output (outSize bytes); the buffer
    // holds at least the larger of the two. Waits for completion, also on overlapped handles.
    virtual bool ioControl(QL260_HANDLE handle, uint32_t controlCode, void* buffer, uint32_t inSize, uint32_t outSize,
                           uint32_t& bytesReturned) = 0;

    virtual bool close(QL260_HANDLE handle) = 0;
};

// What the library calls: the backend of this system, behind the trace when that is on.
Driver& driver();
// The backend of this system itself.
Driver& systemDriver();

#ifndef _WIN32
Driver& socketDriver();
Driver& libusbDriver();
// Names of libusb devices ("usb:BUS-PORTS") start with this; socket devices are full paths.
inline constexpr char kLibusbNamePrefix[] = "usb:";
#endif

// The interrupt thread raises itself so that it does not miss interrupts behind ordinary work;
// where the system refuses a higher priority, the thread runs at the normal one.
void raiseCurrentThreadToTimeCritical();

}  // namespace ql260
