// The transfer against the virtual instrument, over the USB socket driver and a pseudo-terminal.
#include <gtest/gtest.h>

#include <thread>

#include "data/crack_file_io.h"
#include "instrument_process.h"
#include "transfer/instrument_transfer.h"
#include "transfer_fakes.h"

namespace {

using namespace std::chrono_literals;
constexpr char kWriteFailed[] = "端点2下传失败！如果设备断开过那么请先关闭本程序";

void expectDemoPoints(const ReceivedData& data, std::size_t count) {
    ASSERT_GE(data.points.size(), count);
    for (std::size_t i = 0; i < count; ++i) {
        const MeasurePoint expected = pointFromReceived(demoRecord(static_cast<int>(i)));
        EXPECT_STREQ(data.points[i].number, expected.number) << i;
        EXPECT_EQ(data.points[i].velocity, expected.velocity) << i;
        EXPECT_EQ(data.points[i].depth, expected.depth) << i;
    }
}

struct Session {
    Session() : transfer(ui, library) {}
    ScriptedTransferUi ui;
    Ql260DeviceAccess library;
    InstrumentTransfer transfer;
};

TEST(UsbInstrument, CleanTransferOfAllPoints) {
    InstrumentProcess instrument({"usb", "--points", "70"});
    ASSERT_TRUE(instrument.ready());
    Session r;
    r.transfer.start(InstrumentTransfer::kUsb, -1);
    ASSERT_TRUE(r.ui.waitForEnd());
    r.transfer.onDestroy();
    EXPECT_TRUE(r.transfer.completed());
    EXPECT_EQ(r.ui.texts(), std::vector<std::string>{"传输完成"});
    const ReceivedData data = readReceivedDataFile(receivedDataPath());
    EXPECT_EQ(data.promised, 70);
    EXPECT_TRUE(data.complete());
    expectDemoPoints(data, 70);
}

// The next block request is the first call that meets the closed connection.
TEST(UsbInstrument, BrokenConnectionIsReportedAndWhatArrivedKept) {
    InstrumentProcess instrument({"usb", "--points", "25", "--break-after", "2"});
    ASSERT_TRUE(instrument.ready());
    Session r;
    r.transfer.start(InstrumentTransfer::kUsb, -1);
    ASSERT_TRUE(r.ui.waitForEnd());
    r.transfer.onDestroy();
    EXPECT_FALSE(r.transfer.completed());
    EXPECT_EQ(r.ui.texts(), std::vector<std::string>{kWriteFailed});
    EXPECT_EQ(r.ui.endTimers, 1);
    const ReceivedData data = readReceivedDataFile(receivedDataPath());
    EXPECT_EQ(data.promised, 25);
    EXPECT_EQ(data.points.size(), 10u);  // two blocks of 32 bytes hold ten whole records
    expectDemoPoints(data, 10);
}

TEST(UsbInstrument, StalledInstrumentIsCancelled) {
    InstrumentProcess instrument({"usb", "--points", "40", "--stall-after", "1"});
    ASSERT_TRUE(instrument.ready());
    Session r;
    r.transfer.start(InstrumentTransfer::kUsb, -1);
    EXPECT_FALSE(r.ui.waitForEnd(300ms));
    const auto before = std::chrono::steady_clock::now();
    r.transfer.cancel();
    EXPECT_LT(std::chrono::steady_clock::now() - before, 5s);
    EXPECT_FALSE(r.transfer.workerRunning());
    EXPECT_FALSE(r.transfer.completed());
    EXPECT_TRUE(r.ui.texts().empty());

    // The device was given back: a second transfer can open it (and stalls again).
    Session again;
    again.transfer.start(InstrumentTransfer::kUsb, -1);
    EXPECT_TRUE(again.ui.texts().empty());
    EXPECT_TRUE(again.transfer.workerRunning());
    again.transfer.cancel();
}

TEST(UsbInstrument, RefusedWritesAreReported) {
    InstrumentProcess instrument({"usb", "--points", "5", "--fail-write"});
    ASSERT_TRUE(instrument.ready());
    Session r;
    r.transfer.start(InstrumentTransfer::kUsb, -1);
    ASSERT_TRUE(r.ui.waitForEnd());
    r.transfer.onDestroy();
    ASSERT_EQ(r.ui.shown().size(), 1u);
    EXPECT_EQ(r.ui.shown()[0].text, kWriteFailed);
    EXPECT_EQ(r.ui.shown()[0].caption, "DEBUG418");
    EXPECT_FALSE(r.transfer.completed());
}

TEST(UsbInstrument, OvercountEndsAtTheMissingBlock) {
    InstrumentProcess instrument({"usb", "--points", "16", "--overcount", "20"});
    ASSERT_TRUE(instrument.ready());
    Session r;
    r.transfer.start(InstrumentTransfer::kUsb, -1);
    ASSERT_TRUE(r.ui.waitForEnd());
    r.transfer.onDestroy();
    EXPECT_FALSE(r.transfer.completed());
    EXPECT_TRUE(r.ui.texts().empty());
    const ReceivedData data = readReceivedDataFile(receivedDataPath());
    EXPECT_EQ(data.promised, 36);
    EXPECT_FALSE(data.complete());
    expectDemoPoints(data, 16);
}

TEST(UsbInstrument, NoDeviceIsReported) {
    Session r;
    r.transfer.start(InstrumentTransfer::kUsb, -1);
    EXPECT_EQ(r.ui.texts(), std::vector<std::string>{"打开设备失败！"});
    EXPECT_EQ(r.ui.endTimers, 0);
}

struct SerialRun : Session {
    explicit SerialRun(const InstrumentProcess& instrument) {
        transfer.serialPort().portNames().setDevicePath(6, instrument.path());
        transfer.start(InstrumentTransfer::kSerial, 5);
    }
};

TEST(SerialInstrument, CleanTransferOverAPseudoTerminal) {
    InstrumentProcess instrument({"serial", "--points", "12", "--baud", "0"});
    ASSERT_TRUE(instrument.ready());
    SerialRun r(instrument);
    ASSERT_TRUE(r.ui.waitForEnd());
    r.transfer.onDestroy();
    EXPECT_TRUE(r.transfer.completed());
    EXPECT_EQ(r.ui.endsWithOk, 1);
    const ReceivedData data = readReceivedDataFile(receivedDataPath());
    EXPECT_TRUE(data.complete());
    EXPECT_EQ(data.points.size(), 12u);
    expectDemoPoints(data, 12);
}

TEST(SerialInstrument, NoPointsEndsAtOnce) {
    InstrumentProcess instrument({"serial", "--points", "0", "--baud", "0"});
    ASSERT_TRUE(instrument.ready());
    SerialRun r(instrument);
    ASSERT_TRUE(r.ui.waitForEnd());
    r.transfer.onDestroy();
    EXPECT_TRUE(r.transfer.completed());
    EXPECT_EQ(fileBytes(receivedDataPath()), (std::vector<unsigned char>{0, 0, 0, 0}));
}

TEST(SerialInstrument, UnfinishedLinesWaitUntilCancelled) {
    for (const char* fault : {"--stall-after", "--break-after", "--overcount"}) {
        InstrumentProcess instrument({"serial", "--points", "8", "--baud", "0", "--delay", "100", fault, "3"});
        ASSERT_TRUE(instrument.ready()) << fault;
        SerialRun r(instrument);
        EXPECT_FALSE(r.ui.waitForEnd(800ms)) << fault;
        r.transfer.onDestroy();  // Cancel: the port closes, its monitor ends
        EXPECT_FALSE(r.transfer.serialPort().isOpen());
        EXPECT_FALSE(r.transfer.completed()) << fault;
        EXPECT_TRUE(r.ui.texts().empty()) << fault;
    }
}

// --- the command line

TEST(CliTransfer, SavesTheInstrumentsPointsAsACrackDataFile) {
    const std::string out = std::string(std::getenv("XDG_RUNTIME_DIR")) + "/cli.fsy";
    {
        InstrumentProcess instrument({"usb", "--points", "30"});
        ASSERT_TRUE(instrument.ready());
        ASSERT_EQ(runProgram({binDir() + "/fendal-cli", "transfer", "--usb", "-o", out}), 0);
        CrackDataFile file;
        ASSERT_TRUE(readCrackFile(out, file));
        EXPECT_EQ(file.pointCount(), 30);
        EXPECT_EQ(file.receivedCount(), 30);
    }
    {
        InstrumentProcess instrument({"serial", "--points", "9", "--baud", "0"});
        ASSERT_TRUE(instrument.ready());
        ASSERT_EQ(runProgram({binDir() + "/fendal-cli", "transfer", "--serial", instrument.path(), "-o", out}), 0);
        CrackDataFile file;
        ASSERT_TRUE(readCrackFile(out, file));
        EXPECT_EQ(file.pointCount(), 9);
    }
}

// The port named by number: a USB device index, a COM number that the environment maps to the
// instrument's line.
TEST(CliTransfer, PortsNamedByNumber) {
    const std::string cli = binDir() + "/fendal-cli";
    const std::string out = std::string(std::getenv("XDG_RUNTIME_DIR")) + "/numbered.fsy";
    {
        InstrumentProcess instrument({"usb", "--devices", "2", "--points", "12"});
        ASSERT_TRUE(instrument.ready());
        ASSERT_EQ(runProgram({cli, "transfer", "--usb", "--device", "1", "-o", out}), 0);
        CrackDataFile file;
        ASSERT_TRUE(readCrackFile(out, file));
        EXPECT_EQ(file.pointCount(), 12);
        std::string errors;
        EXPECT_EQ(runProgram({cli, "transfer", "--usb", "--device", "2", "-o", out}, &errors), 1);
        EXPECT_NE(errors.find("打开设备失败！"), std::string::npos) << errors;
    }
    {
        InstrumentProcess instrument({"serial", "--points", "7", "--baud", "0"});
        ASSERT_TRUE(instrument.ready());
        ::setenv("FENDAL_SERIAL_COM4", instrument.path().c_str(), 1);
        const int status = runProgram({cli, "transfer", "--serial", "4", "-o", out});
        ::unsetenv("FENDAL_SERIAL_COM4");
        ASSERT_EQ(status, 0);
        CrackDataFile file;
        ASSERT_TRUE(readCrackFile(out, file));
        EXPECT_EQ(file.pointCount(), 7);
    }
    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
             {"--serial", "11"}, {"--serial", "COM0"}, {"--serial", "4", "--device", "1"},
             {"--usb", "1", "--device", "1"}, {"--usb", "--device", "x"}}) {
        std::vector<std::string> args = {cli, "transfer"};
        args.insert(args.end(), bad.begin(), bad.end());
        args.insert(args.end(), {"-o", out});
        std::string errors;
        EXPECT_EQ(runProgram(args, &errors), 2) << bad[1];
        EXPECT_NE(errors.find("usage: fendal-cli transfer (--usb [--device N] | --serial N)"), std::string::npos)
            << errors;
    }
}

TEST(CliTransfer, FailuresExitWithAReason) {
    const std::string out = std::string(std::getenv("XDG_RUNTIME_DIR")) + "/none.fsy";
    std::string errors;
    EXPECT_EQ(runProgram({binDir() + "/fendal-cli", "transfer", "--usb", "-o", out}, &errors), 1);
    EXPECT_NE(errors.find("打开设备失败！"), std::string::npos) << errors;
    EXPECT_NE(runProgram({binDir() + "/fendal-cli", "transfer", "-o", out}), 0);

    InstrumentProcess stalled({"usb", "--points", "40", "--stall-after", "2"});
    ASSERT_TRUE(stalled.ready());
    EXPECT_EQ(runProgram({binDir() + "/fendal-cli", "transfer", "--usb", "-o", out, "--timeout", "1"}, &errors), 3);
    EXPECT_NE(errors.find("no end of transfer"), std::string::npos) << errors;
    CrackDataFile partial;
    ASSERT_TRUE(readCrackFile(out, partial));  // what came is kept
    EXPECT_EQ(partial.pointCount(), 10);
}

}  // namespace
