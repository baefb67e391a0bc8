#pragma once
// The instrument transfer behind the transfer settings dialog: it moves the measurements from
// the instrument into the received-data file, over USB (the program asks for the count, then
// for 32-byte blocks) or over a serial port (the instrument sends on its own).
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "platform/file_lock.h"
#include "platform/unique_file.h"
#include "transfer/serial_port.h"
#include "transfer/transfer_ui.h"
#include "transfer/usb_device_access.h"

namespace fendal::transfer {

inline constexpr char kTransferCaption[] = "正在传输，请稍候...";
inline constexpr char kTransferBusy[] = "另一个数据传输正在进行，请稍候再试。";
inline constexpr char kSerialLineLost[] = "串口连接已断开！";

class InstrumentTransfer : public SerialPortOwner {
public:
    enum PortType { kUsb = 0, kSerial = 1 };

    InstrumentTransfer(TransferUi& ui, UsbDeviceAccess& usb, platform::Profile* profile = nullptr);
    ~InstrumentTransfer() override;
    InstrumentTransfer(const InstrumentTransfer&) = delete;
    InstrumentTransfer& operator=(const InstrumentTransfer&) = delete;

    // The OK button: starts a transfer over the chosen port type (0 USB, 1 serial) and port
    // index (serial port number - 1). Never ends the dialog itself.
    void start(int portType, int portIndex);

    // A byte from the serial port; -1 for another port, 0 for a lead-in byte, else 1.
    int onPortChar(unsigned byte, unsigned port);

    // The Cancel button: stops a running USB worker (aborts its pending read and write and
    // waits for it) before the dialog goes away.
    void cancel();
    // The dialog's window is destroyed: stops the worker, closes the serial port and the file.
    // The received-data file stays locked until this object goes, so that no other transfer
    // rewrites it before the import has read it.
    void onDestroy();

    // Whether the transfer ran to its end ("传输完成").
    bool completed() const { return m_stage == Stage::Completed; }
    // The record count the instrument announced; -1 until it has.
    int announcedRecords() const { return m_announced; }
    // Where the received data goes; the program's received-data file unless told otherwise.
    void setReceivedPath(std::string path) { m_receivedPath = std::move(path); }
    const std::string& receivedPath() const { return m_receivedPath; }
    bool workerRunning() const { return m_workerRunning; }
    CSerialPort& serialPort() { return m_serial; }
    // The USB device to use; the first one found unless told otherwise.
    void setDeviceIndex(uint32_t index) { m_usbIndex = index; }
    uint32_t deviceIndex() const { return m_usbIndex; }
    // Who receives the serial port's messages; this transfer itself unless an owner forwards
    // them (to the dialog's thread).
    void setPortOwner(SerialPortOwner* owner) { m_portOwner = owner; }

    // SerialPortOwner
    void onPortMessage(unsigned message, unsigned wParam, unsigned lParam) override;
    void showPortError(const std::string& text) override;
    void dropPendingMessages(bool drop) override { m_ui.releaseWaits(drop); }

private:
    // Where a transfer stands. The USB worker and the dialog's thread both move it, each only
    // from the stage it expects (advance), so a cancel and the worker's end never cross.
    enum class Stage {
        Idle,       // settings editable: before a start, and after a start that failed
        Running,    // the USB worker exchanges, or the serial port listens
        Cancelled,  // the user cancelled the USB worker while it ran: it winds down in silence
        Completed,  // "传输完成": the file holds all the instrument announced
        Ended,      // ended without completing: a failed read or write, a line that hung up
    };
    bool advance(Stage from, Stage to) { return m_stage.compare_exchange_strong(from, to); }
    bool cancelled() const { return m_stage == Stage::Cancelled; }

    void startUsb();
    void startSerial();
    bool lockReceivedFile();
    bool rewriteReceivedFile();
    void closeFile();
    void startFailed(bool portNumber);
    bool openPathHandle(std::atomic<intptr_t>& handle);
    enum class Exchange { Complete, Stopped, WriteFailed };
    void transferWorker();
    Exchange exchange();
    bool request(const unsigned char* bytes, uint32_t length);
    void closeDevice();
    void finishSerial();
    void onLineLost();
    void appMessage(const char* text) { m_ui.message(text, "", data::MsgIcon::Information); }
    void deviceError(const char* text) { m_ui.message(text, kDeviceErrorCaption, data::MsgIcon::Error); }

    TransferUi& m_ui;
    UsbDeviceAccess& m_usb;

    platform::UniqueFile m_file;
    std::atomic<int> m_deviceOpen{0};
    uint32_t m_deviceIndex = 0;
    std::atomic<int> m_workerRunning{0};
    std::atomic<intptr_t> m_writeHandle{UsbDeviceAccess::kInvalidHandle};
    std::atomic<intptr_t> m_readHandle{UsbDeviceAccess::kInvalidHandle};
    std::mutex m_lock;
    int m_portType = kUsb;
    int m_portIndex = -1;
    CSerialPort m_serial;
    int m_rxCount = 0;
    int m_rxExpected = 0;

    uint32_t m_usbIndex = 0;
    std::thread m_worker;
    std::atomic<Stage> m_stage{Stage::Idle};
    // Keeps the Cancel button's aborts away from a device that is being closed.
    std::mutex m_closeLock;
    SerialPortOwner* m_portOwner = this;
    std::string m_receivedPath;
    // Held from the start of a transfer until this object goes (see onDestroy).
    platform::FileLock m_receivedLock;
    std::atomic<int> m_announced{-1};
};

}  // namespace fendal::transfer
