// The interrupt thread: while a routine is set, it waits for interrupt data on its own handle and
// hands every 8 bytes to the routine.
#include <chrono>
#include <string>
#include <system_error>
#include <thread>

#include "usblib/driver.h"
#include "usblib/globals.h"

using namespace ql260;

namespace {

std::atomic<uint32_t> lastThreadId{0};

uint32_t newThreadId() {
    uint32_t id;
    do {
        id = ++lastThreadId;
    } while (id == 0);
    return id;
}

void dllInterruptThread(std::string path) {
    raiseCurrentThreadToTimeCritical();
    QL260_HANDLE handle = driver().open(path, true);
    if (handle != QL260_INVALID_HANDLE) {
        while (dllIntRoutine.load() != nullptr) {
            DriverRequest request{};
            request.function = QL260_FUNC_READ_INTER;
            request.length = QL260_INTER_DATA_SIZE;
            uint32_t returned = 0;
            if (driver().ioControl(handle, QL260_IOCTL_REQUEST, &request, QL260_FIXED_REQUEST_SIZE,
                                   QL260_FIXED_REQUEST_SIZE, returned)) {
                if (QL260_INT_ROUTINE routine = dllIntRoutine.load()) routine(request.data);
                continue;
            }
            if (dllIntRoutine.load() == nullptr) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        driver().close(handle);
    }
    dllIntThreadId = 0;
}

}  // namespace

extern "C" {

QL260_API QL260_BOOL QL260_CALL QL260SetIntRoutine(QL260_ULONG, QL260_INT_ROUTINE routine) {
    dllIntRoutine = nullptr;
    while (dllIntThreadId.load() != 0) {
        QL260AbortInter(0);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (!routine) return 1;
    dllIntRoutine = routine;
    // The id is set before the thread starts, so a thread that ends at once cannot leave it set.
    dllIntThreadId = newThreadId();
    try {
        std::thread(dllInterruptThread, std::string(dllDeviceName)).detach();
    } catch (const std::system_error&) {
        dllIntThreadId = 0;
        return 0;
    }
    return 1;
}

}  // extern "C"
