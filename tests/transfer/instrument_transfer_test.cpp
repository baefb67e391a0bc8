#include "transfer/instrument_transfer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "line_pair.h"
#include "transfer_fakes.h"

using namespace fendal;
using namespace fendal::data;
using namespace fendal::transfer;

namespace {

using Bytes = std::vector<unsigned char>;
constexpr char kWriteFailed[] = "端点2下传失败！如果设备断开过那么请先关闭本程序";

int32_t lengthField(const Bytes& file) {
    return file.size() < 4 ? -1 : static_cast<int32_t>(file[0] | file[1] << 8 | file[2] << 16 | file[3] << 24);
}

Bytes recordBytes(const std::vector<ReceivedRecord>& records) {
    Bytes out;
    for (const auto& r : records) {
        unsigned char rec[6];
        encodeReceivedRecord(r, rec);
        out.insert(out.end(), rec, rec + 6);
    }
    return out;
}

struct UsbRun {
    explicit UsbRun(int count) : usb(count), transfer(ui, usb) {}
    void run() {
        transfer.start(InstrumentTransfer::kUsb, -1);
        ASSERT_TRUE(ui.waitForEnd());
        transfer.onDestroy();
    }
    ScriptedTransferUi ui;
    FakeUsbDevice usb;
    InstrumentTransfer transfer;
};

TEST(UsbTransfer, SixRecordsTakeTwoBlocksAndEndWithOk) {
    UsbRun t(6);
    t.run();
    const std::vector<Bytes> exchange = {{0x00}, {0x00, 0x00}, {0x00, 0x01}, {0x00, 0x00, 0x00}};
    EXPECT_EQ(t.usb.writes, exchange);
    const Bytes file = fileBytes(receivedDataPath());
    ASSERT_EQ(file.size(), 4u + 64u);
    EXPECT_EQ(lengthField(file), 36);
    const Bytes data(file.begin() + 4, file.begin() + 40);
    EXPECT_EQ(data, recordBytes(t.usb.records));
    EXPECT_EQ(Bytes(file.begin() + 40, file.end()), Bytes(28, 0));  // block padding
    EXPECT_EQ(t.ui.texts(), std::vector<std::string>{"传输完成"});
    EXPECT_EQ(t.ui.endTimers, 1);
    EXPECT_EQ(t.ui.caption, kTransferCaption);
    EXPECT_TRUE(t.transfer.completed());
    // The device and both further handles are given back; the worker's end always aborts.
    EXPECT_FALSE(t.usb.open);
    EXPECT_EQ(t.usb.pathsOpened, 2);
    EXPECT_EQ(t.usb.pathsClosed, 2);
    EXPECT_EQ(t.usb.openedPath, "/dev/fake-ql260");
    EXPECT_EQ(t.usb.abortedReads, 1);
    EXPECT_EQ(t.ui.lastProgress, std::make_pair(36, 36));

    const ReceivedData imported = readReceivedDataFile(receivedDataPath());
    EXPECT_TRUE(imported.complete());
    EXPECT_EQ(imported.points.size(), 6u);
}

TEST(UsbTransfer, CountZeroStillAsksForOneBlock) {
    UsbRun t(0);
    t.run();
    const std::vector<Bytes> exchange = {{0x00}, {0x00, 0x00}, {0x00, 0x00, 0x00}};
    EXPECT_EQ(t.usb.writes, exchange);
    const Bytes file = fileBytes(receivedDataPath());
    EXPECT_EQ(file.size(), 4u + 32u);
    EXPECT_EQ(lengthField(file), 0);
    EXPECT_TRUE(t.transfer.completed());
}

TEST(UsbTransfer, BlockNumbersCountInBase255) {
    UsbRun t(2800);  // 16800 bytes: blocks 0..524
    t.run();
    ASSERT_EQ(t.usb.writes.size(), 1u + 525u + 1u);
    EXPECT_EQ(t.usb.writes[1 + 254], (Bytes{0x00, 0xFE}));
    EXPECT_EQ(t.usb.writes[1 + 255], (Bytes{0x01, 0x00}));
    EXPECT_EQ(t.usb.writes[1 + 256], (Bytes{0x01, 0x01}));
    EXPECT_EQ(t.usb.writes[1 + 510], (Bytes{0x02, 0x00}));
    const ReceivedData imported = readReceivedDataFile(receivedDataPath());
    ASSERT_EQ(imported.points.size(), 2800u);
    EXPECT_TRUE(imported.complete());
    EXPECT_EQ(imported.points[2799].depth, pointFromReceived(demoRecord(2799)).depth);
}

TEST(UsbTransfer, FailedReadsEndSilentlyAndFailedWritesSaySo) {
    // The count lost, a count of one byte only (its other half must not be made up).
    for (const std::size_t countLength : {0u, 1u}) {
        UsbRun countLost(5);
        if (countLength == 0) countLost.usb.failReadAt = 0;
        countLost.usb.countLength = countLength;
        countLost.run();
        EXPECT_TRUE(countLost.ui.texts().empty()) << countLength;
        EXPECT_EQ(countLost.ui.endTimers, 1) << countLength;  // the dialog still ends with OK
        EXPECT_FALSE(countLost.transfer.completed());
        EXPECT_FALSE(countLost.usb.open);
        EXPECT_EQ(countLost.usb.writes, std::vector<Bytes>{{0x00}}) << "no block is asked for";
        EXPECT_EQ(readReceivedDataFile(receivedDataPath()).status, ReceivedData::Status::BadLength);
    }
    {
        UsbRun blockLost(20);
        blockLost.usb.failReadAt = 2;  // count and first block arrive
        blockLost.run();
        EXPECT_TRUE(blockLost.ui.texts().empty());
        const Bytes file = fileBytes(receivedDataPath());
        EXPECT_EQ(file.size(), 4u + 32u);
        EXPECT_EQ(lengthField(file), 120);
        // The import gets the whole records there are and knows that more were promised.
        const ReceivedData imported = readReceivedDataFile(receivedDataPath());
        EXPECT_EQ(imported.points.size(), 5u);
        EXPECT_FALSE(imported.complete());
    }

    for (int failAt : {0, 1, 2}) {  // count, block and end requests
        UsbRun t(2);
        t.usb.failWriteAt = failAt;
        t.run();
        ASSERT_EQ(t.ui.shown().size(), 1u) << failAt;
        EXPECT_EQ(t.ui.shown()[0].text, kWriteFailed);
        EXPECT_EQ(t.ui.shown()[0].caption, "DEBUG418");
        EXPECT_EQ(t.ui.shown()[0].icon, MsgIcon::Error);
        EXPECT_EQ(t.ui.endTimers, 1);
        EXPECT_FALSE(t.usb.open);
    }
}

TEST(UsbTransfer, StartFailuresReportAndLetTheUserTryAgain) {
    ScriptedTransferUi ui;
    FakeUsbDevice usb(3);
    usb.failOpen = true;
    {
        InstrumentTransfer transfer(ui, usb);
        transfer.start(InstrumentTransfer::kUsb, -1);
        ASSERT_EQ(ui.shown().size(), 1u);
        EXPECT_EQ(ui.shown()[0].text, "打开设备失败！");
        EXPECT_EQ(ui.shown()[0].caption, "DEBUG418");
        EXPECT_EQ(ui.controls, (std::vector<bool>{true, true, false}));
        EXPECT_FALSE(transfer.workerRunning());
        EXPECT_EQ(ui.endTimers, 0);

        // The second try works once the device is there.
        usb.failOpen = false;
        transfer.start(InstrumentTransfer::kUsb, -1);
        ASSERT_TRUE(ui.waitForEnd());
        EXPECT_TRUE(transfer.completed());
    }

    // A device that vanishes before its name is read, or whose path cannot be opened, is
    // closed again so that the next try finds it free.
    for (int variant = 0; variant < 3; ++variant) {
        ScriptedTransferUi failedUi;
        FakeUsbDevice failing(3);
        failing.noName = variant == 0;
        if (variant > 0) failing.failPathAt = variant - 1;  // the read handle, then the write handle
        InstrumentTransfer transfer(failedUi, failing);
        transfer.start(InstrumentTransfer::kUsb, -1);
        ASSERT_EQ(failedUi.texts(), std::vector<std::string>{"无法打开设备！"}) << variant;
        EXPECT_FALSE(failing.open) << variant;
        EXPECT_EQ(failing.pathsClosed, failing.pathsOpened) << variant;
        EXPECT_EQ(failedUi.controls, (std::vector<bool>{true, true, false}));
        EXPECT_TRUE(failing.writes.empty());
    }
}

TEST(UsbTransfer, UnwritableReceivedFileStopsTheStart) {
    const std::string path = receivedDataPath();
    std::filesystem::remove(path);
    ASSERT_TRUE(std::filesystem::create_directory(path));  // a folder in the file's place
    ScriptedTransferUi ui;
    FakeUsbDevice usb(3);
    InstrumentTransfer transfer(ui, usb);
    transfer.start(InstrumentTransfer::kUsb, -1);
    std::filesystem::remove(path);
    ASSERT_EQ(ui.shown().size(), 1u);
    // The reason follows the program's text.
    EXPECT_EQ(ui.shown()[0].text.rfind("初始化临时文件失败！\n" + path + ": ", 0), 0u) << ui.shown()[0].text;
    EXPECT_EQ(ui.shown()[0].caption, "");  // the application's own message box
    EXPECT_EQ(ui.controls, (std::vector<bool>{true, true, false}));
    EXPECT_FALSE(usb.open);
    EXPECT_TRUE(usb.writes.empty());
}

// Two transfers at once would share the received-data file and import each other's points: the
// second is refused at its start and touches nothing, until the first has been imported.
TEST(ReceivedFileLock, SecondTransferIsRefusedUntilTheFirstIsGone) {
    LinePair pty;
    ScriptedTransferUi firstUi, secondUi;
    FakeUsbDevice firstUsb(40), secondUsb(7);
    firstUsb.stallAt = 2;  // the count and block 0 arrive, then the instrument is silent
    auto first = std::make_unique<InstrumentTransfer>(firstUi, firstUsb);
    InstrumentTransfer second(secondUi, secondUsb);
    second.serialPort().portNames().setDevicePath(2, pty.slavePath());

    first->start(InstrumentTransfer::kUsb, -1);
    ASSERT_TRUE(firstUsb.waitUntilStalled());
    second.start(InstrumentTransfer::kUsb, -1);
    second.start(InstrumentTransfer::kSerial, 1);
    ASSERT_EQ(secondUi.shown().size(), 2u);
    for (const ShownMessage& m : secondUi.shown()) {
        EXPECT_EQ(m.text, kTransferBusy);
        EXPECT_EQ(m.caption, "");
    }
    EXPECT_EQ(secondUi.controls, (std::vector<bool>{true, true, true}));
    EXPECT_FALSE(secondUsb.open);
    EXPECT_TRUE(secondUsb.writes.empty());
    EXPECT_FALSE(second.serialPort().isOpen());

    // The first's window is gone but its data not read yet: the file stays the first's.
    first->cancel();
    first->onDestroy();
    const Bytes firstFile = fileBytes(receivedDataPath());
    ASSERT_EQ(firstFile.size(), 4u + 32u);
    second.start(InstrumentTransfer::kUsb, -1);
    EXPECT_EQ(secondUi.texts().size(), 3u);
    EXPECT_EQ(fileBytes(receivedDataPath()), firstFile);

    first.reset();
    second.start(InstrumentTransfer::kUsb, -1);
    ASSERT_TRUE(secondUi.waitForEnd());
    second.onDestroy();
    EXPECT_TRUE(second.completed());
    EXPECT_EQ(readReceivedDataFile(receivedDataPath()).points.size(), 7u);
}

TEST(UsbTransfer, CancelAbortsTheStalledReadAndWaitsForTheWorker) {
    ScriptedTransferUi ui;
    FakeUsbDevice usb(40);
    usb.stallAt = 3;
    InstrumentTransfer transfer(ui, usb);
    transfer.start(InstrumentTransfer::kUsb, -1);
    ASSERT_TRUE(usb.waitUntilStalled());
    transfer.cancel();
    EXPECT_FALSE(transfer.workerRunning());
    EXPECT_GE(usb.abortedReads, 1);
    EXPECT_FALSE(usb.open);
    EXPECT_TRUE(ui.texts().empty());
    EXPECT_EQ(ui.endTimers, 0);  // the dialog is already ending with Cancel
    EXPECT_FALSE(transfer.completed());
}

// --- the serial path

struct SerialRun {
    SerialRun() : usb(0), transfer(ui, usb) {}
    // Starts listening on COM2, which is the test's pseudo-terminal.
    void listen() {
        transfer.serialPort().portNames().setDevicePath(2, pty.slavePath());
        transfer.start(InstrumentTransfer::kSerial, 1);
    }
    int feed(const Bytes& bytes, unsigned port = 2) {
        int last = 0;
        for (unsigned char b : bytes) last = transfer.onPortChar(b, port);
        return last;
    }
    LinePair pty;
    ScriptedTransferUi ui;
    FakeUsbDevice usb;
    InstrumentTransfer transfer;
};

TEST(SerialTransfer, LeadInsCountAndDataMakeTheFile) {
    SerialRun t;
    t.listen();
    ASSERT_TRUE(t.ui.texts().empty());
    EXPECT_EQ(t.ui.caption, kTransferCaption);
    EXPECT_EQ(t.transfer.onPortChar(0x00, 3), -1);  // another port
    EXPECT_EQ(t.feed({0x55, 0x55}), 0);             // lead-ins
    EXPECT_EQ(t.feed({0x00}), 1);
    // Once counting has begun, 0x55 is a count byte like any other: 0x55 records.
    EXPECT_EQ(t.feed({0x55}), 1);
    std::vector<ReceivedRecord> records;
    for (int i = 0; i < 0x55; ++i) records.push_back(demoRecord(i));
    const Bytes data = recordBytes(records);
    t.feed(Bytes(data.begin(), data.end() - 1));
    EXPECT_EQ(t.ui.endsWithOk, 0);
    EXPECT_EQ(t.ui.lastProgress, std::make_pair(0x55 * 6 - 1, 0x55 * 6));
    t.feed({data.back()});
    EXPECT_EQ(t.ui.endsWithOk, 1);
    EXPECT_EQ(t.ui.texts(), std::vector<std::string>{"传输完成"});
    EXPECT_TRUE(t.transfer.completed());
    // Bytes after the end belong to no transfer.
    EXPECT_EQ(t.feed({0x00, 0x01, 1, 2, 3, 4, 5, 6}), 0);
    EXPECT_EQ(t.ui.endsWithOk, 1);
    t.transfer.onDestroy();

    const Bytes file = fileBytes(receivedDataPath());
    ASSERT_EQ(file.size(), 4u + data.size());
    EXPECT_EQ(lengthField(file), 0x55 * 6);
    EXPECT_EQ(Bytes(file.begin() + 4, file.end()), data);
}

TEST(SerialTransfer, CountZeroEndsAtOnce) {
    SerialRun t;
    t.listen();
    ASSERT_EQ(t.ui.texts(), std::vector<std::string>{});  // listening, not failed
    t.feed({0x55, 0x00, 0x00});
    EXPECT_EQ(t.ui.endsWithOk, 1);
    EXPECT_TRUE(t.transfer.completed());
    t.transfer.onDestroy();
    const Bytes file = fileBytes(receivedDataPath());
    EXPECT_EQ(file, (Bytes{0, 0, 0, 0}));
}

TEST(SerialTransfer, BytesOnTheLineReachTheFile) {
    SerialRun t;
    t.listen();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::vector<ReceivedRecord> records;
    for (int i = 0; i < 30; ++i) records.push_back(demoRecord(i));
    Bytes line = {0x55, 0x55, 0x55, 0x00, 30};
    const Bytes data = recordBytes(records);
    line.insert(line.end(), data.begin(), data.end());
    ASSERT_TRUE(t.pty.send(line));
    ASSERT_TRUE(t.ui.waitForEnd());
    t.transfer.onDestroy();
    const ReceivedData imported = readReceivedDataFile(receivedDataPath());
    ASSERT_TRUE(imported.complete());
    ASSERT_EQ(imported.points.size(), 30u);
    EXPECT_EQ(imported.points[29].velocity, pointFromReceived(demoRecord(29)).velocity);
}

TEST(SerialTransfer, PortThatCannotBeOpenedLeavesTheDialogReady) {
    SerialRun t;
    t.transfer.serialPort().portNames().setDevicePath(4, "/nonexistent/ttyQ");
    t.transfer.start(InstrumentTransfer::kSerial, 3);
    EXPECT_EQ(t.ui.texts(), std::vector<std::string>{"连接串口失败，请检查串口资源是否可用！"});
    EXPECT_EQ(t.ui.controls, (std::vector<bool>{true, true, true}));
    EXPECT_FALSE(t.transfer.serialPort().isOpen());
}

}  // namespace
