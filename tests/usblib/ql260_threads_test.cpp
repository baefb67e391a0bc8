// Requests that wait: a read ended by an abort from another thread, a stream that breaks under a
// pending read, and the interrupt thread.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "usblib/fake_socket_driver.h"
#include "usblib/ql260.h"

namespace {

using namespace std::chrono_literals;

struct PendingRead {
    QL260_BOOL ok = 1;
    QL260_ULONG length = 0;
};

FakeReply abortWait() {
    FakeReply reply;
    reply.waitForAbort = true;
    return reply;
}

// A device on which requests of `function` wait until an abort or reset comes; it answers the
// others at once.
FakeSocketDriver::Handler waitsForAbort(uint32_t function) {
    return [function](const RawRequest& r) {
        return r.function() == function ? abortWait() : driverReply(r.function(), 4);
    };
}

std::future<PendingRead> startRead() {
    return std::async(std::launch::async, [] {
        PendingRead result;
        unsigned char buffer[64];
        result.length = 32;
        result.ok = QL260ReadData(0, buffer, &result.length);
        return result;
    });
}

// An abort or a close from another thread ends a read that waits for the device.
TEST(Ql260Threads, AbortOrCloseFromAnotherThreadEndsAPendingRead) {
    for (const bool byClose : {false, true}) {
        SCOPED_TRACE(byClose ? "close" : "abort");
        const std::string folder = freshDeviceFolder(byClose ? "closeread" : "abort");
        FakeSocketDriver device(folder, "d.sock", waitsForAbort(QL260_FUNC_READ_DATA));
        ASSERT_NE(QL260OpenDevice(0), QL260_INVALID_HANDLE);
        auto read = startRead();
        ASSERT_TRUE(device.waitForRequests(1));
        EXPECT_EQ(read.wait_for(100ms), std::future_status::timeout) << "the read waits for the device";
        if (byClose)
            QL260CloseDevice(0);
        else
            EXPECT_TRUE(QL260AbortRead(0)) << "the abort does not queue behind the read";
        ASSERT_EQ(read.wait_for(5s), std::future_status::ready);
        PendingRead result = read.get();
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.length, 0u);
        QL260CloseDevice(0);
    }
}

TEST(Ql260Threads, BrokenStreamFailsThePendingAndLaterRequests) {
    const std::string folder = freshDeviceFolder("broken");
    FakeSocketDriver device(folder, "d.sock", [](const RawRequest& r) {
        if (r.function() == QL260_FUNC_READ_DATA) return FakeReply{true, {}, false, true};
        return driverReply(r.function(), r.length());
    });
    ASSERT_NE(QL260OpenDevice(0), QL260_INVALID_HANDLE);
    auto read = startRead();
    ASSERT_EQ(read.wait_for(5s), std::future_status::ready);
    PendingRead result = read.get();
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.length, 0u);
    unsigned char byte = 0;
    QL260_ULONG length = 1;
    EXPECT_FALSE(QL260WriteData(0, &byte, &length));
    QL260CloseDevice(0);
}

FakeReply hung() {
    FakeReply reply;
    reply.hang = true;
    return reply;
}

// A device that has hung answers nothing, aborts neither. The abort gives up after a while, the
// read pending on the aborted pipe fails with it, and later calls and the close do not wait.
TEST(Ql260Threads, HungDeviceHoldsNoCallerForEver) {
    const std::string folder = freshDeviceFolder("hung");
    FakeSocketDriver device(folder, "d.sock", [](const RawRequest&) { return hung(); });
    ASSERT_NE(QL260OpenDevice(0), QL260_INVALID_HANDLE);
    auto read = startRead();
    ASSERT_TRUE(device.waitForRequests(1));
    auto abort = std::async(std::launch::async, [] { return QL260AbortRead(0); });
    ASSERT_EQ(abort.wait_for(10s), std::future_status::ready);
    EXPECT_FALSE(abort.get());
    ASSERT_EQ(read.wait_for(10s), std::future_status::ready);
    EXPECT_FALSE(read.get().ok);
    unsigned char byte = 0;
    QL260_ULONG length = 1;
    EXPECT_FALSE(QL260WriteData(0, &byte, &length));
    EXPECT_FALSE(QL260AbortWrite(0));
    QL260CloseDevice(0);
}

