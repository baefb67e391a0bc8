// Every driver request becomes the USB operation it stands for: descriptors as control transfers,
// data and interrupt reads, writes to both OUT pipes, pipe resets and aborts.
#include <atomic>
#include <cstring>
#include <chrono>
#include <future>
#include <thread>

#include "usb_descriptors.h"
#include "usblib_libusb/libusb_fixture.h"

using namespace fendal;

namespace {

using namespace std::chrono_literals;
using RequestTest = LibusbTest;

Bytes setupOf(const UsbEvent& e) { return e.bytes; }

TEST_F(RequestTest, DescriptorsAreControlTransfersWithTheAskedLength) {
    EmulatedUsbInstrument& device = plugAndOpen();
    unsigned char buffer[QL260_MAX_DATA] = {};
    QL260_ULONG length = 18;
    ASSERT_TRUE(QL260GetDeviceDescr(0, buffer, &length));
    EXPECT_EQ(Bytes(buffer, buffer + length), instrument::deviceDescriptor());

    length = 9;  // the configuration's header only
    ASSERT_TRUE(QL260GetConfigDescr(0, buffer, &length));
    EXPECT_EQ(length, 9u);
    length = 5000;  // cut to what one call carries; the device sends what it has
    ASSERT_TRUE(QL260GetConfigDescr(0, buffer, &length));
    EXPECT_EQ(Bytes(buffer, buffer + length), instrument::configurationDescriptor());

    const std::vector<UsbEvent> controls = device.events(UsbEvent::Control);
    ASSERT_EQ(controls.size(), 3u);
    EXPECT_EQ(setupOf(controls[0]), Bytes({0x80, 6, 0, 1, 0, 0, 18, 0}));
    EXPECT_EQ(setupOf(controls[1]), Bytes({0x80, 6, 0, 2, 0, 0, 9, 0}));
    EXPECT_EQ(setupOf(controls[2]), Bytes({0x80, 6, 0, 2, 0, 0, 0x00, 0x04}));

    // A request the device stalls fails and says nothing was returned.
    DriverRequest request{};
    request.function = QL260_FUNC_CONTROL;
    request.length = 8;
    const unsigned char stringDescriptor[8] = {0x80, 6, 1, 3, 0, 0, 8, 0};
    std::memcpy(request.data, stringDescriptor, 8);
    EXPECT_EQ(QL260DriverCommand(0, &request), 0u);
}

TEST_F(RequestTest, ReadsAskForTheMinimumAndReturnAtMostTheCallersLength) {
    EmulatedUsbInstrument& device = plugAndOpen();
    ASSERT_TRUE(writeBytes({0}));
    ReadResult count = readBytes(1);  // the instrument sends 2 bytes
    ASSERT_TRUE(count.ok);
    EXPECT_EQ(count.bytes, Bytes({0}));
    ASSERT_TRUE(writeBytes({0, 1}));
    ReadResult block = readBytes(5000);
    ASSERT_TRUE(block.ok);
    EXPECT_EQ(block.bytes.size(), 32u) << "the transferred count, not the asked one";
    const std::vector<UsbEvent> reads = device.events(UsbEvent::ReadSubmitted);
    ASSERT_EQ(reads.size(), 2u);
    EXPECT_EQ(reads[0].endpoint, 0x82u);
    EXPECT_EQ(reads[0].length, 64);
    EXPECT_EQ(reads[1].length, 1024);
}

TEST_F(RequestTest, WritesGoToTheDataAndAuxiliaryPipesCutTo1024Bytes) {
    EmulatedUsbInstrument& device = plugAndOpen();
    Bytes big(5000, 0x5A);
    QL260_ULONG length = 5000;
    ASSERT_TRUE(QL260WriteData(0, big.data(), &length));
    EXPECT_EQ(length, 1024u);
    Bytes aux = {7, 8, 9};
    length = 3;
    ASSERT_TRUE(QL260WriteAuxData(0, aux.data(), &length));
    EXPECT_EQ(length, 3u);
    const std::vector<UsbEvent> writes = device.events(UsbEvent::BulkOut);
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(writes[0].endpoint, 0x02u);
    EXPECT_EQ(writes[0].bytes, Bytes(1024, 0x5A));
    EXPECT_EQ(writes[1].endpoint, 0x04u);
    EXPECT_EQ(writes[1].bytes, aux);
}

TEST_F(RequestTest, EndpointsNamedInTheInstrumentsEntryWin) {
    ::setenv("QL260_USB_IDS", "1209:0260 write=0x04 aux=0x02", 1);
    EmulatedUsbInstrument& device = plugAndOpen();
    Bytes data = {1, 2};
    QL260_ULONG length = 2;
    ASSERT_TRUE(QL260WriteData(0, data.data(), &length));
    ASSERT_TRUE(QL260WriteAuxData(0, data.data(), &length));
    const std::vector<UsbEvent> writes = device.events(UsbEvent::BulkOut);
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(writes[0].endpoint, 0x04u);
    EXPECT_EQ(writes[1].endpoint, 0x02u);
}

TEST_F(RequestTest, ResetsClearTheHaltOfTheirPipesEndpoint) {
    EmulatedUsbInstrument& device = plugAndOpen();
    EXPECT_TRUE(QL260ResetRead(0));
    EXPECT_TRUE(QL260ResetWrite(0));
    EXPECT_TRUE(QL260ResetInter(0));
    EXPECT_TRUE(QL260ResetAux(0));
    std::vector<unsigned> endpoints;
    for (const UsbEvent& e : device.events(UsbEvent::ClearHalt)) endpoints.push_back(e.endpoint);
    EXPECT_EQ(endpoints, (std::vector<unsigned>{0x82, 0x02, 0x81, 0x04}));

    // A pipe selector the chip does not have is refused without reaching the device.
    DriverRequest request{};
    request.function = QL260_FUNC_RESET_PIPE;
    request.length = 4;
    request.data[0] = 9;
    EXPECT_EQ(QL260DriverCommand(0, &request), 0u);
    request.function = 99;
    EXPECT_EQ(QL260DriverCommand(0, &request), 0u);
    EXPECT_EQ(device.events(UsbEvent::ClearHalt).size(), 4u);
}

TEST_F(RequestTest, AnAbortFromAnotherThreadEndsThePendingReadOfItsPipeOnly) {
    EmulatedUsbInstrument& device = plugAndOpen();
    // Nothing was asked, so the instrument has nothing to say: both reads wait.
    auto data = std::async(std::launch::async, [] { return readBytes(2); });
    auto inter = std::async(std::launch::async, [] {
        unsigned char buffer[8];
        QL260_ULONG length = 8;
        return QL260ReadInter(0, buffer, &length) != 0;
    });
    ASSERT_TRUE(device.waitForPendingRead(0x82));
    ASSERT_TRUE(device.waitForPendingRead(0x81));
    EXPECT_TRUE(QL260AbortWrite(0)) << "nothing pending there is no failure";
    EXPECT_TRUE(QL260AbortRead(0));
    ASSERT_EQ(data.wait_for(5s), std::future_status::ready);
    ReadResult aborted = data.get();
    EXPECT_FALSE(aborted.ok);
    EXPECT_TRUE(aborted.bytes.empty());
    EXPECT_EQ(inter.wait_for(200ms), std::future_status::timeout) << "the interrupt read still waits";
    EXPECT_TRUE(QL260AbortInter(0));
    ASSERT_EQ(inter.wait_for(5s), std::future_status::ready);
    EXPECT_FALSE(inter.get());
    // The device works on after an abort.
    ASSERT_TRUE(writeBytes({0}));
    EXPECT_EQ(readBytes(2).bytes, Bytes({0, 10}));
}

std::atomic<int> interrupts{0};
unsigned char lastInterrupt[8];
void QL260_CALL onInterrupt(unsigned char* data) {
    std::memcpy(lastInterrupt, data, 8);
    ++interrupts;
}

TEST_F(RequestTest, InterruptReadsAndTheInterruptThread) {
    EmulatedUsbInstrument& device = plugAndOpen();
    auto read = std::async(std::launch::async, [] {
        unsigned char buffer[8] = {};
        QL260_ULONG length = 3;
        const bool ok = QL260ReadInter(0, buffer, &length);
        return ok ? Bytes(buffer, buffer + length) : Bytes();
    });
    ASSERT_TRUE(device.waitForPendingRead(0x81));
    EXPECT_EQ(device.events(UsbEvent::ReadSubmitted).back().length, 8) << "asked for 3, the request asks for 8";
    ASSERT_TRUE(device.raiseInterrupt({1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(read.get(), Bytes({1, 2, 3}));

    // The thread reads on its own handle of the same device, beside the caller's requests.
    interrupts = 0;
    ASSERT_TRUE(QL260SetIntRoutine(0, onInterrupt));
    ASSERT_TRUE(device.waitForPendingRead(0x81));
    ASSERT_TRUE(writeBytes({0}));
    EXPECT_EQ(readBytes(2).bytes, Bytes({0, 10}));
    ASSERT_TRUE(device.raiseInterrupt({9, 9, 9, 9, 9, 9, 9, 1}));
    for (int i = 0; i < 500 && interrupts == 0; ++i) std::this_thread::sleep_for(10ms);
    EXPECT_EQ(interrupts, 1);
    EXPECT_EQ(Bytes(lastInterrupt, lastInterrupt + 8), Bytes({9, 9, 9, 9, 9, 9, 9, 1}));
    // Stopping aborts its pending read and waits for the thread.
    EXPECT_TRUE(QL260SetIntRoutine(0, nullptr));
    EXPECT_FALSE(device.events(UsbEvent::Discard).empty());
    EXPECT_TRUE(writeBytes({0})) << "the caller's handle outlives the thread's";
}

TEST_F(RequestTest, AnInstrumentUnpluggedMidReadFailsItAndEveryLaterRequest) {
    EmulatedUsbInstrument& device = plugAndOpen();
    auto read = std::async(std::launch::async, [] { return readBytes(32); });
    ASSERT_TRUE(device.waitForPendingRead(0x82));
    device.unplug();
    ASSERT_EQ(read.wait_for(5s), std::future_status::ready);
    EXPECT_FALSE(read.get().ok);
    EXPECT_FALSE(writeBytes({0}));
    EXPECT_FALSE(QL260ResetRead(0));
    QL260CloseDevice(0);
}

TEST_F(RequestTest, CloseEndsAReadPendingOnAnotherThread) {
    EmulatedUsbInstrument& device = plugAndOpen();
    auto read = std::async(std::launch::async, [] { return readBytes(32); });
    ASSERT_TRUE(device.waitForPendingRead(0x82));
    QL260CloseDevice(0);
    ASSERT_EQ(read.wait_for(5s), std::future_status::ready);
    EXPECT_FALSE(read.get().ok);
    EXPECT_EQ(device.events().back().kind, UsbEvent::Release) << "the interface went back after the read ended";
}

TEST_F(RequestTest, CloseDoesNotWaitForEverOnADeviceThatKeepsACancelledRead) {
    EmulatedDeviceOptions options;
    options.holdDiscards = true;
    EmulatedUsbInstrument& device = plugAndOpen(options);
    auto read = std::async(std::launch::async, [] { return readBytes(32); });
    ASSERT_TRUE(device.waitForPendingRead(0x82));
    auto close = std::async(std::launch::async, [] { QL260CloseDevice(0); });
    ASSERT_EQ(close.wait_for(10s), std::future_status::ready) << "the close gave up waiting";
    EXPECT_EQ(read.wait_for(0s), std::future_status::timeout) << "the read is still pending";
    EXPECT_TRUE(device.events(UsbEvent::Release).empty()) << "not closed under a transfer in flight";
    // When the device lets the read go at last, the read closes the device.
    device.finishDiscards();
    ASSERT_EQ(read.wait_for(5s), std::future_status::ready);
    EXPECT_FALSE(read.get().ok);
    EXPECT_EQ(device.events(UsbEvent::Release).size(), 1u);
}

}  // namespace
