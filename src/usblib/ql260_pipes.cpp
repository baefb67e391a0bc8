// Data, interrupt and auxiliary transfers, descriptors, and the abort and reset of pipes: each one
// driver request on the open device.
#include <algorithm>
#include <cstring>

#include "platform/byte_order.h"
#include "usblib/globals.h"

using namespace ql260;

namespace {

constexpr uint8_t kDeviceToHostStandardDevice = 0x80;
constexpr uint8_t kGetDescriptor = 6;
constexpr uint16_t kDeviceDescriptor = 1;
constexpr uint16_t kConfigurationDescriptor = 2;

QL260_ULONG cappedLength(const QL260_ULONG* length) { return std::min<QL260_ULONG>(*length, QL260_MAX_DATA); }

QL260_BOOL readPipe(uint32_t function, uint32_t minimum, unsigned char* buffer, QL260_ULONG* length) {
    if (!length) return 0;
    QL260_ULONG wanted = cappedLength(length);
    DriverRequest request{};
    request.function = function;
    request.length = std::max<QL260_ULONG>(wanted, minimum);
    if (!sendRequest(request, QL260_REQUEST_HEADER, request.length + QL260_REQUEST_HEADER)) {
        *length = 0;
        return 0;
    }
    // What the driver delivered beyond the caller's length is dropped.
    QL260_ULONG done = std::min<QL260_ULONG>(wanted, request.length);
    if (done > 0) std::memcpy(buffer, request.data, done);
    *length = done;
    return 1;
}

QL260_BOOL writePipe(uint32_t function, const unsigned char* buffer, QL260_ULONG* length) {
    if (!length) return 0;
    QL260_ULONG wanted = cappedLength(length);
    DriverRequest request{};
    request.function = function;
    request.length = wanted;
    if (wanted > 0) std::memcpy(request.data, buffer, wanted);
    if (!sendRequest(request, wanted + QL260_REQUEST_HEADER, QL260_REQUEST_HEADER)) {
        *length = 0;
        return 0;
    }
    // A driver cannot have written more than it was given.
    *length = std::min<QL260_ULONG>(request.length, wanted);
    return 1;
}

QL260_BOOL getDescriptor(uint16_t type, unsigned char* buffer, QL260_ULONG* length) {
    if (!length) return 0;
    QL260_ULONG wanted = cappedLength(length);
    DriverRequest request{};
    request.function = QL260_FUNC_CONTROL;
    request.length = 8;
    // Setup packet: bmRequestType, bRequest, wValue (type, index 0), wIndex 0, wLength.
    request.data[0] = kDeviceToHostStandardDevice;
    request.data[1] = kGetDescriptor;
    fendal::platform::storeLe16(request.data + 2, static_cast<uint16_t>(type << 8));
    fendal::platform::storeLe16(request.data + 4, 0);
    fendal::platform::storeLe16(request.data + 6, static_cast<uint16_t>(wanted));
    if (!sendRequest(request, QL260_FIXED_REQUEST_SIZE, wanted + QL260_REQUEST_HEADER)) {
        *length = 0;
        return 0;
    }
    // Never more than the caller's buffer holds, whatever the driver reports.
    QL260_ULONG done = std::min<QL260_ULONG>(request.length, wanted);
    if (done > 0) std::memcpy(buffer, request.data, done);
    *length = done;
    return 1;
}

QL260_BOOL pipeRequest(uint32_t function, uint32_t pipe) {
    DriverRequest request{};
    request.function = function;
    request.length = 4;
    fendal::platform::storeLe32(request.data, pipe);
    return sendRequest(request, QL260_FIXED_REQUEST_SIZE, QL260_FIXED_REQUEST_SIZE) ? 1 : 0;
}

}  // namespace

extern "C" {

QL260_API QL260_BOOL QL260_CALL QL260ReadData(QL260_ULONG, unsigned char* buffer, QL260_ULONG* length) {
    return readPipe(QL260_FUNC_READ_DATA, QL260_MIN_READ_DATA, buffer, length);
}

QL260_API QL260_BOOL QL260_CALL QL260ReadInter(QL260_ULONG, unsigned char* buffer, QL260_ULONG* length) {
    return readPipe(QL260_FUNC_READ_INTER, QL260_MIN_READ_INTER, buffer, length);
}

QL260_API QL260_BOOL QL260_CALL QL260WriteData(QL260_ULONG, unsigned char* buffer, QL260_ULONG* length) {
    return writePipe(QL260_FUNC_WRITE_DATA, buffer, length);
}

QL260_API QL260_BOOL QL260_CALL QL260WriteAuxData(QL260_ULONG, unsigned char* buffer, QL260_ULONG* length) {
    return writePipe(QL260_FUNC_WRITE_AUX, buffer, length);
}

QL260_API QL260_BOOL QL260_CALL QL260GetDeviceDescr(QL260_ULONG, unsigned char* buffer, QL260_ULONG* length) {
    return getDescriptor(kDeviceDescriptor, buffer, length);
}

QL260_API QL260_BOOL QL260_CALL QL260GetConfigDescr(QL260_ULONG, unsigned char* buffer, QL260_ULONG* length) {
    return getDescriptor(kConfigurationDescriptor, buffer, length);
}

QL260_API QL260_BOOL QL260_CALL QL260AbortRead(QL260_ULONG) {
    return pipeRequest(QL260_FUNC_ABORT_PIPE, QL260_PIPE_READ);
}
QL260_API QL260_BOOL QL260_CALL QL260AbortWrite(QL260_ULONG) {
    return pipeRequest(QL260_FUNC_ABORT_PIPE, QL260_PIPE_WRITE);
}
QL260_API QL260_BOOL QL260_CALL QL260AbortInter(QL260_ULONG) {
    return pipeRequest(QL260_FUNC_ABORT_PIPE, QL260_PIPE_INTER);
}
QL260_API QL260_BOOL QL260_CALL QL260ResetRead(QL260_ULONG) {
    return pipeRequest(QL260_FUNC_RESET_PIPE, QL260_PIPE_READ);
}
QL260_API QL260_BOOL QL260_CALL QL260ResetWrite(QL260_ULONG) {
    return pipeRequest(QL260_FUNC_RESET_PIPE, QL260_PIPE_WRITE);
}
QL260_API QL260_BOOL QL260_CALL QL260ResetInter(QL260_ULONG) {
    return pipeRequest(QL260_FUNC_RESET_PIPE, QL260_PIPE_INTER);
}
QL260_API QL260_BOOL QL260_CALL QL260ResetAux(QL260_ULONG) {
    return pipeRequest(QL260_FUNC_RESET_PIPE, QL260_PIPE_AUX);
}

}  // extern "C"
