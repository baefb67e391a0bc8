// Linux backend for a real instrument: the USB interface chip reached through libusb. Each driver
// request becomes the USB operation it stands for:
//   4 control transfer (8-byte setup packet; an IN data stage lands in the response data)
//   5 interrupt IN, 6 bulk IN on the data read pipe, 7 bulk OUT on the data write pipe,
//   8 bulk OUT on the auxiliary pipe, 13 clear a halt of a pipe, 14 abort what is pending on it.
// The response's length field carries the bytes transferred. Handles of the same device share
// one claimed interface, so the interrupt thread's handle and the caller's work side by side.
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "platform/byte_order.h"
#include "usblib/driver.h"
#include "usblib/driver_libusb_device.h"
#include "usblib/handle_table.h"

namespace ql260 {
namespace {

using fendal::platform::loadLe32;
using fendal::platform::storeLe32;

bool pipeOf(uint32_t selector, Pipe& pipe) {
    if (selector < static_cast<uint32_t>(Pipe::Interrupt) || selector > static_cast<uint32_t>(Pipe::Aux)) return false;
    pipe = static_cast<Pipe>(selector);
    return true;
}

bool invalid() {
    errno = EINVAL;
    return false;
}

// Carries out one request on the device; the response goes into the same buffer.
bool execute(LibusbDevice& device, unsigned char* request, uint32_t inSize, uint32_t outSize, uint32_t& bytesReturned) {
    const uint32_t function = loadLe32(request);
    const uint32_t length = loadLe32(request + 4);
    unsigned char* data = request + QL260_REQUEST_HEADER;
    const uint32_t given = inSize - QL260_REQUEST_HEADER;
    // Data that fits the response; never more than a request record holds.
    const uint32_t room = outSize > QL260_REQUEST_HEADER
                              ? std::min<uint32_t>(outSize - QL260_REQUEST_HEADER, QL260_MAX_DATA)
                              : 0;
    int done = 0;
    switch (function) {
    case QL260_FUNC_CONTROL: {
        if (given < 8) return invalid();
        unsigned char setup[8];
        std::memcpy(setup, data, sizeof setup);
        const bool in = (setup[0] & 0x80) != 0;
        uint32_t stage = fendal::platform::loadLe16(setup + 6);
        if (in) {
            // The device may send no more than the response holds.
            stage = std::min(stage, room);
            fendal::platform::storeLe16(setup + 6, static_cast<uint16_t>(stage));
        } else if (stage > given - 8 || stage > QL260_MAX_DATA - 8) {
            return invalid();  // an OUT data stage follows the setup packet in the request
        }
        unsigned char stageData[QL260_MAX_DATA];
        if (!in) std::memcpy(stageData, data + 8, stage);
        if (!device.control(setup, stageData, done)) return false;
        if (in) std::memcpy(data, stageData, static_cast<std::size_t>(done));
        storeLe32(request + 4, static_cast<uint32_t>(done));
        bytesReturned = QL260_REQUEST_HEADER + (in ? static_cast<uint32_t>(done) : 0);
        break;
    }
    case QL260_FUNC_READ_INTER:
    case QL260_FUNC_READ_DATA: {
        const Pipe pipe = function == QL260_FUNC_READ_INTER ? Pipe::Interrupt : Pipe::Read;
        if (!device.transfer(pipe, data, static_cast<int>(std::min(length, room)), done)) return false;
        storeLe32(request + 4, static_cast<uint32_t>(done));
        bytesReturned = QL260_REQUEST_HEADER + static_cast<uint32_t>(done);
        break;
    }
    case QL260_FUNC_WRITE_DATA:
    case QL260_FUNC_WRITE_AUX: {
        if (length > given || length > QL260_MAX_DATA) return invalid();
        const Pipe pipe = function == QL260_FUNC_WRITE_DATA ? Pipe::Write : Pipe::Aux;
        if (!device.transfer(pipe, data, static_cast<int>(length), done)) return false;
        storeLe32(request + 4, static_cast<uint32_t>(done));
        bytesReturned = QL260_REQUEST_HEADER;
        break;
    }
    case QL260_FUNC_RESET_PIPE:
    case QL260_FUNC_ABORT_PIPE: {
        Pipe pipe;
        if (given < 4 || !pipeOf(loadLe32(data), pipe)) return invalid();
        const bool ok = function == QL260_FUNC_RESET_PIPE ? device.reset(pipe) : device.abort(pipe);
        if (!ok) return false;
        bytesReturned = QL260_REQUEST_HEADER;
        break;
    }
    default: return invalid();
    }
    bytesReturned = std::min(bytesReturned, outSize);
    return true;
}

class LibusbDriver final : public Driver {
public:
    std::optional<std::string> devicePath(uint32_t index) override {
        std::vector<std::string> names = listInstrumentNames(configuredInstruments());
        if (index >= names.size()) {
            errno = ENODEV;
            return std::nullopt;
        }
        return names[index];
    }

    // The claim of the interface already keeps an instrument to one process.
    std::optional<std::string> lockFile(const std::string&) override { return std::nullopt; }

    QL260_HANDLE open(const std::string& path, bool /*overlapped*/) override {
        // Every transfer is asynchronous inside, so an overlapped handle needs nothing more.
        return devices_.addShared([&](const std::shared_ptr<LibusbDevice>& open) { return open->name() == path; },
                                  [&] { return LibusbDevice::open(path, configuredInstruments()); });
    }

    bool ioControl(QL260_HANDLE handle, uint32_t controlCode, void* buffer, uint32_t inSize, uint32_t outSize,
                   uint32_t& bytesReturned) override {
        bytesReturned = 0;
        const std::optional<std::shared_ptr<LibusbDevice>> device = devices_.find(handle);
        if (!device) return false;
        if (controlCode != QL260_IOCTL_REQUEST || inSize < QL260_REQUEST_HEADER ||
            inSize > QL260_REQUEST_HEADER + QL260_MAX_DATA)
            return invalid();
        return execute(**device, static_cast<unsigned char*>(buffer), inSize, outSize, bytesReturned);
    }

    bool close(QL260_HANDLE handle) override {
        const auto removed = devices_.remove(handle);
        if (!removed) return false;
        // Requests still pending on other threads fail; the device goes back to the system.
        if (removed->last) removed->value->shutdown();
        return true;
    }

private:
    HandleTable<std::shared_ptr<LibusbDevice>> devices_;
};

}  // namespace

Driver& libusbDriver() {
    // Never destroyed: a detached interrupt thread may still use it while the process exits.
    static LibusbDriver* instance = new LibusbDriver;
    return *instance;
}

}  // namespace ql260
