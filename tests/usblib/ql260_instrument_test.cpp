// The library against the virtual instrument, the way the transfer drives it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <future>

#include "data/received_data.h"
#include "platform/byte_order.h"
#include "usblib/fake_socket_driver.h"
#include "usblib/instrument_process.h"
#include "usblib/ql260.h"

using namespace fendal;
using namespace fendal::data;

namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<unsigned char>;

bool writeBytes(Bytes bytes) {
    QL260_ULONG length = static_cast<QL260_ULONG>(bytes.size());
    return QL260WriteData(0, bytes.data(), &length) && length == bytes.size();
}

// A read of `wanted` bytes; empty with ok false on failure.
struct ReadResult {
    bool ok = false;
    Bytes bytes;
};
ReadResult readBytes(QL260_ULONG wanted) {
    ReadResult result;
    unsigned char buffer[512] = {};
    QL260_ULONG length = wanted;
    result.ok = QL260ReadData(0, buffer, &length);
    result.bytes.assign(buffer, buffer + length);
    return result;
}

Bytes blockRequest(int b) { return {static_cast<unsigned char>(b / 255), static_cast<unsigned char>(b % 255)}; }

// The start of a transfer: the count request with its answer, then block 0.
::testing::AssertionResult readCountAndFirstBlock() {
    if (!writeBytes({0}) || !readBytes(2).ok) return ::testing::AssertionFailure() << "count request";
    if (!writeBytes(blockRequest(0)) || !readBytes(32).ok) return ::testing::AssertionFailure() << "block 0";
    return ::testing::AssertionSuccess();
}

Bytes demoBytes(int count) {
    Bytes bytes(static_cast<std::size_t>(count) * 6);
    for (int i = 0; i < count; ++i) encodeReceivedRecord(demoRecord(i), &bytes[static_cast<std::size_t>(i) * 6]);
    return bytes;
}

Bytes block(const Bytes& data, int b) {
    Bytes out(32, 0);
    for (std::size_t i = 0; i < 32 && b * 32 + i < data.size(); ++i) out[i] = data[b * 32 + i];
    return out;
}

class InstrumentTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = freshDeviceFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
    }
    void TearDown() override { QL260CloseDevice(0); }

    // Starts the instrument and opens device `index`.
    std::unique_ptr<InstrumentProcess> start(const std::vector<std::string>& args, QL260_ULONG index = 0) {
        auto process = std::make_unique<InstrumentProcess>(args);
        EXPECT_TRUE(process->ready());
        EXPECT_NE(QL260OpenDevice(index), QL260_INVALID_HANDLE);
        return process;
    }

    std::string folder_;
};

TEST_F(InstrumentTest, WholeTransferAndExitAfterIt) {
    auto instrument = start({"usb", "--points", "7", "--once"});
    EXPECT_EQ(instrument->readyPath(), folder_ + "/ql260-0.sock");
    const Bytes data = demoBytes(7);
    ASSERT_TRUE(writeBytes({0}));
    ReadResult count = readBytes(2);
    ASSERT_TRUE(count.ok);
    EXPECT_EQ(count.bytes, Bytes({0, 7}));
    for (int b = 0; b * 32 < 42; ++b) {
        ASSERT_TRUE(writeBytes(blockRequest(b)));
        ReadResult answer = readBytes(32);
        ASSERT_TRUE(answer.ok);
        EXPECT_EQ(answer.bytes, block(data, b)) << "block " << b;
    }
    ASSERT_TRUE(writeBytes({0, 0, 0}));
    EXPECT_EQ(instrument->exitStatus(), 0);
    EXPECT_FALSE(std::filesystem::exists(instrument->readyPath()));
}

TEST_F(InstrumentTest, BlockNumbersCountIn255s) {
    auto instrument = start({"usb", "--points", "1400"});
    const Bytes data = demoBytes(1400);
    ASSERT_TRUE(writeBytes({0}));
    const Bytes count = readBytes(2).bytes;
    ASSERT_EQ(count.size(), 2u);
    EXPECT_EQ(platform::loadBe16(count.data()), 1400);
    for (int b : {254, 255, 256, 262}) {
        ASSERT_TRUE(writeBytes(blockRequest(b)));
        EXPECT_EQ(readBytes(32).bytes, block(data, b)) << "block " << b;
    }
    instrument->terminate();
    EXPECT_EQ(instrument->exitStatus(), 0);
    EXPECT_FALSE(std::filesystem::exists(instrument->readyPath())) << "the socket goes with the instrument";
}

TEST_F(InstrumentTest, NoPointsStillAnswersOneEmptyBlock) {
    auto instrument = start({"usb", "--points", "0"});
    ASSERT_TRUE(writeBytes({0}));
    EXPECT_EQ(readBytes(2).bytes, Bytes({0, 0}));
    ASSERT_TRUE(writeBytes({0, 0}));
    EXPECT_EQ(readBytes(32).bytes, Bytes(32, 0));
    EXPECT_TRUE(writeBytes({0, 0, 0}));
}

TEST_F(InstrumentTest, SeveralDevicesInNameOrder) {
    auto instrument = start({"usb", "--name", "box", "--devices", "3", "--points", "2"}, 2);
    EXPECT_EQ(instrument->readyPath(), folder_ + "/box-0.sock");
    EXPECT_STREQ(QL260GetDeviceName(1), (folder_ + "/box-1.sock").c_str());
    EXPECT_STREQ(QL260GetDeviceName(2), (folder_ + "/box-2.sock").c_str());
    EXPECT_EQ(QL260GetDeviceName(3), nullptr);
    ASSERT_TRUE(writeBytes({0}));
    EXPECT_EQ(readBytes(2).bytes, Bytes({0, 2}));
}

