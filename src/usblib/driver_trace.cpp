// The library's one choke point for field diagnosis: with FENDAL_TRACE=usb every call on its way
// to the driver backend (socket, libusb or Windows) is written to standard error: a request as
// it is sent, so that one the device never answers still shows, and again with its result.
// Without the variable the library calls the backend directly.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

#include "platform/byte_order.h"
#include "platform/trace.h"
#include "usblib/driver.h"

namespace ql260 {
namespace {

// Data bytes shown per request: the instrument's requests and answers fit, a block's start shows.
constexpr std::size_t kShownBytes = 16;

// The reason the backend left for a failure (errno, or the last error on Windows), kept for the
// caller while the line is written.
class SavedError {
public:
#ifdef _WIN32
    SavedError() : code_(static_cast<int>(GetLastError())) {}
    ~SavedError() { SetLastError(static_cast<DWORD>(code_)); }
    std::string text() const { return "error " + std::to_string(code_); }
#else
    SavedError() : code_(errno) {}
    ~SavedError() { errno = code_; }
    std::string text() const { return "error " + std::to_string(code_) + " (" + std::strerror(code_) + ")"; }
#endif
    SavedError(const SavedError&) = delete;
    SavedError& operator=(const SavedError&) = delete;

private:
    int code_;
};

void line(const std::string& text) {
    fendal::platform::trace(fendal::platform::TraceChannel::Usb, "usb: %s\n", text.c_str());
}

std::string handleText(QL260_HANDLE handle) {
    char text[32];
    std::snprintf(text, sizeof text, "%p", static_cast<void*>(handle));
    return text;
}

std::string hexBytes(const unsigned char* data, std::size_t size) {
    std::string out;
    char byte[4];
    for (std::size_t i = 0; i < std::min(size, kShownBytes); ++i) {
        std::snprintf(byte, sizeof byte, " %02x", data[i]);
        out += byte;
    }
    if (size > kShownBytes) out += " ...";
    return out;
}

std::string functionName(uint32_t function) {
    switch (function) {
    case QL260_FUNC_CONTROL: return "control";
    case QL260_FUNC_READ_INTER: return "read interrupt";
    case QL260_FUNC_READ_DATA: return "read data";
    case QL260_FUNC_WRITE_DATA: return "write data";
    case QL260_FUNC_WRITE_AUX: return "write aux";
    case QL260_FUNC_RESET_PIPE: return "reset pipe";
    case QL260_FUNC_ABORT_PIPE: return "abort pipe";
    default: return "function " + std::to_string(function);
    }
}

bool returnsData(uint32_t function) {
    return function == QL260_FUNC_CONTROL || function == QL260_FUNC_READ_INTER || function == QL260_FUNC_READ_DATA;
}

// What a request asks: its function, length field and the bytes that matter for that function.
std::string describeRequest(uint32_t controlCode, const unsigned char* request, uint32_t inSize, uint32_t outSize) {
    std::string out;
    if (controlCode != QL260_IOCTL_REQUEST) {
        char code[32];
        std::snprintf(code, sizeof code, "control code 0x%08x ", static_cast<unsigned>(controlCode));
        out += code;
    }
    if (inSize < QL260_REQUEST_HEADER) {
        out += "short request";
    } else {
        const uint32_t function = fendal::platform::loadLe32(request);
        const uint32_t length = fendal::platform::loadLe32(request + 4);
        const unsigned char* data = request + QL260_REQUEST_HEADER;
        const std::size_t given = inSize - QL260_REQUEST_HEADER;
        out += functionName(function) + " length " + std::to_string(length);
        if (function == QL260_FUNC_CONTROL)
            out += " setup" + hexBytes(data, std::min<std::size_t>(given, 8));
        else if ((function == QL260_FUNC_ABORT_PIPE || function == QL260_FUNC_RESET_PIPE) && given >= 4)
            out += " pipe " + std::to_string(fendal::platform::loadLe32(data));
        else if (function == QL260_FUNC_WRITE_DATA || function == QL260_FUNC_WRITE_AUX)
            out += " data" + hexBytes(data, std::min<std::size_t>(given, length));
    }
    return out + " (in " + std::to_string(inSize) + ", out " + std::to_string(outSize) + ")";
}

// What came back: the driver's byte count, and for a request that returns data its length field
// and the data.
std::string describeReply(uint32_t function, const unsigned char* reply, uint32_t bytesReturned) {
    std::string out = "ok, " + std::to_string(bytesReturned) + " bytes back";
    if (bytesReturned >= QL260_REQUEST_HEADER) {
        const uint32_t length = fendal::platform::loadLe32(reply + 4);
        out += ", length " + std::to_string(length);
        if (returnsData(function))
            out += " data" + hexBytes(reply + QL260_REQUEST_HEADER,
                                      std::min<std::size_t>(length, bytesReturned - QL260_REQUEST_HEADER));
    }
    return out;
}

class TracingDriver final : public Driver {
public:
    explicit TracingDriver(Driver& backend) : backend_(backend) {}

    std::optional<std::string> devicePath(uint32_t index) override {
        std::optional<std::string> path = backend_.devicePath(index);
        const SavedError error;
        line("device " + std::to_string(index) + (path ? " is " + *path : ": none, " + error.text()));
        return path;
    }

    std::optional<std::string> lockFile(const std::string& path) override { return backend_.lockFile(path); }

    QL260_HANDLE open(const std::string& path, bool overlapped) override {
        const QL260_HANDLE handle = backend_.open(path, overlapped);
        const SavedError error;
        line("open " + path + (overlapped ? " overlapped" : "") + ": " +
             (handle == QL260_INVALID_HANDLE ? "failed, " + error.text() : "handle " + handleText(handle)));
        return handle;
    }

    bool ioControl(QL260_HANDLE handle, uint32_t controlCode, void* buffer, uint32_t inSize, uint32_t outSize,
                   uint32_t& bytesReturned) override {
        const auto* bytes = static_cast<const unsigned char*>(buffer);
        // Read before the request: the reply overwrites the buffer.
        const uint32_t function = inSize >= 4 ? fendal::platform::loadLe32(bytes) : 0;
        const std::string name = handleText(handle) + " " + functionName(function);
        line(handleText(handle) + " " + describeRequest(controlCode, bytes, inSize, outSize));
        const bool ok = backend_.ioControl(handle, controlCode, buffer, inSize, outSize, bytesReturned);
        const SavedError error;
        line(name + ": " + (ok ? describeReply(function, bytes, bytesReturned) : "failed, " + error.text()));
        return ok;
    }

    bool close(QL260_HANDLE handle) override {
        const bool ok = backend_.close(handle);
        const SavedError error;
        line("close " + handleText(handle) + ": " + (ok ? "ok" : "failed, " + error.text()));
        return ok;
    }

private:
    Driver& backend_;
};

}  // namespace

Driver& driver() {
    // Never destroyed: a detached interrupt thread may still use it while the process exits.
    static Driver* const instance = fendal::platform::traceEnabled(fendal::platform::TraceChannel::Usb)
                                        ? new TracingDriver(systemDriver())
                                        : &systemDriver();
    return *instance;
}

}  // namespace ql260
