#pragma once
// One instrument opened through libusb: its own context, the claimed first interface (a kernel
// driver that held it is detached and reattached on close) and the endpoints of the four pipes.
// Every transfer is submitted asynchronously and waited for by its caller, so that an abort or a
// close from another thread ends it.
#include <libusb-1.0/libusb.h>

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "usblib/driver_libusb_ids.h"

namespace ql260 {

// Numbered like the pipe selectors of the abort and reset requests.
enum class Pipe : uint32_t { Interrupt = 5, Read = 6, Write = 7, Aux = 8 };

// The present instruments as "usb:BUS-PORT.PORT..." names, in bus and port order.
std::vector<std::string> listInstrumentNames(const std::vector<InstrumentId>& ids);

class LibusbDevice {
public:
    // Opens the instrument of that name; null with errno set when it is not there or busy.
    static std::shared_ptr<LibusbDevice> open(const std::string& name, const std::vector<InstrumentId>& ids);
    ~LibusbDevice();
    LibusbDevice(const LibusbDevice&) = delete;
    LibusbDevice& operator=(const LibusbDevice&) = delete;

    const std::string& name() const { return name_; }

    // A bulk or interrupt transfer of `length` bytes on a pipe; `done` is the count moved.
    // False with errno set on failure, also when the transfer was aborted.
    bool transfer(Pipe pipe, unsigned char* data, int length, int& done);
    // A control transfer: the 8-byte setup packet, then the data stage into or out of `data`
    // (wLength bytes); `done` is the data stage's count.
    bool control(const unsigned char setup[8], unsigned char* data, int& done);
    // Cancels every transfer pending on the pipe; they fail.
    bool abort(Pipe pipe);
    // Clears a halt of the pipe's endpoint.
    bool reset(Pipe pipe);

    // Ends the pending transfers and gives the device back to the system. Waits a bounded time
    // for the transfers to finish; one that has not by then closes the device when it does.
    void shutdown();

private:
    struct Endpoint {
        uint8_t address = 0;  // 0: the interface has none for this pipe
        uint8_t type = LIBUSB_TRANSFER_TYPE_BULK;
    };
    struct Pending {
        libusb_transfer* transfer;
        bool onPipe;
        Pipe pipe;
    };

    LibusbDevice() = default;
    bool takeInterface(libusb_device* device, const PipeEndpoints& overrides);
    const Endpoint& endpoint(Pipe pipe) const;
    // Submits the filled transfer, handles events until it has completed and frees it.
    bool run(libusb_transfer* transfer, bool onPipe, Pipe pipe, int& done);
    // After a call has finished: closes a device whose close no longer waits, once nothing is left.
    void finishLocked();
    void closeHandleLocked();

    std::string name_;
    libusb_context* context_ = nullptr;
    libusb_device_handle* handle_ = nullptr;
    int interface_ = -1;
    Endpoint read_, write_, aux_, interrupt_;

    std::mutex lock_;
    std::condition_variable drained_;
    std::vector<Pending> pending_;
    int syncCalls_ = 0;  // calls that use the handle outside the lock
    bool closing_ = false;
};

}  // namespace ql260
