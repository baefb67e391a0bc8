#pragma once
// The library's state: one open device per process. Atomics, because the interrupt thread reads
// the routine and clears its thread id while callers run on their own threads.
#include <atomic>
#include <cstdint>

#include "usblib/ql260.h"

namespace ql260 {

// Path of the device named last by QL260GetDeviceName.
extern char dllDeviceName[QL260_DEVICE_NAME_SIZE];
extern std::atomic<QL260_INT_ROUTINE> dllIntRoutine;
// Non-zero while an interrupt thread runs.
extern std::atomic<uint32_t> dllIntThreadId;
// The device opened by QL260OpenDevice; every request except the interrupt thread's uses it.
extern std::atomic<QL260_HANDLE> dllHandle;

// One request on dllHandle with `request` as input and output buffer.
bool sendRequest(DriverRequest& request, uint32_t inSize, uint32_t outSize);

}  // namespace ql260
