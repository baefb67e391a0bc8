#include "transfer/set_conv_dlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <chrono>
#include <cstdio>

#include "instrument_process.h"
#include "pty_pair.h"
#include "transfer_fakes.h"

using namespace fendal;
using namespace fendal::data;
using namespace fendal::transfer;

namespace {

int argc = 1;
char arg0[] = "set_conv_dlg_test";
char* argv[] = {arg0, nullptr};
QApplication& app() {
    static QApplication instance(argc, argv);
    return instance;
}

// Answers every message box that comes up, as the user would, and remembers what it said.
class BoxCloser {
public:
    BoxCloser() {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                seen.push_back({box->windowTitle(), box->text()});
                box->accept();
            }
        });
        timer_.start();
    }
    std::vector<std::pair<QString, QString>> seen;

private:
    QTimer timer_;
};

// Runs the dialog modally, doing `act` once it shows; a dialog that does not end fails.
int runDialog(CSetConvDlg& dialog, const std::function<void()>& act) {
    QTimer::singleShot(0, &dialog, act);
    bool timedOut = false;
    QTimer::singleShot(15000, &dialog, [&] {
        timedOut = true;
        dialog.done(-1);
    });
    const int result = dialog.exec();
    EXPECT_FALSE(timedOut);
    return result;
}

struct Controls {
    explicit Controls(CSetConvDlg& d)
        : ok(d.findChild<QPushButton*>("ok")),
          cancel(d.findChild<QPushButton*>("cancel")),
          portType(d.findChild<QComboBox*>("portType")),
          portLabel(d.findChild<QLabel*>("portNumberLabel")),
          portNumber(d.findChild<QComboBox*>("portNumber")),
          devicePath(d.findChild<QLabel*>("devicePath")) {}
    QPushButton* ok;
    QPushButton* cancel;
    QComboBox* portType;
    QLabel* portLabel;
    QComboBox* portNumber;
    QLabel* devicePath;
};

TEST(SetConvDlg, StartsFromUsbAndFollowsThePortType) {
    app();
    ::setenv("FENDAL_SERIAL_COM1", "/dev/ttyUSB7", 1);
    {
        CSetConvDlg dialog;
        Controls c(dialog);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("数据传输设置"));
        EXPECT_EQ(c.ok->text(), QStringLiteral("确定"));
        EXPECT_TRUE(c.ok->isDefault());
        EXPECT_EQ(c.cancel->text(), QStringLiteral("取消"));
        ASSERT_EQ(c.portType->count(), 2);
        EXPECT_EQ(c.portType->itemText(1), QStringLiteral("串口"));
        EXPECT_EQ(c.portType->currentText(), QStringLiteral("USB"));
        EXPECT_FALSE(c.portLabel->isEnabled());
        EXPECT_FALSE(c.portNumber->isEnabled());
        EXPECT_EQ(c.portNumber->currentIndex(), -1);
        ASSERT_EQ(c.portNumber->count(), 8);
        EXPECT_EQ(c.portNumber->itemText(7), QStringLiteral("COM8"));

        c.portType->setCurrentIndex(1);
        EXPECT_TRUE(c.portLabel->isEnabled());
        EXPECT_TRUE(c.portNumber->isEnabled());
        EXPECT_EQ(c.portNumber->currentText(), QStringLiteral("COM1"));
        EXPECT_EQ(c.devicePath->text(), QStringLiteral("/dev/ttyUSB7"));  // what COM1 means here
        c.portNumber->setCurrentIndex(2);
        EXPECT_EQ(c.devicePath->text(), QStringLiteral("/dev/ttyS2"));

        c.portType->setCurrentIndex(0);
        EXPECT_FALSE(c.portNumber->isEnabled());
        EXPECT_EQ(c.portNumber->currentIndex(), -1);
        EXPECT_TRUE(c.devicePath->text().isEmpty());
        c.portType->setCurrentIndex(1);
    }
    ::unsetenv("FENDAL_SERIAL_COM1");
    CSetConvDlg again;
    EXPECT_EQ(Controls(again).portType->currentIndex(), 0);
    EXPECT_FALSE(Controls(again).portNumber->isEnabled());
}

