#include "usblib_libusb/emulated_usb_instrument.h"

#include <sys/ioctl.h>
#include <linux/usbdevice_fs.h>
#include <umockdev.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "data/received_data.h"
#include "platform/byte_order.h"
#include "usb_descriptors.h"

using namespace fendal;
using namespace fendal::data;

namespace {

using namespace std::chrono_literals;

// umockdev's node is always ready for poll, so libusb asks to reap again at once; holding an
// empty reap this long keeps that from spinning while still answering a completion at once.
constexpr auto kEmptyReapHold = 2ms;
constexpr unsigned kControlEndpoint = 0;
constexpr unsigned kInterruptEndpoint = 0x81;
constexpr unsigned kReadEndpoint = 0x82;
constexpr unsigned kWriteEndpoint = 0x02;
constexpr unsigned kAuxEndpoint = 0x04;
constexpr char kKernelDriver[] = "ql260_tty";

std::string hex(const std::vector<unsigned char>& bytes) {
    std::string out;
    char digits[3];
    for (unsigned char b : bytes) {
        std::snprintf(digits, sizeof digits, "%02X", b);
        out += digits;
    }
    return out;
}

std::string threeDigits(int n) {
    char text[8];
    std::snprintf(text, sizeof text, "%03d", n);
    return text;
}

std::vector<ReceivedRecord> demoRecords(int count) {
    std::vector<ReceivedRecord> records;
    for (int i = 0; i < count; ++i) records.push_back(demoRecord(i));
    return records;
}

// A hub in front of devices behind it, so that libusb sees the whole port path.
std::vector<unsigned char> hubDescriptors() {
    return {18, 1, 0x00, 0x02, 9, 0, 1, 64, 0x6B, 0x1D, 0x02, 0x00, 0, 1, 0, 0, 0,    1, 9, 2, 25, 0,
            1,  1, 0,    0xE0, 0, 9, 4, 0,  0,    1,    9,    0,    0, 0, 7, 5, 0x81, 3, 2, 0, 12};
}

std::string sysfsRecord(const std::string& path, int bus, int address, const std::string& vendor,
                        const std::string& product, const std::vector<unsigned char>& descriptors, bool node) {
    const std::string devnode = "bus/usb/" + threeDigits(bus) + "/" + threeDigits(address);
    std::string record = "P: " + path + "\n";
    if (node) record += "N: " + devnode + "=00\n";
    record += "E: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\nE: DEVNAME=/dev/" + devnode + "\n";
    record += "E: BUSNUM=" + threeDigits(bus) + "\nE: DEVNUM=" + threeDigits(address) + "\n";
    record += "A: busnum=" + std::to_string(bus) + "\nA: devnum=" + std::to_string(address) + "\n";
    record += "A: speed=12\nA: bConfigurationValue=1\nA: idVendor=" + vendor + "\nA: idProduct=" + product + "\n";
    record += "A: dev=189:" + std::to_string((bus - 1) * 128 + address - 1) + "\n";
    record += "H: descriptors=" + hex(descriptors) + "\n";
    return record;
}

std::string hex4(uint16_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "%04x", value);
    return text;
}

gboolean onIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self) {
    return static_cast<EmulatedUsbInstrument*>(self)->handleIoctl(client);
}

void onVanished(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self) {
    static_cast<EmulatedUsbInstrument*>(self)->clientGone(client);
}

// The argument resolved as a struct of `size` bytes; owned by the caller.
UMockdevIoctlData* resolveArg(UMockdevIoctlClient* client, std::size_t size) {
    GError* error = nullptr;
    UMockdevIoctlData* data = umockdev_ioctl_data_resolve(umockdev_ioctl_client_get_arg(client), 0, size, &error);
    if (error) g_error_free(error);
    return data;
}

void completeWith(UMockdevIoctlClient* client, int error) {
    umockdev_ioctl_client_complete(client, error ? -1 : 0, error);
}

}  // namespace

EmulatedUsbBus::EmulatedUsbBus() : testbed_(umockdev_testbed_new()) {}

