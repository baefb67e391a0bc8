#include "usblib/driver_libusb_device.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "platform/byte_order.h"

namespace ql260 {
namespace {

using namespace std::chrono_literals;

// A descriptor request cannot be aborted; a device that does not answer it fails it after this.
constexpr unsigned kControlTimeoutMs = 5000;
// How long a close waits for aborted transfers to come back before it leaves the rest to them.
constexpr auto kCloseWait = 2s;
constexpr int kMaxPortDepth = 7;  // USB allows at most 7 tiers

int errnoOf(int libusbError) {
    switch (libusbError) {
    case LIBUSB_ERROR_INVALID_PARAM: return EINVAL;
    case LIBUSB_ERROR_ACCESS: return EACCES;
    case LIBUSB_ERROR_NO_DEVICE: return ENODEV;
    case LIBUSB_ERROR_NOT_FOUND: return ENOENT;
    case LIBUSB_ERROR_BUSY: return EBUSY;
    case LIBUSB_ERROR_TIMEOUT: return ETIMEDOUT;
    case LIBUSB_ERROR_OVERFLOW: return EOVERFLOW;
    case LIBUSB_ERROR_PIPE: return EPIPE;
    case LIBUSB_ERROR_NO_MEM: return ENOMEM;
    case LIBUSB_ERROR_NOT_SUPPORTED: return ENOTSUP;
    default: return EIO;
    }
}

int errnoOfStatus(libusb_transfer_status status) {
    switch (status) {
    case LIBUSB_TRANSFER_COMPLETED: return 0;
    case LIBUSB_TRANSFER_CANCELLED: return ECANCELED;
    case LIBUSB_TRANSFER_STALL: return EPIPE;
    case LIBUSB_TRANSFER_NO_DEVICE: return ENODEV;
    case LIBUSB_TRANSFER_TIMED_OUT: return ETIMEDOUT;
    case LIBUSB_TRANSFER_OVERFLOW: return EOVERFLOW;
    default: return EIO;
    }
}

void LIBUSB_CALL onTransferDone(libusb_transfer* transfer) { *static_cast<int*>(transfer->user_data) = 1; }

// A fresh context per enumeration and per open device: each sees the devices present now, and
// nothing of libusb stays behind once the last device is closed.
struct Context {
    libusb_context* context = nullptr;
    ~Context() {
        if (context) libusb_exit(context);
    }
    bool init() {
        const int rc = libusb_init(&context);
        if (rc == 0) return true;
        context = nullptr;
        errno = errnoOf(rc);
        return false;
    }
};

struct DeviceList {
    libusb_device** devices = nullptr;
    ssize_t count = 0;
    ~DeviceList() {
        if (devices) libusb_free_device_list(devices, 1);
    }
};

struct Found {
    libusb_device* device;
    const InstrumentId* id;
    uint8_t bus;
    std::vector<uint8_t> ports;
    std::string name;
};

// The listed instruments among the devices, in bus and port order. A device without a port
// path (a root hub, or a system that does not tell) has no stable name and is left out.
std::vector<Found> findInstruments(const DeviceList& list, const std::vector<InstrumentId>& ids) {
    std::vector<Found> found;
    for (ssize_t i = 0; i < list.count; ++i) {
        libusb_device* device = list.devices[i];
        libusb_device_descriptor descriptor{};
        if (libusb_get_device_descriptor(device, &descriptor) != 0) continue;
        const InstrumentId* id = findInstrument(ids, descriptor.idVendor, descriptor.idProduct);
        if (!id) continue;
        uint8_t ports[kMaxPortDepth];
        const int depth = libusb_get_port_numbers(device, ports, kMaxPortDepth);
        if (depth <= 0) continue;
        Found entry{device, id, libusb_get_bus_number(device), std::vector<uint8_t>(ports, ports + depth), {}};
        entry.name = "usb:" + std::to_string(entry.bus) + "-";
        for (int p = 0; p < depth; ++p) entry.name += (p ? "." : "") + std::to_string(ports[p]);
        found.push_back(std::move(entry));
    }
    std::sort(found.begin(), found.end(),
              [](const Found& a, const Found& b) { return a.bus != b.bus ? a.bus < b.bus : a.ports < b.ports; });
    return found;
}

bool listDevices(const Context& context, DeviceList& list) {
    list.count = libusb_get_device_list(context.context, &list.devices);
    if (list.count >= 0) return true;
    errno = errnoOf(static_cast<int>(list.count));
    list.devices = nullptr;
    list.count = 0;
    return false;
}

}  // namespace

std::vector<std::string> listInstrumentNames(const std::vector<InstrumentId>& ids) {
    std::vector<std::string> names;
    Context context;
    DeviceList list;
    if (ids.empty() || !context.init() || !listDevices(context, list)) return names;
    for (Found& entry : findInstruments(list, ids)) names.push_back(std::move(entry.name));
    return names;
}

std::shared_ptr<LibusbDevice> LibusbDevice::open(const std::string& name, const std::vector<InstrumentId>& ids) {
    Context context;
    DeviceList list;
    if (!context.init() || !listDevices(context, list)) return nullptr;
    const std::vector<Found> found = findInstruments(list, ids);
    const auto entry = std::find_if(found.begin(), found.end(), [&](const Found& f) { return f.name == name; });
    if (entry == found.end()) {
        errno = ENODEV;
        return nullptr;
    }
    std::shared_ptr<LibusbDevice> device(new LibusbDevice);
    device->name_ = name;
    const int rc = libusb_open(entry->device, &device->handle_);
    if (rc != 0) {
        errno = errnoOf(rc);
        return nullptr;
    }
    // From here the device owns the context and closes both.
    device->context_ = context.context;
    context.context = nullptr;
    if (!device->takeInterface(entry->device, entry->id->endpoints)) return nullptr;
    return device;
}

bool LibusbDevice::takeInterface(libusb_device* device, const PipeEndpoints& overrides) {
    libusb_config_descriptor* config = nullptr;
    int rc = libusb_get_active_config_descriptor(device, &config);
    if (rc != 0) {
        errno = errnoOf(rc);
        return false;
    }
    if (config->bNumInterfaces == 0 || config->interface[0].num_altsetting == 0) {
        libusb_free_config_descriptor(config);
        errno = ENOENT;
        return false;
    }
    const libusb_interface_descriptor& first = config->interface[0].altsetting[0];
    interface_ = first.bInterfaceNumber;
    // Bulk in = data read, the first bulk out = data write, a further bulk out = auxiliary,
    // interrupt in = interrupt, unless the instrument's entry names them.
    std::vector<Endpoint> all;
    for (int e = 0; e < first.bNumEndpoints; ++e) {
        const libusb_endpoint_descriptor& d = first.endpoint[e];
        const Endpoint endpoint{d.bEndpointAddress, static_cast<uint8_t>(d.bmAttributes & 0x03)};
        all.push_back(endpoint);
        const bool in = (d.bEndpointAddress & LIBUSB_ENDPOINT_IN) != 0;
        if (endpoint.type == LIBUSB_TRANSFER_TYPE_BULK && in && !read_.address)
            read_ = endpoint;
        else if (endpoint.type == LIBUSB_TRANSFER_TYPE_BULK && !in && !write_.address)
            write_ = endpoint;
        else if (endpoint.type == LIBUSB_TRANSFER_TYPE_BULK && !in && !aux_.address)
            aux_ = endpoint;
        else if (endpoint.type == LIBUSB_TRANSFER_TYPE_INTERRUPT && in && !interrupt_.address)
            interrupt_ = endpoint;
    }
    libusb_free_config_descriptor(config);
    auto choose = [&all](Endpoint& pipe, uint8_t address, uint8_t defaultType) {
        if (!address) return;
        const auto known = std::find_if(all.begin(), all.end(),
                                        [address](const Endpoint& e) { return e.address == address; });
        pipe = known != all.end() ? *known : Endpoint{address, defaultType};
    };
    choose(read_, overrides.read, LIBUSB_TRANSFER_TYPE_BULK);
    choose(write_, overrides.write, LIBUSB_TRANSFER_TYPE_BULK);
    choose(aux_, overrides.aux, LIBUSB_TRANSFER_TYPE_BULK);
    choose(interrupt_, overrides.interrupt, LIBUSB_TRANSFER_TYPE_INTERRUPT);

    // A kernel driver bound to the interface is detached on claim and reattached on release.
    libusb_set_auto_detach_kernel_driver(handle_, 1);
    rc = libusb_claim_interface(handle_, interface_);
    if (rc != 0) {
        // Busy: another program (or another transfer) has the instrument.
        interface_ = -1;
        errno = errnoOf(rc);
        return false;
    }
    return true;
}

LibusbDevice::~LibusbDevice() {
    std::lock_guard guard(lock_);
    closeHandleLocked();
}

void LibusbDevice::closeHandleLocked() {
    if (handle_) {
        if (interface_ >= 0) libusb_release_interface(handle_, interface_);
        libusb_close(handle_);
        handle_ = nullptr;
    }
    if (context_) libusb_exit(context_);
    context_ = nullptr;
}

const LibusbDevice::Endpoint& LibusbDevice::endpoint(Pipe pipe) const {
    switch (pipe) {
    case Pipe::Interrupt: return interrupt_;
    case Pipe::Read: return read_;
    case Pipe::Write: return write_;
    case Pipe::Aux: break;
    }
    return aux_;
}

bool LibusbDevice::run(libusb_transfer* transfer, bool onPipe, Pipe pipe, int& done) {
    done = 0;
    int completed = 0;
    transfer->user_data = &completed;
    transfer->callback = onTransferDone;
    {
        std::lock_guard guard(lock_);
        int rc = LIBUSB_ERROR_NO_DEVICE;
        if (!closing_ && handle_) {
            transfer->dev_handle = handle_;
            rc = libusb_submit_transfer(transfer);
        }
        if (rc != 0) {
            libusb_free_transfer(transfer);
            errno = errnoOf(rc);
            return false;
        }
        pending_.push_back({transfer, onPipe, pipe});
    }
    while (!completed) {
        // Interrupted waits (another thread's events, a close) simply look again.
        if (const int rc = libusb_handle_events_completed(context_, &completed);
            rc != 0 && rc != LIBUSB_ERROR_INTERRUPTED) {
            std::lock_guard guard(lock_);
            libusb_cancel_transfer(transfer);
        }
    }
    const int error = errnoOfStatus(transfer->status);
    done = transfer->actual_length;
    {
        // Freed while the device is surely still open: freeing looks at the device handle.
        std::lock_guard guard(lock_);
        std::erase_if(pending_, [transfer](const Pending& p) { return p.transfer == transfer; });
        libusb_free_transfer(transfer);
        finishLocked();
    }
    if (error != 0) errno = error;
    return error == 0;
}

bool LibusbDevice::transfer(Pipe pipe, unsigned char* data, int length, int& done) {
    const Endpoint& ep = endpoint(pipe);
    done = 0;
    if (!ep.address) {
        errno = ENOENT;
        return false;
    }
    libusb_transfer* transfer = libusb_alloc_transfer(0);
    if (!transfer) {
        errno = ENOMEM;
        return false;
    }
    // No time-out: a read waits for the instrument until it answers or the pipe is aborted.
    if (ep.type == LIBUSB_TRANSFER_TYPE_INTERRUPT)
        libusb_fill_interrupt_transfer(transfer, nullptr, ep.address, data, length, nullptr, nullptr, 0);
    else
        libusb_fill_bulk_transfer(transfer, nullptr, ep.address, data, length, nullptr, nullptr, 0);
    return run(transfer, true, pipe, done);
}

bool LibusbDevice::control(const unsigned char setup[8], unsigned char* data, int& done) {
    const int length = fendal::platform::loadLe16(setup + 6);
    const bool in = (setup[0] & LIBUSB_ENDPOINT_IN) != 0;
    std::vector<unsigned char> buffer(LIBUSB_CONTROL_SETUP_SIZE + static_cast<std::size_t>(length));
    std::memcpy(buffer.data(), setup, LIBUSB_CONTROL_SETUP_SIZE);
    if (!in && length > 0)
        std::memcpy(buffer.data() + LIBUSB_CONTROL_SETUP_SIZE, data, static_cast<std::size_t>(length));
    libusb_transfer* transfer = libusb_alloc_transfer(0);
    if (!transfer) {
        errno = ENOMEM;
        return false;
    }
    libusb_fill_control_transfer(transfer, nullptr, buffer.data(), nullptr, nullptr, kControlTimeoutMs);
    const bool ok = run(transfer, false, Pipe::Read, done);
    if (ok && in && done > 0)
        std::memcpy(data, buffer.data() + LIBUSB_CONTROL_SETUP_SIZE, static_cast<std::size_t>(done));
    return ok;
}

bool LibusbDevice::abort(Pipe pipe) {
    std::lock_guard guard(lock_);
    for (const Pending& p : pending_)
        if (p.onPipe && p.pipe == pipe) libusb_cancel_transfer(p.transfer);
    return true;
}

bool LibusbDevice::reset(Pipe pipe) {
    const Endpoint& ep = endpoint(pipe);
    if (!ep.address) {
        errno = ENOENT;
        return false;
    }
    libusb_device_handle* handle = nullptr;
    {
        std::lock_guard guard(lock_);
        if (closing_ || !handle_) {
            errno = ENODEV;
            return false;
        }
        handle = handle_;
        ++syncCalls_;
    }
    // Outside the lock: the device takes its time to answer, and aborts must not wait for it.
    const int rc = libusb_clear_halt(handle, ep.address);
    {
        std::lock_guard guard(lock_);
        --syncCalls_;
        finishLocked();
    }
    if (rc != 0) errno = errnoOf(rc);
    return rc == 0;
}

void LibusbDevice::finishLocked() {
    if (!pending_.empty() || syncCalls_ > 0) return;
    // The last call on a device whose close stopped waiting closes it.
    if (closing_) closeHandleLocked();
    drained_.notify_all();
}

void LibusbDevice::shutdown() {
    std::unique_lock guard(lock_);
    closing_ = true;
    for (const Pending& p : pending_) libusb_cancel_transfer(p.transfer);
    if (drained_.wait_for(guard, kCloseWait, [this] { return pending_.empty() && syncCalls_ == 0; }))
        closeHandleLocked();
}

}  // namespace ql260