TEST(SetConvDlg, SaysWhichUsbDeviceTheTransferUses) {
    app();
    FakeUsbDevice usb(3);
    CSetConvDlg dialog(nullptr, &usb);
    Controls c(dialog);
    EXPECT_EQ(c.devicePath->text(), QStringLiteral("/dev/fake-ql260"));
    // Looked up again when USB is chosen again: a device that went is no longer named.
    usb.noName = true;
    c.portType->setCurrentIndex(1);
    c.portType->setCurrentIndex(0);
    EXPECT_TRUE(c.devicePath->text().isEmpty());
}

TEST(SetConvDlg, UsbTransferEndsTheDialogWithOk) {
    app();
    FakeUsbDevice usb(12);
    CSetConvDlg dialog(nullptr, &usb);
    BoxCloser boxes;
    const int result = runDialog(dialog, [&] {
        Controls(dialog).ok->click();
        EXPECT_FALSE(Controls(dialog).ok->isEnabled());
        EXPECT_FALSE(Controls(dialog).portType->isEnabled());
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("正在传输，请稍候..."));
    });
    EXPECT_EQ(result, QDialog::Accepted);
    ASSERT_EQ(boxes.seen.size(), 1u);
    EXPECT_EQ(boxes.seen[0].second, QStringLiteral("传输完成"));
    EXPECT_TRUE(dialog.transfer().completed());
    EXPECT_EQ(readReceivedDataFile(receivedDataPath()).points.size(), 12u);
}

TEST(SetConvDlg, FailedStartLeavesTheDialogOpenForAnotherTry) {
    app();
    FakeUsbDevice usb(3);
    usb.failOpen = true;
    CSetConvDlg dialog(nullptr, &usb);
    BoxCloser boxes;
    const int result = runDialog(dialog, [&] {
        Controls c(dialog);
        c.ok->click();  // the error box is answered by the closer
        EXPECT_TRUE(c.ok->isEnabled());
        EXPECT_TRUE(c.portType->isEnabled());
        EXPECT_FALSE(c.portNumber->isEnabled());
        EXPECT_TRUE(dialog.isVisible());
        c.cancel->click();
    });
    EXPECT_EQ(result, QDialog::Rejected);
    ASSERT_EQ(boxes.seen.size(), 1u);
    EXPECT_EQ(boxes.seen[0].first, QStringLiteral("DEBUG418"));
    EXPECT_EQ(boxes.seen[0].second, QStringLiteral("打开设备失败！"));
}

TEST(SetConvDlg, CancelStopsAStalledUsbTransfer) {
    app();
    FakeUsbDevice usb(50);
    usb.stallAt = 2;
    CSetConvDlg dialog(nullptr, &usb);
    BoxCloser boxes;
    const int result = runDialog(dialog, [&] {
        Controls(dialog).ok->click();
        ASSERT_TRUE(usb.waitUntilStalled());
        Controls(dialog).cancel->click();
    });
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_FALSE(dialog.transfer().workerRunning());
    EXPECT_FALSE(usb.open);
    EXPECT_TRUE(boxes.seen.empty());
}

// The instrument's process is stopped in the middle of a transfer through the device-access
// library: Cancel ends the dialog within about a second all the same.
TEST(SetConvDlg, CancelEndsTheDialogWhenTheInstrumentHangs) {
    app();
    InstrumentProcess instrument({"usb", "--points", "5000"});
    ASSERT_TRUE(instrument.ready());
    CSetConvDlg dialog;
    BoxCloser boxes;
    auto pressed = std::chrono::steady_clock::now();
    const int result = runDialog(dialog, [&] {
        Controls(dialog).ok->click();
        instrument.freeze();
        QTimer::singleShot(200, &dialog, [&] {
            pressed = std::chrono::steady_clock::now();
            Controls(dialog).cancel->click();
        });
    });
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - pressed);
    std::printf("Cancel to dialog gone, instrument stopped: %lld ms\n", static_cast<long long>(took.count()));
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(dialog.transfer().workerRunning());
    EXPECT_TRUE(boxes.seen.empty());
}