EmulatedUsbBus::~EmulatedUsbBus() { g_object_unref(testbed_); }

EmulatedUsbInstrument::EmulatedUsbInstrument(EmulatedUsbBus& bus, EmulatedDeviceOptions options)
    : bus_(bus),
      options_(std::move(options)),
      session_(demoRecords(options_.points), options_.faults),
      kernelDriver_(options_.kernelDriverBound) {
    std::string path = "/devices/pci0000:00/usb" + std::to_string(options_.bus);
    std::string name = std::to_string(options_.bus) + "-";
    std::string record;
    // Every hub on the way, then the device.
    std::string ports = options_.ports;
    for (std::size_t dot = ports.find('.'); dot != std::string::npos; dot = ports.find('.', dot + 1)) {
        const std::string hub = name + ports.substr(0, dot);
        path += "/" + hub;
        record += sysfsRecord(path, options_.bus, 100 + static_cast<int>(dot), "1d6b", "0002", hubDescriptors(),
                              false) +
                  "\n";
    }
    path += "/" + name + ports;
    std::vector<unsigned char> descriptors = instrument::deviceDescriptor();
    platform::storeLe16(&descriptors[8], options_.vendor);
    platform::storeLe16(&descriptors[10], options_.product);
    const std::vector<unsigned char> config = instrument::configurationDescriptor();
    descriptors.insert(descriptors.end(), config.begin(), config.end());
    record += sysfsRecord(path, options_.bus, options_.address, hex4(options_.vendor), hex4(options_.product),
                          descriptors, true);
    GError* error = nullptr;
    if (!umockdev_testbed_add_from_string(bus_.testbed(), record.c_str(), &error))
        throw std::runtime_error(std::string("umockdev: ") + error->message);
    sysfsPath_ = "/sys" + path;
    devnode_ = "/dev/bus/usb/" + threeDigits(options_.bus) + "/" + threeDigits(options_.address);
    handler_ = umockdev_ioctl_base_new();
    g_signal_connect(handler_, "handle-ioctl", G_CALLBACK(onIoctl), this);
    g_signal_connect(handler_, "client-vanished", G_CALLBACK(onVanished), this);
    if (!umockdev_testbed_attach_ioctl(bus_.testbed(), devnode_.c_str(), handler_, &error))
        throw std::runtime_error(std::string("umockdev: ") + error->message);
}

EmulatedUsbInstrument::~EmulatedUsbInstrument() {
    umockdev_testbed_detach_ioctl(bus_.testbed(), devnode_.c_str(), nullptr);
    std::lock_guard guard(lock_);
    for (auto* list : {&pendingReads_, &pendingInterrupts_, &done_, &discarded_}) {
        for (Urb& urb : *list) {
            g_object_unref(urb.data);
            if (urb.buffer) g_object_unref(urb.buffer);
        }
        list->clear();
    }
    g_object_unref(handler_);
}

std::string EmulatedUsbInstrument::name() const {
    std::string ports = options_.ports;
    return "usb:" + std::to_string(options_.bus) + "-" + ports;
}

std::vector<UsbEvent> EmulatedUsbInstrument::events() {
    std::lock_guard guard(lock_);
    return events_;
}

std::vector<UsbEvent> EmulatedUsbInstrument::events(UsbEvent::Kind kind) {
    std::vector<UsbEvent> all = events();
    std::erase_if(all, [kind](const UsbEvent& e) { return e.kind != kind; });
    return all;
}

bool EmulatedUsbInstrument::kernelDriverBound() {
    std::lock_guard guard(lock_);
    return kernelDriver_;
}

bool EmulatedUsbInstrument::waitForPendingRead(unsigned endpoint) {
    std::unique_lock guard(lock_);
    const auto& list = endpoint == kInterruptEndpoint ? pendingInterrupts_ : pendingReads_;
    return changed_.wait_for(guard, 5s, [&list] { return !list.empty(); });
}