// An abort bounds only what is pending on the pipe it names: an interrupt read that waits on a
// live device outlasts an abort of the data pipe. Aborts of its own pipe end it, also when the
// caller repeats them until it ends (as the transfer's Cancel does).
TEST(Ql260Threads, AbortOfOnePipeLeavesTheOthersWaiting) {
    const std::string folder = freshDeviceFolder("pipes");
    FakeSocketDriver device(folder, "d.sock", [](const RawRequest& r) {
        if (r.function() == QL260_FUNC_READ_INTER) return hung();
        return driverReply(r.function(), 4);
    });
    ASSERT_NE(QL260OpenDevice(0), QL260_INVALID_HANDLE);
    auto read = std::async(std::launch::async, [] {
        unsigned char buffer[8];
        QL260_ULONG length = 8;
        return QL260ReadInter(0, buffer, &length);
    });
    ASSERT_TRUE(device.waitForRequests(1));
    EXPECT_TRUE(QL260AbortRead(0));
    EXPECT_EQ(read.wait_for(1500ms), std::future_status::timeout);
    for (int i = 0; i < 500 && read.wait_for(20ms) == std::future_status::timeout; ++i)
        EXPECT_TRUE(QL260AbortInter(0));  // answered, but the read is not
    ASSERT_EQ(read.wait_for(0s), std::future_status::ready);
    EXPECT_FALSE(read.get());
    QL260CloseDevice(0);
}

std::atomic<int> interrupts{0};
std::atomic<unsigned char> lastInterruptByte{0};

void QL260_CALL onInterrupt(unsigned char* data) {
    lastInterruptByte = data[7];
    ++interrupts;
}

TEST(Ql260Threads, InterruptThreadDeliversUntilStopped) {
    const std::string folder = freshDeviceFolder("inter");
    std::atomic<bool> pending{false};
    FakeSocketDriver device(folder, "d.sock", [&pending](const RawRequest& r) {
        if (r.function() == QL260_FUNC_READ_INTER) {
            // A few interrupts, then a read that waits like a quiet device.
            if (pending) return abortWait();
            if (interrupts >= 3) pending = true;
            return driverReply(r.function(), 8, {1, 2, 3, 4, 5, 6, 7, 8});
        }
        return driverReply(r.function(), 4);
    });
    EXPECT_TRUE(QL260SetIntRoutine(0, nullptr)) << "nothing to stop";
    ASSERT_NE(QL260OpenDevice(0), QL260_INVALID_HANDLE);
    interrupts = 0;
    ASSERT_TRUE(QL260SetIntRoutine(0, onInterrupt));
    for (int i = 0; i < 500 && !pending; ++i) std::this_thread::sleep_for(10ms);
    EXPECT_GE(interrupts.load(), 3);
    EXPECT_EQ(lastInterruptByte.load(), 8);

    // Stopping aborts the pending interrupt read and waits for the thread.
    EXPECT_TRUE(QL260SetIntRoutine(0, nullptr));
    const int delivered = interrupts;
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(interrupts.load(), delivered);

    bool sawInterRequest = false;
    bool sawAbortInter = false;
    for (const RawRequest& r : device.requests()) {
        if (r.function() == QL260_FUNC_READ_INTER) {
            sawInterRequest = true;
            EXPECT_EQ(r.inSize, 72u);
            EXPECT_EQ(r.outSize, 72u);
            EXPECT_EQ(r.length(), 8u);
        }
        if (r.function() == QL260_FUNC_ABORT_PIPE && r.data()[0] == QL260_PIPE_INTER) sawAbortInter = true;
    }
    EXPECT_TRUE(sawInterRequest);
    EXPECT_TRUE(sawAbortInter);
    QL260CloseDevice(0);
}

TEST(Ql260Threads, CloseStopsTheInterruptThread) {
    const std::string folder = freshDeviceFolder("interclose");
    FakeSocketDriver device(folder, "d.sock", waitsForAbort(QL260_FUNC_READ_INTER));
    ASSERT_NE(QL260OpenDevice(0), QL260_INVALID_HANDLE);
    ASSERT_TRUE(QL260SetIntRoutine(0, onInterrupt));
    ASSERT_TRUE(device.waitForRequests(1));
    auto closing = std::async(std::launch::async, [] { QL260CloseDevice(0); });
    EXPECT_EQ(closing.wait_for(5s), std::future_status::ready);
    // Once closed, a new routine can be set and stopped again without waiting on the old thread.
    EXPECT_TRUE(QL260SetIntRoutine(0, nullptr));

    // A device that hangs while the interrupt thread waits on it: the close still returns.
    const std::string hungFolder = freshDeviceFolder("interhung");
    FakeSocketDriver hungDevice(hungFolder, "d.sock", [](const RawRequest&) { return hung(); });
    ASSERT_NE(QL260OpenDevice(0), QL260_INVALID_HANDLE);
    ASSERT_TRUE(QL260SetIntRoutine(0, onInterrupt));
    ASSERT_TRUE(hungDevice.waitForRequests(1));
    auto closingHung = std::async(std::launch::async, [] { QL260CloseDevice(0); });
    EXPECT_EQ(closingHung.wait_for(10s), std::future_status::ready);
}

}  // namespace
