// The whole instrument transfer over USB through libusb: through the exports, and as a user runs
// it with fendal-cli, with no socket driver anywhere.
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "data/crack_file_io.h"
#include "data/received_data.h"
#include "platform/byte_order.h"
#include "support/temp_folder.h"
#include "usblib_libusb/libusb_fixture.h"

using namespace fendal;
using namespace fendal::data;

namespace {

using TransferTest = LibusbTest;

Bytes blockRequest(int b) { return {static_cast<unsigned char>(b / 255), static_cast<unsigned char>(b % 255)}; }

Bytes demoBlock(int b, int count) {
    Bytes out(32, 0);
    for (int i = 0; i < 32; ++i) {
        const int offset = b * 32 + i;
        if (offset >= count * 6) break;
        unsigned char record[6];
        encodeReceivedRecord(demoRecord(offset / 6), record);
        out[static_cast<std::size_t>(i)] = record[offset % 6];
    }
    return out;
}

struct CliResult {
    int code = -1;
    std::string output;  // stdout and stderr
};

CliResult fendalCli(const std::string& args) {
    const std::string command = std::string(std::getenv("FENDAL_BIN_DIR")) + "/fendal-cli " + args + " 2>&1";
    CliResult result;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return result;
    std::array<char, 4096> buffer;
    std::size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) result.output.append(buffer.data(), n);
    const int status = ::pclose(pipe);
    result.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

EmulatedDeviceOptions withPoints(int points) {
    EmulatedDeviceOptions options;
    options.points = points;
    return options;
}

TEST_F(TransferTest, CountBlocksNumberedIn255sAndEndThroughTheExports) {
    const int count = 1400;
    EmulatedUsbInstrument& device = plugAndOpen(withPoints(count));
    ASSERT_TRUE(writeBytes({0}));
    ReadResult answer = readBytes(2);
    ASSERT_TRUE(answer.ok);
    ASSERT_EQ(answer.bytes.size(), 2u);
    ASSERT_EQ(platform::loadBe16(answer.bytes.data()), count);
    int b = 0;
    for (; b * 32 < count * 6; ++b) {
        ASSERT_TRUE(writeBytes(blockRequest(b)));
        answer = readBytes(32);
        ASSERT_TRUE(answer.ok) << "block " << b;
        ASSERT_EQ(answer.bytes, demoBlock(b, count)) << "block " << b;
    }
    EXPECT_EQ(b, 263);
    ASSERT_TRUE(writeBytes({0, 0, 0}));

    const std::vector<UsbEvent> writes = device.events(UsbEvent::BulkOut);
    ASSERT_EQ(writes.size(), 265u);
    EXPECT_EQ(writes[255].bytes, Bytes({0, 254}));
    EXPECT_EQ(writes[256].bytes, Bytes({1, 0})) << "block 255";
    EXPECT_EQ(writes[257].bytes, Bytes({1, 1})) << "block 256";
    EXPECT_EQ(writes.back().bytes, Bytes({0, 0, 0}));
}

TEST_F(TransferTest, FendalCliTakes1400PointsFromTheInstrumentOnUsb) {
    const int count = 1400;
    EmulatedUsbInstrument& device = plug(withPoints(count));
    TempFolder dir;
    const CliResult run = fendalCli("transfer --usb -o " + dir.file("usb.fsy"));
    ASSERT_EQ(run.code, 0) << run.output;
    EXPECT_NE(run.output.find("transferred 1400 points into " + dir.file("usb.fsy")), std::string::npos) << run.output;

    CrackDataFile file;
    ASSERT_TRUE(readCrackFile(dir.file("usb.fsy"), file));
    ASSERT_EQ(file.pointCount(), count);
    for (int i = 0; i < count; i += 97) {
        const MeasurePoint expected = pointFromReceived(demoRecord(i));
        EXPECT_STREQ(file.points[static_cast<std::size_t>(i)].number, expected.number) << i;
        EXPECT_EQ(file.points[static_cast<std::size_t>(i)].depth, expected.depth) << i;
    }
    EXPECT_STREQ(file.points.back().number, pointFromReceived(demoRecord(count - 1)).number);
    // The instrument was driven over its bulk pipes and given back at the end.
    EXPECT_EQ(device.events(UsbEvent::BulkOut).size(), 265u);
    EXPECT_EQ(device.events().back().kind, UsbEvent::Release);
}

TEST_F(TransferTest, ASecondProgramIsRefusedWhileTheInstrumentIsInUse) {
    plugAndOpen();
    TempFolder dir;
    const CliResult second = fendalCli("transfer --usb -o " + dir.file("second.fsy"));
    EXPECT_EQ(second.code, 1) << second.output;
    EXPECT_NE(second.output.find("打开设备失败！"), std::string::npos) << second.output;
    EXPECT_FALSE(std::filesystem::exists(dir.file("second.fsy")));
    // The first user's transfer is not disturbed.
    ASSERT_TRUE(writeBytes({0}));
    EXPECT_EQ(readBytes(2).bytes, Bytes({0, 10}));
}

TEST_F(TransferTest, AnInstrumentThatFallsSilentIsAbortedAndGivenBack) {
    EmulatedDeviceOptions options = withPoints(1400);
    options.faults.stallAfter = 3;  // no answer after three blocks
    EmulatedUsbInstrument& device = plug(options);
    TempFolder dir;
    const CliResult run = fendalCli("transfer --usb --timeout 2 -o " + dir.file("partial.fsy"));
    EXPECT_EQ(run.code, 3) << run.output;
    EXPECT_NE(run.output.find("incomplete transfer: 16 of 1400 points"), std::string::npos) << run.output;
    // The pending read was cancelled on the device, and the interface went back.
    bool readDiscarded = false;
    for (const UsbEvent& e : device.events(UsbEvent::Discard)) readDiscarded |= e.endpoint == 0x82;
    EXPECT_TRUE(readDiscarded);
    EXPECT_EQ(device.events().back().kind, UsbEvent::Release);
}

}  // namespace