bool EmulatedUsbInstrument::raiseInterrupt(const std::vector<unsigned char>& bytes) {
    std::lock_guard guard(lock_);
    if (pendingInterrupts_.empty()) return false;
    Urb urb = pendingInterrupts_.front();
    pendingInterrupts_.erase(pendingInterrupts_.begin());
    const int size = std::min(urb.buffer ? urb.buffer->data_len : 0, static_cast<int>(bytes.size()));
    if (size > 0) std::memcpy(urb.buffer->data, bytes.data(), static_cast<std::size_t>(size));
    finishLocked(urb, 0, size);
    return true;
}

void EmulatedUsbInstrument::finishDiscards() {
    std::lock_guard guard(lock_);
    for (Urb& urb : discarded_) finishLocked(urb, -ENOENT, 0);
    discarded_.clear();
}

void EmulatedUsbInstrument::unplug() {
    {
        std::lock_guard guard(lock_);
        unplugged_ = true;
        for (auto* list : {&pendingReads_, &pendingInterrupts_}) {
            for (Urb& urb : *list) finishLocked(urb, -ESHUTDOWN, 0);
            list->clear();
        }
    }
    umockdev_testbed_uevent(bus_.testbed(), sysfsPath_.c_str(), "remove");
    umockdev_testbed_remove_device(bus_.testbed(), sysfsPath_.c_str());
}

void EmulatedUsbInstrument::record(UsbEvent::Kind kind, unsigned endpoint, std::vector<unsigned char> bytes,
                                   int length) {
    events_.push_back({kind, endpoint, std::move(bytes), length});
    changed_.notify_all();
}

void EmulatedUsbInstrument::finishLocked(Urb urb, int status, int actual) {
    auto* u = reinterpret_cast<usbdevfs_urb*>(urb.data->data);
    u->status = status;
    u->actual_length = actual;
    done_.push_back(urb);
    changed_.notify_all();
}

bool EmulatedUsbInstrument::handleIoctl(UMockdevIoctlClient* client) {
    const unsigned long request = umockdev_ioctl_client_get_request(client);
    switch (request) {
    case USBDEVFS_SUBMITURB: submit(client, umockdev_ioctl_client_get_arg(client)); return true;
    case USBDEVFS_REAPURB:
    case USBDEVFS_REAPURBNDELAY: reap(client, umockdev_ioctl_client_get_arg(client)); return true;
    case USBDEVFS_DISCARDURB: discard(client, umockdev_ioctl_client_get_arg(client)); return true;
    case USBDEVFS_GET_CAPABILITIES: {
        UMockdevIoctlData* caps = resolveArg(client, sizeof(uint32_t));
        const uint32_t value = USBDEVFS_CAP_BULK_CONTINUATION | USBDEVFS_CAP_NO_PACKET_SIZE_LIM;
        std::memcpy(caps->data, &value, sizeof value);
        completeWith(client, 0);
        g_object_unref(caps);
        return true;
    }
    default: break;
    }

    std::lock_guard guard(lock_);
    if (unplugged_) {
        completeWith(client, ENODEV);
        return true;
    }
    int error = 0;
    switch (request) {
    case USBDEVFS_CLAIMINTERFACE:
    case USBDEVFS_DISCONNECT_CLAIM:
        // Another program's claim (or the kernel driver's, without the disconnect) refuses it.
        if (claimedBy_ && claimedBy_ != client) {
            error = EBUSY;
        } else if (kernelDriver_ && request == USBDEVFS_CLAIMINTERFACE) {
            error = EBUSY;
        } else {
            if (kernelDriver_) {
                kernelDriver_ = false;
                record(UsbEvent::Detach);
            }
            claimedBy_ = client;
            record(UsbEvent::Claim);
        }
        break;
    case USBDEVFS_RELEASEINTERFACE:
        if (claimedBy_ != client) {
            error = EINVAL;
        } else {
            claimedBy_ = nullptr;
            record(UsbEvent::Release);
        }
        break;
    case USBDEVFS_GETDRIVER: {
        UMockdevIoctlData* data = resolveArg(client, sizeof(usbdevfs_getdriver));
        auto* query = reinterpret_cast<usbdevfs_getdriver*>(data->data);
        if (claimedBy_)
            std::strcpy(query->driver, "usbfs");
        else if (kernelDriver_)
            std::strcpy(query->driver, kKernelDriver);
        else
            error = ENODATA;
        completeWith(client, error);
        g_object_unref(data);
        return true;
    }
    case USBDEVFS_IOCTL: {
        UMockdevIoctlData* data = resolveArg(client, sizeof(usbdevfs_ioctl));
        const int code = reinterpret_cast<usbdevfs_ioctl*>(data->data)->ioctl_code;
        g_object_unref(data);
        if (code == static_cast<int>(USBDEVFS_DISCONNECT)) {
            if (!kernelDriver_)
                error = ENODATA;
            else {
                kernelDriver_ = false;
                record(UsbEvent::Detach);
            }
        } else if (code == static_cast<int>(USBDEVFS_CONNECT)) {
            // Only a device that has a kernel driver gets one bound again.
            if (claimedBy_) {
                error = EBUSY;
            } else if (options_.kernelDriverBound && !kernelDriver_) {
                kernelDriver_ = true;
                record(UsbEvent::Attach);
            }
        } else {
            error = ENOTTY;
        }
        break;
    }
    case USBDEVFS_CLEAR_HALT: {
        UMockdevIoctlData* data = resolveArg(client, sizeof(unsigned));
        unsigned endpoint = 0;
        std::memcpy(&endpoint, data->data, sizeof endpoint);
        g_object_unref(data);
        record(UsbEvent::ClearHalt, endpoint);
        // The instrument forgets an answer nobody read, as after a reset of the read pipe.
        if (endpoint == kReadEndpoint) session_.dropAnswer();
        break;
    }
    default: error = ENOTTY; break;
    }
    completeWith(client, error);
    return true;
}

