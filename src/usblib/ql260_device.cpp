// Finding, opening and closing the process's one device; raw driver requests.
#include <cstring>
#include <mutex>

#include "platform/file_lock.h"
#include "usblib/driver.h"
#include "usblib/globals.h"

namespace ql260 {

char dllDeviceName[QL260_DEVICE_NAME_SIZE] = {};
std::atomic<QL260_INT_ROUTINE> dllIntRoutine{nullptr};
std::atomic<uint32_t> dllIntThreadId{0};
std::atomic<QL260_HANDLE> dllHandle{nullptr};

bool sendRequest(DriverRequest& request, uint32_t inSize, uint32_t outSize) {
    uint32_t returned = 0;
    return driver().ioControl(dllHandle.load(), QL260_IOCTL_REQUEST, &request, inSize, outSize, returned);
}

}  // namespace ql260

using namespace ql260;

namespace {

// One transfer per device: while this process has the device open it holds the device's lock,
// so that another process (another program, a second fendal-cli) cannot open it and mix its
// requests with ours.
fendal::platform::FileLock deviceLock;
// Open and close may come from different threads (a dialog opens, its worker closes).
std::mutex openCloseLock;

void closeOpenDevice() {
    QL260_HANDLE handle = dllHandle.exchange(QL260_INVALID_HANDLE);
    // Forgetting the closed handle keeps later calls from reaching whatever reuses its value.
    if (handle != QL260_INVALID_HANDLE && handle != nullptr) driver().close(handle);
    deviceLock.unlock();
}

}  // namespace

extern "C" {

QL260_API const char* QL260_CALL QL260GetDeviceName(QL260_ULONG index) {
    std::optional<std::string> path = driver().devicePath(index);
    if (!path || path->size() >= sizeof dllDeviceName) return nullptr;
    std::memcpy(dllDeviceName, path->c_str(), path->size() + 1);
    return dllDeviceName;
}

QL260_API QL260_HANDLE QL260_CALL QL260OpenDevice(QL260_ULONG index) {
    std::lock_guard guard(openCloseLock);
    // The earlier device can no longer be reached through any call: close it rather than leak
    // it, and first, so that opening the same device again finds it free.
    closeOpenDevice();
    const char* name = QL260GetDeviceName(index);
    if (!name) return QL260_INVALID_HANDLE;
    // A device that cannot be locked may be in use: it is not opened.
    if (std::optional<std::string> lockFile = driver().lockFile(name);
        lockFile && deviceLock.lock(*lockFile) != fendal::platform::FileLock::Result::Locked)
        return QL260_INVALID_HANDLE;
    QL260_HANDLE handle = driver().open(name, false);
    if (handle == QL260_INVALID_HANDLE) deviceLock.unlock();
    dllHandle = handle;
    return handle;
}

QL260_API void QL260_CALL QL260CloseDevice(QL260_ULONG) {
    dllIntRoutine = nullptr;
    if (dllIntThreadId != 0) QL260SetIntRoutine(0, nullptr);
    std::lock_guard guard(openCloseLock);
    closeOpenDevice();
}

QL260_API QL260_ULONG QL260_CALL QL260DriverCommand(QL260_ULONG, DriverRequest* request) {
    // A length beyond the record would make the driver read and write past the caller's buffer.
    if (!request || request->length > QL260_MAX_DATA) return 0;
    uint32_t size = request->length + QL260_REQUEST_HEADER;
    uint32_t returned = 0;
    if (!driver().ioControl(dllHandle.load(), QL260_IOCTL_REQUEST, request, size, size, returned)) return 0;
    return returned;
}

QL260_API QL260_ULONG QL260_CALL QL260GetVersion(void) { return 1; }

}  // extern "C"
