// The one place where a serial line's configuration is traced (FENDAL_TRACE=serial): every
// backend is wrapped here, so each step and each failure shows in a user's log the same way
// on every system. Without the channel the backend is handed out bare and costs nothing.
#include <cstdarg>
#include <cstdio>
#include <string>

#include "platform/serial_device.h"
#include "platform/trace.h"

#if defined(__MINGW32__)
#define SERIAL_TRACE_FORMAT(f, a) __attribute__((format(gnu_printf, f, a)))
#elif defined(__GNUC__)
#define SERIAL_TRACE_FORMAT(f, a) __attribute__((format(printf, f, a)))
#else
#define SERIAL_TRACE_FORMAT(f, a)
#endif

namespace fendal::platform {

namespace {

const char* stopBitsText(uint8_t stopBits) { return stopBits == 0 ? "1" : stopBits == 1 ? "1.5" : "2"; }

const char* rtsText(RtsControl rts) {
    switch (rts) {
    case RtsControl::Disable: return "off";
    case RtsControl::Enable: return "on";
    case RtsControl::Handshake: return "handshake";
    case RtsControl::Toggle: return "toggle";
    }
    return "?";
}

class TracedSerialDevice : public SerialDevice {
public:
    explicit TracedSerialDevice(std::unique_ptr<SerialDevice> line) : line_(std::move(line)) {}
    ~TracedSerialDevice() override {
        if (line_->isOpen()) close();
    }

    bool open(const std::string& path) override {
        path_ = path;
        return step(line_->open(path), "open");
    }

    bool close() override {
        if (!line_->isOpen()) return true;
        const bool restored = line_->close();
        if (restored)
            say("close: line settings put back as found");
        else
            say("close: line settings not put back: %s", line_->errorText(line_->lastError()).c_str());
        return restored;
    }

    bool isOpen() const override { return line_->isOpen(); }

    bool setupQueues(uint32_t inSize, uint32_t outSize) override {
        return step(line_->setupQueues(inSize, outSize), "queues: in %u, out %u bytes", inSize, outSize);
    }

    bool setTimeouts(const SerialTimeouts& t) override {
        return step(line_->setTimeouts(t),
                    "time-outs: read interval %u ms, read %u ms a byte + %u ms, write %u ms a byte + %u ms",
                    t.readInterval, t.readTotalMultiplier, t.readTotalConstant, t.writeTotalMultiplier,
                    t.writeTotalConstant);
    }

    bool setEventMask(uint32_t mask) override { return step(line_->setEventMask(mask), "event mask 0x%04x", mask); }

    uint32_t eventMask() const override { return line_->eventMask(); }

    bool getState(SerialState& state) override {
        const bool ok = line_->getState(state);
        if (!ok) return step(false, "read line settings");
        say("line settings found: %u baud, parity %c, %u data bits, %s stop bits, RTS %s", state.baudRate, state.parity,
            state.dataBits, stopBitsText(state.stopBits), rtsText(state.rts));
        return true;
    }

    bool setState(const SerialState& state) override {
        return step(line_->setState(state), "line settings: %u baud, parity %c, %u data bits, %s stop bits, RTS %s",
                    state.baudRate, state.parity, state.dataBits, stopBitsText(state.stopBits), rtsText(state.rts));
    }

    bool purge(uint32_t flags) override { return step(line_->purge(flags), "purge 0x%x", flags); }

    // Called for every byte: only a failure is worth a line.
    bool clearError(SerialStatus& status) override { return line_->clearError(status) || step(false, "line status"); }
    bool read(void* buffer, uint32_t size, uint32_t& done) override {
        return line_->read(buffer, size, done) || step(false, "read of %u bytes", size);
    }
    bool write(const void* buffer, uint32_t size, uint32_t& done) override {
        return line_->write(buffer, size, done) || step(false, "write of %u bytes", size);
    }

    Wake waitEvent(const SerialSignal& stop, const SerialSignal& send, uint32_t& events) override {
        const Wake wake = line_->waitEvent(stop, send, events);
        if (wake == Wake::Lost)
            say("line hung up");
        else if (wake == Wake::Failed)
            step(false, "event wait");
        return wake;
    }

    int lastError() const override { return line_->lastError(); }
    std::string errorText(int code) const override { return line_->errorText(code); }

private:
    // The step's line, with the system's reason when it failed; `ok` is handed back.
    SERIAL_TRACE_FORMAT(3, 4) bool step(bool ok, const char* fmt, ...) {
        char text[512];
        va_list args;
        va_start(args, fmt);
        std::vsnprintf(text, sizeof text, fmt, args);
        va_end(args);
        if (ok)
            say("%s", text);
        else
            say("%s: failed: %s (%d)", text, line_->errorText(line_->lastError()).c_str(), line_->lastError());
        return ok;
    }

    SERIAL_TRACE_FORMAT(2, 3) void say(const char* fmt, ...) {
        char text[768];
        va_list args;
        va_start(args, fmt);
        std::vsnprintf(text, sizeof text, fmt, args);
        va_end(args);
        trace(TraceChannel::Serial, "serial %s: %s\n", path_.c_str(), text);
    }

    std::unique_ptr<SerialDevice> line_;
    std::string path_;
};

}  // namespace

std::unique_ptr<SerialDevice> SerialDevice::create() {
    auto line = detail::createSerialBackend();
    if (!traceEnabled(TraceChannel::Serial)) return line;
    return std::make_unique<TracedSerialDevice>(std::move(line));
}

}  // namespace fendal::platform
