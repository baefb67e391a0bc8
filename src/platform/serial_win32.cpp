// Serial lines on Windows: the communications API with overlapped waits, reads and writes.
#include <windows.h>

#include <atomic>

#include "platform/serial_device.h"
#include "platform/utf16_win32.h"

namespace fendal::platform {

namespace {

BYTE parityCode(char parity) {
    switch (parity) {
    case 'E': return EVENPARITY;
    case 'O': return ODDPARITY;
    case 'M': return MARKPARITY;
    case 'S': return SPACEPARITY;
    default: return NOPARITY;
    }
}

char parityChar(BYTE code) {
    switch (code) {
    case EVENPARITY: return 'E';
    case ODDPARITY: return 'O';
    case MARKPARITY: return 'M';
    case SPACEPARITY: return 'S';
    default: return 'N';
    }
}

DWORD rtsCode(RtsControl rts) {
    switch (rts) {
    case RtsControl::Enable: return RTS_CONTROL_ENABLE;
    case RtsControl::Handshake: return RTS_CONTROL_HANDSHAKE;
    case RtsControl::Toggle: return RTS_CONTROL_TOGGLE;
    case RtsControl::Disable: break;
    }
    return RTS_CONTROL_DISABLE;
}

RtsControl rtsOf(DWORD code) {
    switch (code) {
    case RTS_CONTROL_ENABLE: return RtsControl::Enable;
    case RTS_CONTROL_HANDSHAKE: return RtsControl::Handshake;
    case RTS_CONTROL_TOGGLE: return RtsControl::Toggle;
    default: return RtsControl::Disable;
    }
}

void toDcb(const SerialState& state, DCB& dcb) {
    dcb.BaudRate = state.baudRate;
    dcb.ByteSize = state.dataBits;
    dcb.Parity = parityCode(state.parity);
    dcb.fParity = state.parity != 'N';
    dcb.StopBits = state.stopBits;
    dcb.fRtsControl = rtsCode(state.rts);
}

void fromDcb(const DCB& dcb, SerialState& state) {
    state.baudRate = dcb.BaudRate;
    state.dataBits = dcb.ByteSize;
    state.parity = parityChar(dcb.Parity);
    state.stopBits = dcb.StopBits;
    state.rts = rtsOf(dcb.fRtsControl);
}

// Waits for an overlapped call that did not complete at once. A call that ran into its
// time-out did what it could: that is success with a shorter count, as Windows itself has it
// (Wine ends such calls with a time-out error).
bool finish(HANDLE handle, OVERLAPPED& overlapped, DWORD& done) {
    if (GetLastError() != ERROR_IO_PENDING) return false;
    if (GetOverlappedResult(handle, &overlapped, &done, TRUE)) return true;
    const DWORD error = GetLastError();
    return error == ERROR_TIMEOUT || error == ERROR_SEM_TIMEOUT;
}

}  // namespace

const int kSerialBadSettingsError = ERROR_INVALID_PARAMETER;

struct SerialSignal::Impl {
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::atomic<bool> set{false};
};

SerialSignal::SerialSignal() : impl_(std::make_unique<Impl>()) {}

SerialSignal::~SerialSignal() {
    if (impl_->event) CloseHandle(impl_->event);
}

void SerialSignal::set() {
    impl_->set = true;
    SetEvent(impl_->event);
}

void SerialSignal::reset() {
    impl_->set = false;
    ResetEvent(impl_->event);
}

bool SerialSignal::isSet() const { return impl_->set; }

intptr_t SerialSignal::nativeHandle() const { return reinterpret_cast<intptr_t>(impl_->event); }

namespace {

class Win32SerialDevice : public SerialDevice {
public:
    Win32SerialDevice() {
        // The event wait has its own overlapped record, so a read or write never disturbs it.
        wait_.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        io_.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    }
    ~Win32SerialDevice() override {
        close();
        CloseHandle(wait_.hEvent);
        CloseHandle(io_.hEvent);
    }

