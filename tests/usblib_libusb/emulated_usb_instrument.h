#pragma once
// The instrument as a USB device that libusb finds and talks to, without hardware: umockdev fakes
// its sysfs entry and its /dev/bus/usb node for this process and its children, and this class
// answers the usbfs requests made on the node (claims, URBs, halts, kernel driver) the way the
// kernel would, with the virtual instrument's protocol behind the bulk pipes.
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "usb_session.h"

typedef struct _UMockdevTestbed UMockdevTestbed;
typedef struct _UMockdevIoctlBase UMockdevIoctlBase;
typedef struct _UMockdevIoctlClient UMockdevIoctlClient;
typedef struct _UMockdevIoctlData UMockdevIoctlData;

// What the host did, in order.
struct UsbEvent {
    enum Kind { Claim, Release, Control, BulkOut, ReadSubmitted, ClearHalt, Discard, Detach, Attach };
    Kind kind;
    unsigned endpoint = 0;
    std::vector<unsigned char> bytes;  // setup packet (Control) or data (BulkOut)
    int length = 0;                    // bytes asked for (ReadSubmitted)
};

struct EmulatedDeviceOptions {
    int bus = 1;
    std::string ports = "3";  // "3", or "1.4" behind a hub
    int address = 5;
    uint16_t vendor = 0x1209;
    uint16_t product = 0x0260;
    int points = 10;
    fendal::instrument::Faults faults;
    bool kernelDriverBound = false;  // a kernel driver holds the interface until detached
    bool holdDiscards = false;       // a cancelled read ends only at finishDiscards()
};

// One umockdev testbed for a test; devices are added to it.
class EmulatedUsbBus {
public:
    EmulatedUsbBus();
    ~EmulatedUsbBus();
    EmulatedUsbBus(const EmulatedUsbBus&) = delete;
    EmulatedUsbBus& operator=(const EmulatedUsbBus&) = delete;

    UMockdevTestbed* testbed() { return testbed_; }

private:
    UMockdevTestbed* testbed_;
};

class EmulatedUsbInstrument {
public:
    EmulatedUsbInstrument(EmulatedUsbBus& bus, EmulatedDeviceOptions options);
    ~EmulatedUsbInstrument();
    EmulatedUsbInstrument(const EmulatedUsbInstrument&) = delete;
    EmulatedUsbInstrument& operator=(const EmulatedUsbInstrument&) = delete;

    // The name libql260 gives it: "usb:BUS-PORTS".
    std::string name() const;
    std::vector<UsbEvent> events();
    std::vector<UsbEvent> events(UsbEvent::Kind kind);
    bool kernelDriverBound();
    // Waits until a read is pending on the endpoint; false after a few seconds.
    bool waitForPendingRead(unsigned endpoint);
    // Completes the oldest pending interrupt read with these bytes.
    bool raiseInterrupt(const std::vector<unsigned char>& bytes);
    // Ends the reads whose cancellation the device has held back (holdDiscards).
    void finishDiscards();
    // The device goes: pending transfers fail, later requests find nothing.
    void unplug();

    // usbfs emulation, called on umockdev's worker thread.
    bool handleIoctl(UMockdevIoctlClient* client);
    void clientGone(UMockdevIoctlClient* client);

private:
    struct Urb {
        UMockdevIoctlData* data;    // the URB as the client holds it
        UMockdevIoctlData* buffer;  // its data buffer (none for an empty transfer)
        UMockdevIoctlClient* client;
    };

    void submit(UMockdevIoctlClient* client, UMockdevIoctlData* arg);
    void reap(UMockdevIoctlClient* client, UMockdevIoctlData* arg);
    void discard(UMockdevIoctlClient* client, UMockdevIoctlData* arg);
    // Answers pending reads of the data pipe from the session; with lock_ held.
    void serveReadsLocked();
    void finishLocked(Urb urb, int status, int actual);
    void record(UsbEvent::Kind kind, unsigned endpoint = 0, std::vector<unsigned char> bytes = {}, int length = 0);

    EmulatedUsbBus& bus_;
    EmulatedDeviceOptions options_;
    std::string sysfsPath_;
    std::string devnode_;
    UMockdevIoctlBase* handler_ = nullptr;

    std::mutex lock_;
    std::condition_variable changed_;
    fendal::instrument::UsbSession session_;
    std::vector<UsbEvent> events_;
    std::vector<Urb> pendingReads_;
    std::vector<Urb> pendingInterrupts_;
    std::vector<Urb> done_;
    std::vector<Urb> discarded_;  // held back by holdDiscards
    UMockdevIoctlClient* claimedBy_ = nullptr;
    bool kernelDriver_ = false;
    bool unplugged_ = false;
};