TEST_F(InstrumentTest, PointsFromAReceivedDataFile) {
    const std::string file = folder_ + "/points.tem";
    ASSERT_TRUE(writeReceivedDataFile(file, {{12, 4100, 95}, {13, 3900, 120}}));
    auto instrument = start({"usb", "--from", file});
    ASSERT_TRUE(writeBytes({0}));
    EXPECT_EQ(readBytes(2).bytes, Bytes({0, 2}));
    ASSERT_TRUE(writeBytes({0, 0}));
    Bytes expected(32, 0);
    encodeReceivedRecord({12, 4100, 95}, &expected[0]);
    encodeReceivedRecord({13, 3900, 120}, &expected[6]);
    EXPECT_EQ(readBytes(32).bytes, expected);
}

TEST_F(InstrumentTest, Descriptors) {
    auto instrument = start({"usb"});
    unsigned char buffer[1024] = {};
    QL260_ULONG length = 18;
    ASSERT_TRUE(QL260GetDeviceDescr(0, buffer, &length));
    EXPECT_EQ(length, 18u);
    EXPECT_EQ(buffer[0], 18);
    EXPECT_EQ(buffer[1], 1);
    EXPECT_EQ(buffer[17], 1) << "one configuration";
    length = 1024;
    ASSERT_TRUE(QL260GetConfigDescr(0, buffer, &length));
    EXPECT_EQ(buffer[1], 2);
    EXPECT_EQ(length, platform::loadLe16(buffer + 2)) << "whole configuration";
    length = 9;
    ASSERT_TRUE(QL260GetConfigDescr(0, buffer, &length));
    EXPECT_EQ(length, 9u);
}

TEST_F(InstrumentTest, FailingWrites) {
    auto instrument = start({"usb", "--fail-write"});
    unsigned char byte = 0;
    QL260_ULONG length = 1;
    EXPECT_FALSE(QL260WriteData(0, &byte, &length));
    EXPECT_EQ(length, 0u);
}

TEST_F(InstrumentTest, OvercountFailsTheReadBeyondThePoints) {
    auto instrument = start({"usb", "--points", "5", "--overcount", "2"});
    ASSERT_TRUE(writeBytes({0}));
    EXPECT_EQ(readBytes(2).bytes, Bytes({0, 7}));
    ASSERT_TRUE(writeBytes(blockRequest(0)));
    EXPECT_TRUE(readBytes(32).ok);
    ASSERT_TRUE(writeBytes(blockRequest(1)));
    EXPECT_FALSE(readBytes(32).ok);
}

TEST_F(InstrumentTest, BreakFailsEverythingAfterTheBlock) {
    auto instrument = start({"usb", "--points", "20", "--break-after", "1"});
    ASSERT_TRUE(readCountAndFirstBlock());
    EXPECT_FALSE(writeBytes(blockRequest(1)));
    EXPECT_FALSE(readBytes(32).ok);
    // The device is there again for a new open, as if replugged.
    QL260CloseDevice(0);
    ASSERT_NE(QL260OpenDevice(0), QL260_INVALID_HANDLE);
    EXPECT_TRUE(writeBytes({0}));
}

TEST_F(InstrumentTest, StalledReadEndsWithAnAbortFromAnotherThread) {
    auto instrument = start({"usb", "--points", "20", "--stall-after", "1"});
    ASSERT_TRUE(readCountAndFirstBlock());
    ASSERT_TRUE(writeBytes(blockRequest(1)));
    auto read = std::async(std::launch::async, [] { return readBytes(32); });
    EXPECT_EQ(read.wait_for(200ms), std::future_status::timeout) << "the instrument stays silent";
    EXPECT_TRUE(QL260AbortWrite(0));
    EXPECT_TRUE(QL260AbortRead(0));
    ASSERT_EQ(read.wait_for(5s), std::future_status::ready);
    EXPECT_FALSE(read.get().ok);
}

TEST_F(InstrumentTest, InstrumentGoingAwayFailsThePendingRead) {
    auto instrument = start({"usb", "--stall-after", "0"});
    ASSERT_TRUE(writeBytes({0}));
    ASSERT_TRUE(readBytes(2).ok);
    ASSERT_TRUE(writeBytes(blockRequest(0)));
    auto read = std::async(std::launch::async, [] { return readBytes(32); });
    EXPECT_EQ(read.wait_for(100ms), std::future_status::timeout);
    instrument->terminate();
    ASSERT_EQ(read.wait_for(5s), std::future_status::ready);
    EXPECT_FALSE(read.get().ok);
    EXPECT_EQ(instrument->exitStatus(), 0);
}

TEST(InstrumentCommandLine, BadUseIsAnError) {
    freshDeviceFolder("baduse");
    EXPECT_NE(runInstrument({}), 0);
    EXPECT_NE(runInstrument({"usb", "--points", "x"}), 0);
    EXPECT_NE(runInstrument({"usb", "--points", "70000"}), 0);
    EXPECT_NE(runInstrument({"usb", "--from", "/nonexistent/file.fsy"}), 0);
    EXPECT_NE(runInstrument({"usb", "--from", "/etc/hostname"}), 0);
    EXPECT_NE(runInstrument({"serial", "--once"}), 0);
}

TEST(InstrumentCommandLine, ASecondInstrumentDoesNotTakeOverALiveDevice) {
    freshDeviceFolder("twice");
    InstrumentProcess first({"usb"});
    ASSERT_TRUE(first.ready());
    EXPECT_NE(runInstrument({"usb"}), 0);
    EXPECT_TRUE(std::filesystem::exists(first.readyPath()));
}

}  // namespace
