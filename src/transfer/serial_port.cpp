#include "transfer/serial_port.h"

#include <cassert>
#include <cstdio>
#include <cstring>

#include "platform/trace.h"

namespace fendal::transfer {

namespace {

constexpr uint32_t kPurgeAll = platform::kPurgeTxAbort | platform::kPurgeRxAbort | platform::kPurgeTxClear |
                               platform::kPurgeRxClear;
constexpr uint32_t kPurgeQueues = platform::kPurgeTxClear | platform::kPurgeRxClear;
constexpr uint32_t kQueueSize = 8192;
constexpr uint32_t kTimeoutMs = 1000;
constexpr std::size_t kErrorTextSize = 200;
constexpr std::size_t kSettingsTextSize = 50;

// The longest prefix of `text` that fits `room` bytes without splitting a UTF-8 character.
std::string cutToFit(const std::string& text, std::size_t room) {
    if (text.size() <= room) return text;
    std::size_t end = room;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return text.substr(0, end);
}

}  // namespace

std::string composePortError(const char* operation, const std::string& systemText, unsigned port) {
    static constexpr char kFormat[] = "WARNING:  %s Failed with the following error: \n%s\nPort: %u\n";
    // Cut the system's text, not the port line, when the whole would not fit.
    char text[kErrorTextSize];
    const int fixed = std::snprintf(text, sizeof text, kFormat, operation, "", port);
    const std::size_t room = fixed >= 0 && fixed < static_cast<int>(kErrorTextSize) ? kErrorTextSize - 1 - fixed : 0;
    std::snprintf(text, sizeof text, kFormat, operation, cutToFit(systemText, room).c_str(), port);
    return text;
}

CSerialPort::CSerialPort(platform::Profile* profile) : m_portNames(profile) {}

CSerialPort::~CSerialPort() {
    if (m_hComm) {
        endMonitor();
        platform::trace(platform::TraceChannel::Serial, "Thread ended\n");
    } else if (m_thread.joinable()) {
        endMonitor();
    }
}

bool CSerialPort::openPort(SerialPortOwner* pPortOwner, unsigned portnr, unsigned baud, char parity, unsigned databits,
                           unsigned stopbits, uint32_t eventMask, unsigned sendBufferSize) {
    assert(portnr > 0 && portnr < 11);
    assert(pPortOwner != NULL);
    if (portnr < 1 || portnr > 10 || pPortOwner == nullptr) return false;

    if (m_threadRunning || m_thread.joinable()) {
        endMonitor();
        platform::trace(platform::TraceChannel::Serial, "Thread ended\n");
    }
    m_hStopEvent.reset();
    m_hSendEvent.reset();

    m_owner = pPortOwner;
    m_sendBuffer.assign(sendBufferSize, 0);
    m_portNumber = portnr;
    m_sendBufferSize = sendBufferSize;
    m_eventMask = eventMask;

    std::unique_lock<std::mutex> guard(m_lock);
    if (m_hComm) {
        m_hComm->close();
        m_hComm.reset();
    }

    char settings[kSettingsTextSize];
    std::snprintf(settings, sizeof settings, "baud=%u parity=%c data=%u stop=%u", baud, parity, databits, stopbits);

    auto device = platform::SerialDevice::create();
    if (!device->open(m_portNames.devicePath(static_cast<int>(portnr)))) return false;
    if (!device->setupQueues(kQueueSize, kQueueSize)) {
        device->close();
        return false;
    }
    m_hComm = std::move(device);

    // A configuration step that fails is reported and the rest skipped; the port stays open.
    m_timeouts = {kTimeoutMs, kTimeoutMs, kTimeoutMs, kTimeoutMs, kTimeoutMs};
    if (!m_hComm->setTimeouts(m_timeouts)) {
        reportError("SetCommTimeouts()", m_hComm->lastError());
    } else if (!m_hComm->setEventMask(eventMask)) {
        reportError("SetCommMask()", m_hComm->lastError());
    } else if (!m_hComm->getState(m_portState)) {
        reportError("GetCommState()", m_hComm->lastError());
    } else {
        m_portState.rts = platform::RtsControl::Enable;
        if (!platform::buildSerialState(settings, m_portState)) {
            reportError("BuildCommDCB()", platform::kSerialBadSettingsError);
        } else if (!m_hComm->setState(m_portState)) {
            reportError("SetCommState()", m_hComm->lastError());
        }
    }

    m_hComm->purge(kPurgeAll);
    guard.unlock();
    platform::trace(platform::TraceChannel::Serial,
                    "Initialisation for communicationport %u completed.\nUse Startmonitor to communicate.\n", portnr);
    return true;
}

bool CSerialPort::startMonitor() {
    if (!m_hComm) return false;
    if (m_threadRunning) return true;  // one monitor per port
    if (m_thread.joinable()) m_thread.join();
    m_hStopEvent.reset();
    try {
        m_threadRunning = true;
        m_thread = std::thread(&CSerialPort::monitorThread, this);
    } catch (const std::system_error&) {
        m_threadRunning = false;
        return false;
    }
    platform::trace(platform::TraceChannel::Serial, "Thread started\n");
    return true;
}

bool CSerialPort::resumeMonitor() {
    platform::trace(platform::TraceChannel::Serial, "Thread resumed\n");
    {
        std::lock_guard<std::mutex> guard(m_suspendLock);
        m_suspended = false;
    }
    m_resumed.notify_all();
    return true;
}

bool CSerialPort::suspendMonitor() {
    platform::trace(platform::TraceChannel::Serial, "Thread suspended\n");
    std::lock_guard<std::mutex> guard(m_suspendLock);
    m_suspended = true;
    return true;
}

bool CSerialPort::closePort() {
    if (!m_hComm) return false;
    // The monitor is ended before the port goes away, so it never runs against a closed port.
    endMonitor();
    std::lock_guard<std::mutex> guard(m_lock);
    m_hComm->purge(kPurgeQueues);
    m_hComm->close();
    m_hComm.reset();
    return true;
}

void CSerialPort::queueSend(const char* data, int count) {
    assert(m_hComm != 0);
    if (!m_hComm || count < 0 || static_cast<unsigned>(count) > m_sendBufferSize) return;
    m_sendLength = count;
    std::memset(m_sendBuffer.data(), 0, static_cast<std::size_t>(count));
    std::memcpy(m_sendBuffer.data(), data, static_cast<std::size_t>(count));
    m_hSendEvent.set();
}

void CSerialPort::endMonitor() {
    m_hStopEvent.set();
    {
        std::lock_guard<std::mutex> guard(m_suspendLock);  // a suspended monitor wakes to end
        m_suspended = false;
    }
    m_resumed.notify_all();
    if (!m_thread.joinable()) return;
    if (m_thread.get_id() == std::this_thread::get_id()) return;  // the owner closes from a message
    if (m_owner) m_owner->dropPendingMessages(true);
    m_thread.join();
    if (m_owner) m_owner->dropPendingMessages(false);
    m_threadRunning = false;
}

bool CSerialPort::waitWhileSuspended() {
    std::unique_lock<std::mutex> guard(m_suspendLock);
    m_resumed.wait(guard, [this] { return !m_suspended || m_hStopEvent.isSet(); });
    return !m_hStopEvent.isSet();
}

void CSerialPort::deliver(unsigned message, unsigned wParam) { m_owner->onPortMessage(message, wParam, m_portNumber); }

void CSerialPort::monitorThread() {
    m_threadRunning = true;
    if (m_hComm) m_hComm->purge(kPurgeAll);

    while (true) {
        uint32_t events = 0;
        const auto wake = m_hComm->waitEvent(m_hStopEvent, m_hSendEvent, events);
        if (wake == platform::SerialDevice::Wake::Stop || !waitWhileSuspended()) break;
        if (wake == platform::SerialDevice::Wake::Failed || wake == platform::SerialDevice::Wake::Lost) {
            // A wait that fails would fail again at once: stop watching instead of spinning. The
            // owner hears of a line that can no longer be watched as a line error, whatever it
            // asked for, or it would wait for ever for what can no longer come.
            if (wake == platform::SerialDevice::Wake::Failed) reportError("WaitCommEvent()", m_hComm->lastError());
            deliver(WM_PORT_ERR, 0);
            break;
        }
        if (wake == platform::SerialDevice::Wake::Send) {
            sendQueued();
            continue;
        }
        // Every event of the mask set at opening is announced, not only the one that fired.
        const uint32_t mask = m_hComm->eventMask();
        if (mask & platform::kSerialEvCts) deliver(WM_PORT_CTS, 0);
        if (mask & platform::kSerialEvRxFlag) deliver(WM_PORT_RXFLAG, 0);
        if (mask & platform::kSerialEvBreak) deliver(WM_PORT_BREAK, 0);
        if (mask & platform::kSerialEvErr) deliver(WM_PORT_ERR, 0);
        if (mask & platform::kSerialEvRing) deliver(WM_PORT_RING, 0);
        if (mask & platform::kSerialEvRxChar) {
            platform::SerialStatus status;
            receiveChars(status);
        }
    }
    m_threadRunning = false;
}

void CSerialPort::receiveChars(platform::SerialStatus& status) {
    while (!m_hStopEvent.isSet()) {
        unsigned char byte = 0;
        uint32_t done = 0;
        bool ok = false;
        int error = 0;
        {
            std::lock_guard<std::mutex> guard(m_lock);
            if (!m_hComm->clearError(status) || status.inQueue == 0) return;
            ok = m_hComm->read(&byte, 1, done);
            if (!ok) error = m_hComm->lastError();
        }
        // Only a byte that was really read is handed on; a failed read has none to give.
        if (!ok) {
            reportError("ReadFile()", error);
            return;
        }
        if (done != 1) return;
        deliver(WM_PORT_RXCHAR, byte);
    }
}

void CSerialPort::sendQueued() {
    m_hSendEvent.reset();
    uint32_t sent = 0;
    bool ok = false;
    int error = 0;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_hComm->purge(kPurgeAll);
        ok = m_hComm->write(m_sendBuffer.data(), static_cast<uint32_t>(m_sendLength), sent);
        if (!ok) error = m_hComm->lastError();
    }
    if (!ok) reportError("WriteFile()", error);
    const std::size_t length = strnlen(m_sendBuffer.data(), m_sendBuffer.size());
    if (sent != length)
        platform::trace(platform::TraceChannel::Serial,
                        "WARNING: WriteFile() error.. Bytes Sent: %u; Message Length: %zu\n", sent, length);
}

void CSerialPort::reportError(const char* operation, int error) {
    const std::string text = composePortError(operation, m_hComm ? m_hComm->errorText(error) : std::strerror(error),
                                              m_portNumber);
    platform::trace(platform::TraceChannel::Serial, "%s", text.c_str());
    if (m_owner) m_owner->showPortError(text);
}

}  // namespace fendal::transfer
