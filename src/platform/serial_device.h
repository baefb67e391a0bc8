#pragma once
// A serial line as the operating system offers it: real ports, USB adapters and
// pseudo-terminals. One backend per system (serial_posix.cpp, serial_win32.cpp). The calls
// follow the Windows communications API, so the engine above reads the same on every system.
#include <cstdint>
#include <memory>
#include <string>

namespace fendal::platform {

// Line events (the Windows EV_* values).
inline constexpr uint32_t kSerialEvRxChar = 0x0001;
inline constexpr uint32_t kSerialEvRxFlag = 0x0002;
inline constexpr uint32_t kSerialEvCts = 0x0008;
inline constexpr uint32_t kSerialEvBreak = 0x0040;
inline constexpr uint32_t kSerialEvErr = 0x0080;
inline constexpr uint32_t kSerialEvRing = 0x0100;

// Purge flags (the Windows PURGE_* values).
inline constexpr uint32_t kPurgeTxAbort = 0x1;
inline constexpr uint32_t kPurgeRxAbort = 0x2;
inline constexpr uint32_t kPurgeTxClear = 0x4;
inline constexpr uint32_t kPurgeRxClear = 0x8;

enum class RtsControl { Disable, Enable, Handshake, Toggle };

// The line settings (the device-control block).
struct SerialState {
    uint32_t baudRate = 9600;
    uint8_t dataBits = 8;  // 5..8
    char parity = 'N';     // 'N', 'E', 'O', 'M' (mark) or 'S' (space)
    uint8_t stopBits = 0;  // as the device-control block counts them: 0 = 1, 1 = 1.5, 2 = 2
    RtsControl rts = RtsControl::Disable;
};

struct SerialTimeouts {
    uint32_t readInterval = 0;
    uint32_t readTotalMultiplier = 0;
    uint32_t readTotalConstant = 0;
    uint32_t writeTotalMultiplier = 0;
    uint32_t writeTotalConstant = 0;
};

struct SerialStatus {
    uint32_t errors = 0;
    uint32_t inQueue = 0;   // bytes waiting to be read
    uint32_t outQueue = 0;  // bytes not yet sent
};

// Parses a settings text such as "baud=2400 parity=N data=8 stop=1" into `state`, changing
// only the values it names, and checks them as the Windows call does: a positive baud rate,
// parity N/E/O/M/S, 5 to 8 data bits, 1, 1.5 or 2 stop bits (1.5 only with 5 data bits,
// 2 not with 5). False, with `state` unchanged, on anything else.
bool buildSerialState(const std::string& settings, SerialState& state);

// The system's error code for a settings text that buildSerialState refuses.
extern const int kSerialBadSettingsError;

// A manual-reset event that the monitor can wait on together with the port: once set it
// stays set until reset.
class SerialSignal {
public:
    SerialSignal();
    ~SerialSignal();
    SerialSignal(const SerialSignal&) = delete;
    SerialSignal& operator=(const SerialSignal&) = delete;

    void set();
    void reset();
    bool isSet() const;
    intptr_t nativeHandle() const;  // what the backend waits on

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

class SerialDevice {
public:
    enum class Wake { Stop, Port, Send, Lost, Failed };

    virtual ~SerialDevice() = default;

    // The backend of this system; with FENDAL_TRACE=serial every configuration step it takes
    // is traced (serial_trace.cpp).
    static std::unique_ptr<SerialDevice> create();

    // Opens the device for this process alone; false when it is missing or already in use.
    // The line settings found at opening are kept, and put back by close.
    virtual bool open(const std::string& path) = 0;
    // False when the settings could not be put back (a line that has gone); it is closed anyway.
    virtual bool close() = 0;
    virtual bool isOpen() const = 0;

    virtual bool setupQueues(uint32_t inSize, uint32_t outSize) = 0;
    virtual bool setTimeouts(const SerialTimeouts& timeouts) = 0;
    virtual bool setEventMask(uint32_t mask) = 0;
    virtual uint32_t eventMask() const = 0;
    virtual bool getState(SerialState& state) = 0;
    virtual bool setState(const SerialState& state) = 0;
    virtual bool purge(uint32_t flags) = 0;
    // Clears the line error state and reports the queues.
    virtual bool clearError(SerialStatus& status) = 0;

    // Reads and writes wait at most as the time-outs allow; `done` is the count moved.
    virtual bool read(void* buffer, uint32_t size, uint32_t& done) = 0;
    virtual bool write(const void* buffer, uint32_t size, uint32_t& done) = 0;

    // Waits without time limit until `stop` is set, an event of the mask happens on the port,
    // or `send` is set, and says which (in that order of precedence). Port events go to
    // `events`. A line that has hung up (the other side closed, the adapter was pulled) gives
    // Lost once every byte received before is read, and again on every later wait.
    virtual Wake waitEvent(const SerialSignal& stop, const SerialSignal& send, uint32_t& events) = 0;

    // The system's error code of the last failed call, and its text.
    virtual int lastError() const = 0;
    virtual std::string errorText(int code) const = 0;
};

namespace detail {
// The system's own backend (serial_posix.cpp, serial_win32.cpp), untraced.
std::unique_ptr<SerialDevice> createSerialBackend();
}  // namespace detail

}  // namespace fendal::platform