// The dialog on a test line as COM1 (the first port the serial choice offers).
struct SerialDialog {
    SerialDialog() { dialog.transfer().serialPort().portNames().setDevicePath(1, pty.slavePath()); }
    QApplication& application = app();
    PtyPair pty;
    FakeUsbDevice usb{0};
    CSetConvDlg dialog{nullptr, &usb};
};

TEST(SetConvDlg, SerialBytesAreHandledOnTheDialogsThread) {
    SerialDialog serial;
    auto& [application, pty, usb, dialog] = serial;
    BoxCloser boxes;
    std::vector<unsigned char> line = {0x55, 0x00, 0x02};
    for (int i = 0; i < 2; ++i) {
        unsigned char rec[6];
        encodeReceivedRecord(demoRecord(i), rec);
        line.insert(line.end(), rec, rec + 6);
    }
    const int result = runDialog(dialog, [&] {
        Controls c(dialog);
        c.portType->setCurrentIndex(1);
        c.ok->click();
        EXPECT_FALSE(c.portNumber->isEnabled());
        // The monitor empties the line when it starts; the instrument sends a moment later.
        QTimer::singleShot(100, &dialog, [&] { pty.send(line); });
    });
    EXPECT_EQ(result, QDialog::Accepted);
    ASSERT_EQ(boxes.seen.size(), 1u);
    EXPECT_EQ(boxes.seen[0].second, QStringLiteral("传输完成"));
    EXPECT_EQ(readReceivedDataFile(receivedDataPath()).points.size(), 2u);
}

// The line hangs up while the dialog listens: it says so and ends with OK, so that what came
// is imported; the port is closed from within the handling of the engine's message.
TEST(SetConvDlg, LineThatHangsUpEndsTheDialogWithOk) {
    SerialDialog serial;
    auto& [application, pty, usb, dialog] = serial;
    BoxCloser boxes;
    const int result = runDialog(dialog, [&] {
        Controls c(dialog);
        c.portType->setCurrentIndex(1);
        c.ok->click();
        QTimer::singleShot(100, &dialog, [&] { pty.send({0x55, 0x00, 0x03, 0x00, 0x01}); });
        QTimer::singleShot(300, &dialog, [&] { pty.closeMaster(); });
    });
    EXPECT_EQ(result, QDialog::Accepted);
    ASSERT_EQ(boxes.seen.size(), 1u);
    EXPECT_EQ(boxes.seen[0], (std::pair<QString, QString>{QStringLiteral("DEBUG418"), QString(kSerialLineLost)}));
    EXPECT_FALSE(dialog.transfer().serialPort().isOpen());
    const ReceivedData data = readReceivedDataFile(receivedDataPath());
    EXPECT_EQ(data.promised, 3);
    EXPECT_TRUE(data.points.empty());
}

TEST(SetConvDlg, CancelWhileBytesAreArrivingDoesNotHang) {
    SerialDialog serial;
    auto& [application, pty, usb, dialog] = serial;
    const int result = runDialog(dialog, [&] {
        Controls c(dialog);
        c.portType->setCurrentIndex(1);
        c.ok->click();
        // Far fewer bytes than announced: the monitor waits on the dialog for each one.
        QTimer::singleShot(100, &dialog, [&] { pty.send(std::vector<unsigned char>(2000, 0x07)); });
        QTimer::singleShot(130, &dialog, [&] { Controls(dialog).cancel->click(); });
    });
    EXPECT_EQ(result, QDialog::Rejected);
}

}  // namespace