void EmulatedUsbInstrument::submit(UMockdevIoctlClient* client, UMockdevIoctlData* arg) {
    GError* error = nullptr;
    UMockdevIoctlData* data = umockdev_ioctl_data_resolve(arg, 0, sizeof(usbdevfs_urb), &error);
    auto* u = reinterpret_cast<usbdevfs_urb*>(data->data);
    UMockdevIoctlData* buffer = nullptr;
    if (u->buffer_length > 0)
        buffer = umockdev_ioctl_data_resolve(data, offsetof(usbdevfs_urb, buffer), static_cast<gsize>(u->buffer_length),
                                             &error);
    Urb urb{data, buffer, client};
    const unsigned endpoint = u->endpoint;
    const std::vector<unsigned char> bytes = buffer ? std::vector<unsigned char>(buffer->data,
                                                                                 buffer->data + buffer->data_len)
                                                    : std::vector<unsigned char>();
    std::lock_guard guard(lock_);
    int refused = unplugged_ ? ENODEV : 0;
    if (!refused && claimedBy_ != client && endpoint != kControlEndpoint) refused = EINVAL;
    if (!refused) {
        if (endpoint == kControlEndpoint) {
            record(UsbEvent::Control, endpoint, std::vector<unsigned char>(bytes.begin(), bytes.begin() + 8));
            std::vector<unsigned char> reply;
            if (instrument::answerControl(bytes.data(), reply)) {
                std::memcpy(buffer->data + 8, reply.data(), reply.size());
                finishLocked(urb, 0, static_cast<int>(reply.size()));
            } else {
                finishLocked(urb, -EPIPE, 0);
            }
        } else if (endpoint == kWriteEndpoint) {
            record(UsbEvent::BulkOut, endpoint, bytes);
            const bool ok = session_.write(bytes.data(), bytes.size());
            finishLocked(urb, ok ? 0 : -EPIPE, ok ? static_cast<int>(bytes.size()) : 0);
            serveReadsLocked();
        } else if (endpoint == kAuxEndpoint) {
            record(UsbEvent::BulkOut, endpoint, bytes);
            finishLocked(urb, 0, static_cast<int>(bytes.size()));
        } else if (endpoint == kReadEndpoint) {
            pendingReads_.push_back(urb);
            record(UsbEvent::ReadSubmitted, endpoint, {}, u->buffer_length);
            serveReadsLocked();
        } else if (endpoint == kInterruptEndpoint) {
            pendingInterrupts_.push_back(urb);
            record(UsbEvent::ReadSubmitted, endpoint, {}, u->buffer_length);
        } else {
            refused = ENOENT;
        }
    }
    if (refused) {
        g_object_unref(data);
        if (buffer) g_object_unref(buffer);
    }
    completeWith(client, refused);
}

