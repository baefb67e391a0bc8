#include "transfer/instrument_transfer.h"

#include <chrono>
#include <cstring>
#include <string>
#include <system_error>

#include "data/received_data.h"
#include "platform/byte_order.h"

namespace fendal::transfer {

namespace {

using namespace std::chrono_literals;

constexpr int kBlockSize = 32;
constexpr unsigned kSerialBaud = 2400;
constexpr uint32_t kSerialEvents = platform::kSerialEvRxChar | platform::kSerialEvRxFlag;
constexpr unsigned kSendBufferSize = 512;
constexpr unsigned char kLeadIn = 0x55;

// The received-data file starts with the number of data bytes, little-endian like all the
// program's own files.
bool writeLength(std::FILE* file, int32_t n) {
    unsigned char bytes[4];
    platform::storeLe32(bytes, static_cast<uint32_t>(n));
    return std::fwrite(bytes, 1, 4, file) == 4;
}

}  // namespace

InstrumentTransfer::InstrumentTransfer(TransferUi& ui, UsbDeviceAccess& usb, platform::Profile* profile)
    : m_ui(ui), m_usb(usb), m_serial(profile), m_receivedPath(data::receivedDataPath()) {}

InstrumentTransfer::~InstrumentTransfer() { onDestroy(); }

void InstrumentTransfer::start(int portType, int portIndex) {
    m_ui.enableControls(false, false, false);
    m_portType = portType;
    m_portIndex = portIndex;
    if (m_portType == kSerial)
        startSerial();
    else if (m_portType == kUsb)
        startUsb();
}

// Two transfers at once would write one file: one of them would import the other's points.
// The lock is taken before anything is changed, so a refused start leaves the file as it was.
bool InstrumentTransfer::lockReceivedFile() {
    closeFile();
    switch (m_receivedLock.lock(m_receivedPath)) {
    case platform::FileLock::Result::Locked: return true;
    case platform::FileLock::Result::Busy: m_ui.message(kTransferBusy, "", data::MsgIcon::Warning); return false;
    case platform::FileLock::Result::Failed: break;
    }
    appMessage(("初始化临时文件失败！\n" + m_receivedLock.errorText()).c_str());
    return false;
}

bool InstrumentTransfer::rewriteReceivedFile() {
    closeFile();
    m_file = m_receivedLock.rewrite();
    if (m_file) return true;
    appMessage(("初始化临时文件失败！\n" + m_receivedPath + ": " + m_receivedLock.errorText()).c_str());
    return false;
}

void InstrumentTransfer::closeFile() { m_file.reset(); }

// Back to the settings: nothing of this start is kept, not even the lock.
void InstrumentTransfer::startFailed(bool portNumber) {
    closeFile();
    m_receivedLock.unlock();
    m_ui.enableControls(true, true, portNumber);
}

// ---------------------------------------------------------------- USB

void InstrumentTransfer::startUsb() {
    if (m_worker.joinable()) m_worker.join();  // a previous worker has ended (it said so by timer)
    m_deviceOpen = 0;
    m_deviceIndex = m_usbIndex;
    m_workerRunning = 0;
    m_writeHandle = UsbDeviceAccess::kInvalidHandle;
    m_readHandle = UsbDeviceAccess::kInvalidHandle;
    m_stage = Stage::Idle;
    m_announced = -1;

    if (!lockReceivedFile() || !rewriteReceivedFile()) return startFailed(false);
    // The flag was cleared just above, so the device is always opened here.
    if (!m_usb.openDevice(m_deviceIndex)) {
        deviceError("打开设备失败！");
        return startFailed(false);
    }
    m_deviceOpen = 1;
    // Without its handles, or without its worker, the device is closed again at once, so a
    // second attempt finds it free.
    if (!openPathHandle(m_readHandle) || !openPathHandle(m_writeHandle)) {
        closeDevice();
        deviceError("无法打开设备！");
        return startFailed(false);
    }
    try {
        m_workerRunning = 1;
        m_stage = Stage::Running;
        m_worker = std::thread(&InstrumentTransfer::transferWorker, this);
    } catch (const std::system_error&) {
        m_workerRunning = 0;
        m_stage = Stage::Idle;
        closeDevice();
        deviceError("端点2线程启动失败");
        return startFailed(false);
    }
    m_ui.setCaption(kTransferCaption);
}

// The library ignores these handles (all traffic goes through the device it opened), but the
// instrument's protocol opens them and passes them along, and a start fails without them.
bool InstrumentTransfer::openPathHandle(std::atomic<intptr_t>& handle) {
    if (handle != UsbDeviceAccess::kInvalidHandle) return true;
    // The device may have gone between the calls: no name is a failed open.
    const char* name = m_usb.deviceName(m_deviceIndex);
    if (!name) return false;
    handle = m_usb.openPath(std::string(name, strnlen(name, 128)));
    return handle != UsbDeviceAccess::kInvalidHandle;
}

// The protocol sends every request from a buffer of 512 bytes, the rest of it zeros.
bool InstrumentTransfer::request(const unsigned char* bytes, uint32_t length) {
    unsigned char buffer[512] = {};
    std::memcpy(buffer, bytes, length);
    uint32_t n = length;
    return m_usb.writeData(m_deviceIndex, buffer, n);
}

void InstrumentTransfer::transferWorker() {
    if (m_deviceOpen && m_readHandle != UsbDeviceAccess::kInvalidHandle &&
        m_writeHandle != UsbDeviceAccess::kInvalidHandle) {
        // The one read of the flag, under the lock: the worker does not look at it again.
        int open = 0;
        {
            std::lock_guard<std::mutex> guard(m_lock);
            open = m_deviceOpen;
        }
        const Exchange result = open ? exchange() : Exchange::Stopped;
        // A write that failed because the user cancelled is no device failure.
        if (result == Exchange::WriteFailed && !cancelled())
            deviceError("端点2下传失败！如果设备断开过那么请先关闭本程序");
        // The protocol's own step: the flag is set again so that closeDevice closes the
        // library's device whichever way the exchange ended. m_workerRunning is still set
        // here, so the pending read and write are aborted first.
        m_deviceOpen = 1;
        closeDevice();
    }
    m_workerRunning = 0;
    advance(Stage::Running, Stage::Ended);
    // The dialog ends on its own thread, 20 ms from now, whether the transfer completed or not.
    if (!cancelled()) m_ui.startEndTimer();
}

// Count request, block requests, end request. A failed read ends it without a word; every
// step goes on only while the user has not cancelled.
InstrumentTransfer::Exchange InstrumentTransfer::exchange() {
    unsigned char buffer[512] = {};
    if (cancelled()) return Exchange::Stopped;
    const unsigned char countRequest[1] = {0x00};
    if (!request(countRequest, 1)) return Exchange::WriteFailed;
    uint32_t length = 2;
    if (cancelled() || !m_usb.readData(m_deviceIndex, buffer, length)) return Exchange::Stopped;
    // A count of one byte is no count: its other half would be made up.
    if (length < 2) return Exchange::Stopped;
    m_announced = platform::loadBe16(buffer);
    const int n = m_announced * 6;
    if (m_file) writeLength(m_file.get(), n);
    m_ui.progress(0, n);

    int16_t block = 0;
    while (true) {
        // The instrument numbers blocks in base 255, not 256: block 255 is asked for as 01 00.
        const unsigned char blockRequest[2] = {static_cast<unsigned char>(block / 255),
                                               static_cast<unsigned char>(block % 255)};
        if (cancelled()) return Exchange::Stopped;
        if (!request(blockRequest, 2)) return Exchange::WriteFailed;
        // A short read leaves zeros, not the previous block, in the rest of the block.
        std::memset(buffer, 0, sizeof buffer);
        length = kBlockSize;
        if (cancelled() || !m_usb.readData(m_deviceIndex, buffer, length)) return Exchange::Stopped;
        // The block goes into the file whole, whatever the read returned: the import counts
        // the data bytes by the length field, and the last block's padding is not data.
        if (m_file) std::fwrite(buffer, 1, kBlockSize, m_file.get());
        const int received = (block + 1) * kBlockSize;
        m_ui.progress(received < n ? received : n, n);
        if (received >= n) break;
        ++block;
    }
    if (cancelled()) return Exchange::Stopped;
    const unsigned char endRequest[3] = {0x00, 0x00, 0x00};
    if (!request(endRequest, 3)) return Exchange::WriteFailed;
    closeFile();
    advance(Stage::Running, Stage::Completed);
    appMessage("传输完成");
    return Exchange::Complete;
}

void InstrumentTransfer::closeDevice() {
    std::lock_guard<std::mutex> guard(m_closeLock);
    if (!m_deviceOpen) return;
    if (m_workerRunning) {
        m_usb.abortWrite(m_deviceIndex);
        m_usb.abortRead(m_deviceIndex);
    }
    // The instrument's protocol gives the aborted requests and the device these pauses to
    // settle before the handles and the device go.
    std::this_thread::sleep_for(50ms);
    for (auto* handle : {&m_writeHandle, &m_readHandle}) {
        if (*handle != UsbDeviceAccess::kInvalidHandle) m_usb.closePath(*handle);
        *handle = UsbDeviceAccess::kInvalidHandle;
    }
    m_usb.closeDevice(m_deviceIndex);
    m_deviceOpen = 0;
    std::this_thread::sleep_for(20ms);
}

void InstrumentTransfer::cancel() {
    if (!m_worker.joinable()) return;
    // A worker still running is cancelled, even after its last request: it then ends without
    // a word and without the end timer. One that has ended keeps its outcome.
    if (m_workerRunning) {
        Stage stage = m_stage;
        while ((stage == Stage::Running || stage == Stage::Completed) &&
               !m_stage.compare_exchange_weak(stage, Stage::Cancelled)) {}
    }
    m_ui.releaseWaits(true);
    // An abort only ends a call that is already pending, so repeat it until the worker is gone.
    while (m_workerRunning) {
        {
            std::lock_guard<std::mutex> guard(m_closeLock);
            if (m_deviceOpen) {
                m_usb.abortWrite(m_deviceIndex);
                m_usb.abortRead(m_deviceIndex);
            }
        }
        for (int i = 0; i < 10 && m_workerRunning; ++i) std::this_thread::sleep_for(5ms);
    }
    m_worker.join();
    m_ui.releaseWaits(false);
}

// ---------------------------------------------------------------- serial port

void InstrumentTransfer::startSerial() {
    m_stage = Stage::Idle;
    m_announced = -1;
    if (!lockReceivedFile()) return startFailed(true);
    if (!m_serial.openPort(m_portOwner, static_cast<unsigned>(m_portIndex + 1), kSerialBaud, 'N', 8, 1, kSerialEvents,
                           kSendBufferSize)) {
        m_serial.closePort();
        appMessage("连接串口失败，请检查串口资源是否可用！");
        return startFailed(true);
    }
    m_rxCount = 0;
    m_rxExpected = 0;
    // The file is ready before the monitor starts, so no byte arrives with nowhere to go; with
    // no file there is nothing to listen for.
    if (!rewriteReceivedFile()) {
        m_serial.closePort();
        return startFailed(true);
    }
    m_stage = Stage::Running;
    if (!m_serial.startMonitor()) {
        m_stage = Stage::Idle;
        m_serial.closePort();
        appMessage("连接串口失败，请检查串口资源是否可用！");
        return startFailed(true);
    }
    m_ui.setCaption(kTransferCaption);
}

void InstrumentTransfer::onPortMessage(unsigned message, unsigned wParam, unsigned lParam) {
    if (message == WM_PORT_RXCHAR) onPortChar(wParam, lParam);
    // The transfer asks for no line errors: this is the engine telling that the line is gone.
    else if (message == WM_PORT_ERR && lParam == static_cast<unsigned>(m_portIndex + 1))
        onLineLost();
}

void InstrumentTransfer::showPortError(const std::string& text) {
    m_ui.message(text, kPortErrorCaption, data::MsgIcon::Error);
}

int InstrumentTransfer::onPortChar(unsigned byte, unsigned port) {
    if (port != static_cast<unsigned>(m_portIndex + 1)) return -1;
    if (m_stage != Stage::Running) return 0;  // the transfer has ended; what follows is not ours
    // The instrument sends any number of 0x55 before its count; once counting has begun a
    // 0x55 is data like any other byte.
    if (byte == kLeadIn && m_rxCount == 0) return 0;
    ++m_rxCount;
    if (m_rxCount == 1) {
        m_rxExpected = static_cast<int>(byte);  // the count's high byte, until the low one comes
    } else if (m_rxCount == 2) {
        const unsigned char count[2] = {static_cast<unsigned char>(m_rxExpected), static_cast<unsigned char>(byte)};
        m_announced = platform::loadBe16(count);
        m_rxExpected = m_announced * 6;
        if (m_file) writeLength(m_file.get(), m_rxExpected);
        m_ui.progress(0, m_rxExpected);
        // No records follow a count of 0: waiting for one more byte would wait for ever.
        if (m_rxExpected == 0) finishSerial();
    } else {
        if (m_file) std::fputc(static_cast<int>(byte), m_file.get());
        m_ui.progress(m_rxCount - 2, m_rxExpected);
        if (m_rxCount - 2 >= m_rxExpected) finishSerial();
    }
    return 1;
}

void InstrumentTransfer::finishSerial() {
    m_rxExpected = -1;
    m_rxCount = 0;
    closeFile();
    m_stage = Stage::Completed;
    appMessage("传输完成");
    m_ui.endWithOk();
}

// The instrument's line hung up (adapter pulled, instrument gone): nothing more will come, so
// the transfer ends with what has arrived rather than waiting for ever.
void InstrumentTransfer::onLineLost() {
    if (!advance(Stage::Running, Stage::Ended)) return;  // ended already; nothing was lost
    m_rxExpected = -1;
    m_rxCount = 0;
    closeFile();
    deviceError(kSerialLineLost);
    m_ui.endWithOk();
}

void InstrumentTransfer::onDestroy() {
    cancel();
    m_serial.closePort();
    closeFile();
}

}  // namespace fendal::transfer
