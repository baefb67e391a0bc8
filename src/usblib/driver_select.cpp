// Linux: which driver backend serves the library. The socket driver when $QL260_DEVICE_DIR is set
// or its device folder holds devices (a virtual instrument runs), else the USB chip through
// libusb; $QL260_DRIVER=socket or libusb forces one. The choice is made again at every
// enumeration, so an instrument started later is found, and a handle stays with the backend
// that opened it.
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "usblib/driver.h"
#include "usblib/handle_table.h"
#include "usblib/socket_protocol.h"

namespace ql260 {
namespace {

// The backend in force now; null when $QL260_DRIVER names none.
Driver* chosenBackend() {
    if (const char* forced = std::getenv("QL260_DRIVER"); forced && *forced) {
        if (std::strcmp(forced, "socket") == 0) return &socketDriver();
        if (std::strcmp(forced, "libusb") == 0) return &libusbDriver();
        return nullptr;
    }
    const char* folder = std::getenv("QL260_DEVICE_DIR");
    if ((folder && *folder) || !ql260sock::listDevices(ql260sock::deviceFolder()).empty()) return &socketDriver();
    return &libusbDriver();
}

Driver& backendOf(const std::string& path) {
    return path.rfind(kLibusbNamePrefix, 0) == 0 ? libusbDriver() : socketDriver();
}

class SelectingDriver final : public Driver {
public:
    std::optional<std::string> devicePath(uint32_t index) override {
        Driver* backend = chosenBackend();
        if (!backend) {
            errno = EINVAL;
            return std::nullopt;
        }
        return backend->devicePath(index);
    }

    std::optional<std::string> lockFile(const std::string& path) override { return backendOf(path).lockFile(path); }

    QL260_HANDLE open(const std::string& path, bool overlapped) override {
        Driver& backend = backendOf(path);
        QL260_HANDLE inner = backend.open(path, overlapped);
        if (inner == QL260_INVALID_HANDLE) return inner;
        // Our own numbers: the two backends count their handles independently.
        return handles_.add({&backend, inner});
    }

    bool ioControl(QL260_HANDLE handle, uint32_t controlCode, void* buffer, uint32_t inSize, uint32_t outSize,
                   uint32_t& bytesReturned) override {
        const std::optional<Opened> opened = handles_.find(handle);
        if (!opened) {
            bytesReturned = 0;
            return false;
        }
        return opened->backend->ioControl(opened->inner, controlCode, buffer, inSize, outSize, bytesReturned);
    }

    bool close(QL260_HANDLE handle) override {
        const auto removed = handles_.remove(handle);
        if (!removed) return false;
        return removed->value.backend->close(removed->value.inner);
    }

private:
    struct Opened {
        Driver* backend = nullptr;
        QL260_HANDLE inner = QL260_INVALID_HANDLE;
        bool operator==(const Opened&) const = default;
    };

    HandleTable<Opened> handles_;
};

}  // namespace

Driver& systemDriver() {
    // Never destroyed: a detached interrupt thread may still use it while the process exits.
    static SelectingDriver* instance = new SelectingDriver;
    return *instance;
}

}  // namespace ql260