void EmulatedUsbInstrument::serveReadsLocked() {
    while (!pendingReads_.empty()) {
        std::optional<instrument::Answer> answer = session_.takeAnswer();
        if (!answer) return;
        Urb urb = pendingReads_.front();
        pendingReads_.erase(pendingReads_.begin());
        if (!answer->ok) {
            finishLocked(urb, -EPIPE, 0);
            continue;
        }
        const int room = urb.buffer ? urb.buffer->data_len : 0;
        const int size = std::min(room, static_cast<int>(answer->bytes.size()));
        if (size > 0) std::memcpy(urb.buffer->data, answer->bytes.data(), static_cast<std::size_t>(size));
        finishLocked(urb, 0, size);
    }
}

void EmulatedUsbInstrument::reap(UMockdevIoctlClient* client, UMockdevIoctlData* arg) {
    std::unique_lock guard(lock_);
    auto mine = [this, client] {
        return std::find_if(done_.begin(), done_.end(), [client](const Urb& u) { return u.client == client; });
    };
    changed_.wait_for(guard, kEmptyReapHold, [&] { return mine() != done_.end(); });
    const auto it = mine();
    if (it == done_.end()) {
        completeWith(client, unplugged_ ? ENODEV : EAGAIN);
        return;
    }
    Urb urb = *it;
    done_.erase(it);
    GError* error = nullptr;
    UMockdevIoctlData* slot = umockdev_ioctl_data_resolve(arg, 0, sizeof(void*), &error);
    umockdev_ioctl_data_set_ptr(slot, 0, urb.data);
    completeWith(client, 0);
    g_object_unref(slot);
    g_object_unref(urb.data);
    if (urb.buffer) g_object_unref(urb.buffer);
}

void EmulatedUsbInstrument::discard(UMockdevIoctlClient* client, UMockdevIoctlData* arg) {
    gulong address = 0;
    std::memcpy(&address, arg->data, sizeof address);
    std::lock_guard guard(lock_);
    for (auto* list : {&pendingReads_, &pendingInterrupts_}) {
        const auto it = std::find_if(list->begin(), list->end(),
                                     [address](const Urb& u) { return u.data->client_addr == address; });
        if (it == list->end()) continue;
        record(UsbEvent::Discard, reinterpret_cast<usbdevfs_urb*>(it->data->data)->endpoint);
        Urb urb = *it;
        list->erase(it);
        if (options_.holdDiscards)
            discarded_.push_back(urb);
        else
            finishLocked(urb, -ENOENT, 0);
        completeWith(client, 0);
        return;
    }
    // Already complete: the kernel says so, and the URB is reaped as it finished.
    completeWith(client, EINVAL);
}

void EmulatedUsbInstrument::clientGone(UMockdevIoctlClient* client) {
    std::lock_guard guard(lock_);
    if (claimedBy_ == client) claimedBy_ = nullptr;
    for (auto* list : {&pendingReads_, &pendingInterrupts_, &done_, &discarded_}) {
        std::erase_if(*list, [client](const Urb& urb) {
            if (urb.client != client) return false;
            g_object_unref(urb.data);
            if (urb.buffer) g_object_unref(urb.buffer);
            return true;
        });
    }
}