    bool open(const std::string& path) override {
        close();
        handle_ = CreateFileW(toUtf16(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OVERLAPPED, nullptr);
        if (handle_ == INVALID_HANDLE_VALUE) return failed();
        waitPending_ = false;
        // The port is left as it was found; a port that will not tell is left as we set it.
        saved_ = DCB{};
        saved_.DCBlength = sizeof saved_;
        haveSaved_ = GetCommState(handle_, &saved_) && GetCommTimeouts(handle_, &savedTimeouts_);
        return true;
    }

    bool close() override {
        if (handle_ == INVALID_HANDLE_VALUE) return true;
        // A request still pending (the event wait the monitor thread leaves behind) writes its
        // result into this object when it ends, cancelled or not: cancel everything on the
        // port, from whichever thread asked, and wait until each has ended before the memory
        // can go away.
        CancelIoEx(handle_, nullptr);
        for (OVERLAPPED* request : {&wait_, &io_}) {
            DWORD unused = 0;
            if (!HasOverlappedIoCompleted(request)) GetOverlappedResult(handle_, request, &unused, TRUE);
        }
        waitPending_ = false;
        const bool restored = !haveSaved_ ||
                              (SetCommState(handle_, &saved_) && SetCommTimeouts(handle_, &savedTimeouts_)) || failed();
        CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
        return restored;
    }

    bool isOpen() const override { return handle_ != INVALID_HANDLE_VALUE; }

    bool setupQueues(uint32_t inSize, uint32_t outSize) override {
        return SetupComm(handle_, inSize, outSize) || failed();
    }

    bool setTimeouts(const SerialTimeouts& t) override {
        COMMTIMEOUTS timeouts{t.readInterval, t.readTotalMultiplier, t.readTotalConstant, t.writeTotalMultiplier,
                              t.writeTotalConstant};
        return SetCommTimeouts(handle_, &timeouts) || failed();
    }

    bool setEventMask(uint32_t mask) override { return SetCommMask(handle_, mask) || failed(); }

    uint32_t eventMask() const override {
        DWORD mask = 0;
        GetCommMask(handle_, &mask);
        return mask;
    }

    bool getState(SerialState& state) override {
        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        if (!GetCommState(handle_, &dcb)) return failed();
        fromDcb(dcb, state);
        return true;
    }

    bool setState(const SerialState& state) override {
        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        if (!GetCommState(handle_, &dcb)) return failed();
        toDcb(state, dcb);
        return SetCommState(handle_, &dcb) || failed();
    }

    bool purge(uint32_t flags) override { return PurgeComm(handle_, flags) || failed(); }

    bool clearError(SerialStatus& status) override {
        DWORD errors = 0;
        COMSTAT comstat{};
        if (!ClearCommError(handle_, &errors, &comstat)) return failed();
        status.errors = errors;
        status.inQueue = comstat.cbInQue;
        status.outQueue = comstat.cbOutQue;
        return true;
    }

    bool read(void* buffer, uint32_t size, uint32_t& done) override {
        DWORD n = 0;
        io_.Offset = io_.OffsetHigh = 0;
        if (!ReadFile(handle_, buffer, size, &n, &io_) && !finish(handle_, io_, n)) return failed();
        done = n;
        return true;
    }

    bool write(const void* buffer, uint32_t size, uint32_t& done) override {
        DWORD n = 0;
        io_.Offset = io_.OffsetHigh = 0;
        if (!WriteFile(handle_, buffer, size, &n, &io_) && !finish(handle_, io_, n)) return failed();
        done = n;
        return true;
    }

    Wake waitEvent(const SerialSignal& stop, const SerialSignal& send, uint32_t& events) override {
        events = 0;
        while (true) {
            if (!waitPending_) {
                if (WaitCommEvent(handle_, &fired_, &wait_)) {
                    // Done at once: only worth reporting when a byte is waiting.
                    SerialStatus status;
                    if (clearError(status) && status.inQueue == 0 && !stop.isSet()) continue;
                    events = fired_;
                    return stop.isSet() ? Wake::Stop : Wake::Port;
                }
                const DWORD error = GetLastError();
                if (error != ERROR_IO_PENDING && error != ERROR_INVALID_PARAMETER) return failedWake();
                waitPending_ = error == ERROR_IO_PENDING;
            }
            HANDLE handles[3] = {reinterpret_cast<HANDLE>(stop.nativeHandle()), wait_.hEvent,
                                 reinterpret_cast<HANDLE>(send.nativeHandle())};
            switch (WaitForMultipleObjects(3, handles, FALSE, INFINITE)) {
            case WAIT_OBJECT_0: return Wake::Stop;
            case WAIT_OBJECT_0 + 1: {
                DWORD unused = 0;
                waitPending_ = false;
                const bool completed = GetOverlappedResult(handle_, &wait_, &unused, FALSE);
                ResetEvent(wait_.hEvent);
                // The driver remembers characters that arrived while no wait was pending, and
                // some end a pending wait without any event; neither is news when the bytes
                // have all been read already.
                if (!completed || noNews()) continue;
                events = fired_;
                return Wake::Port;
            }
            case WAIT_OBJECT_0 + 2: return Wake::Send;
            default: return failedWake();
            }
        }
    }

    int lastError() const override { return static_cast<int>(lastError_); }

    std::string errorText(int code) const override {
        char* text = nullptr;
        FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, static_cast<DWORD>(code), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                       reinterpret_cast<LPSTR>(&text), 0, nullptr);
        std::string out = text ? text : "";
        if (text) LocalFree(text);
        return out;
    }

private:
    // A wait that reported data events (or none) while no byte is waiting.
    bool noNews() {
        if (fired_ & ~(kSerialEvRxChar | kSerialEvRxFlag)) return false;
        SerialStatus status;
        return clearError(status) && status.inQueue == 0;
    }

    bool failed() {
        lastError_ = GetLastError();
        return false;
    }
    Wake failedWake() {
        failed();
        return Wake::Failed;
    }

    HANDLE handle_ = INVALID_HANDLE_VALUE;
    OVERLAPPED wait_{};
    OVERLAPPED io_{};
    DWORD fired_ = 0;
    bool waitPending_ = false;
    DWORD lastError_ = 0;
    DCB saved_{};
    COMMTIMEOUTS savedTimeouts_{};
    bool haveSaved_ = false;
};

}  // namespace

std::unique_ptr<SerialDevice> detail::createSerialBackend() { return std::make_unique<Win32SerialDevice>(); }

}  // namespace fendal::platform
