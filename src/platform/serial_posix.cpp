// Serial lines on POSIX systems: termios for the settings, poll with an event pipe for the
// waits. Works with real ports, USB adapters and pseudo-terminals.
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <mutex>
#include <string_view>

#include "platform/serial_device.h"

namespace fendal::platform {

namespace {

struct BaudEntry {
    uint32_t rate;
    speed_t speed;
};

constexpr BaudEntry kBauds[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},         {150, B150},
    {200, B200},         {300, B300},         {600, B600},         {1200, B1200},       {1800, B1800},
    {2400, B2400},       {4800, B4800},       {9600, B9600},       {19200, B19200},     {38400, B38400},
    {57600, B57600},     {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000}, {1500000, B1500000},
    {2000000, B2000000}, {3000000, B3000000}, {4000000, B4000000},
};

bool speedOf(uint32_t rate, speed_t& speed) {
    for (const auto& e : kBauds) {
        if (e.rate == rate) {
            speed = e.speed;
            return true;
        }
    }
    return false;
}

uint32_t rateOf(speed_t speed) {
    for (const auto& e : kBauds) {
        if (e.speed == speed) return e.rate;
    }
    return 0;
}

// Modem-line calls fail on lines without modem lines (pseudo-terminals); that is no error.
bool noModemLines(int error) { return error == ENOTTY || error == EINVAL || error == EIO; }

constexpr uint32_t kModemEvents = kSerialEvCts | kSerialEvRing;

}  // namespace

const int kSerialBadSettingsError = EINVAL;

// The event is a non-blocking pipe: set writes one byte when not set, reset drains it, so
// the read end stays readable (pollable) exactly while the event is set.
struct SerialSignal::Impl {
    int fds[2] = {-1, -1};
    std::atomic<bool> set{false};
    std::mutex lock;
};

SerialSignal::SerialSignal() : impl_(std::make_unique<Impl>()) {
    if (::pipe2(impl_->fds, O_NONBLOCK | O_CLOEXEC) != 0) impl_->fds[0] = impl_->fds[1] = -1;
}

SerialSignal::~SerialSignal() {
    for (int fd : impl_->fds) {
        if (fd >= 0) ::close(fd);
    }
}

void SerialSignal::set() {
    std::lock_guard<std::mutex> guard(impl_->lock);
    if (impl_->set.exchange(true)) return;
    const char byte = 1;
    [[maybe_unused]] ssize_t n = ::write(impl_->fds[1], &byte, 1);
}

void SerialSignal::reset() {
    std::lock_guard<std::mutex> guard(impl_->lock);
    impl_->set = false;
    char drain[16];
    while (::read(impl_->fds[0], drain, sizeof drain) > 0) {}
}

bool SerialSignal::isSet() const { return impl_->set; }

intptr_t SerialSignal::nativeHandle() const { return impl_->fds[0]; }

namespace {

class PosixSerialDevice : public SerialDevice {
public:
    ~PosixSerialDevice() override { close(); }

    bool open(const std::string& path) override {
        close();
        const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) return fail(errno);
        // No sharing: a lock that every cooperating program respects, and exclusive mode
        // for everybody else.
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno == EWOULDBLOCK ? EBUSY : errno;
            ::close(fd);
            return fail(error);
        }
        termios tio{};
        if (::tcgetattr(fd, &tio) != 0) {
            const int error = errno;
            ::close(fd);
            return fail(error);
        }
        // The line is left as it was found (a terminal, or another program's settings).
        saved_ = tio;
        ::ioctl(fd, TIOCEXCL);
        ::cfmakeraw(&tio);
        tio.c_cflag |= CLOCAL | CREAD;
        tio.c_cc[VMIN] = 0;
        tio.c_cc[VTIME] = 0;
        ::tcsetattr(fd, TCSANOW, &tio);
        fd_ = fd;
        hungUp_ = false;
        dropBuffered();
        mask_ = 0;
        lastModem_ = modemLines();
        return true;
    }

    bool close() override {
        if (fd_ < 0) return true;
        // A line that has hung up refuses its settings: nothing is left to put them back on.
        const bool restored = ::tcsetattr(fd_, TCSANOW, &saved_) == 0 || fail(errno);
        ::ioctl(fd_, TIOCNXCL);
        ::close(fd_);
        fd_ = -1;
        return restored;
    }

    bool isOpen() const override { return fd_ >= 0; }

    // The kernel's queues have fixed sizes; there is nothing to set.
    bool setupQueues(uint32_t, uint32_t) override { return isOpen() || fail(EBADF); }

    bool setTimeouts(const SerialTimeouts& timeouts) override {
        if (!isOpen()) return fail(EBADF);
        timeouts_ = timeouts;
        return true;
    }

    bool setEventMask(uint32_t mask) override {
        if (!isOpen()) return fail(EBADF);
        mask_ = mask;
        return true;
    }

    uint32_t eventMask() const override { return mask_; }

    bool getState(SerialState& state) override {
        termios tio{};
        if (!isOpen()) return fail(EBADF);
        if (::tcgetattr(fd_, &tio) != 0) return fail(errno);
        state.baudRate = rateOf(::cfgetospeed(&tio));
        switch (tio.c_cflag & CSIZE) {
        case CS5: state.dataBits = 5; break;
        case CS6: state.dataBits = 6; break;
        case CS7: state.dataBits = 7; break;
        default: state.dataBits = 8; break;
        }
        if (!(tio.c_cflag & PARENB))
            state.parity = 'N';
        else if (tio.c_cflag & CMSPAR)
            state.parity = (tio.c_cflag & PARODD) ? 'M' : 'S';
        else
            state.parity = (tio.c_cflag & PARODD) ? 'O' : 'E';
        state.stopBits = (tio.c_cflag & CSTOPB) ? (state.dataBits == 5 ? 1 : 2) : 0;
        if (tio.c_cflag & CRTSCTS) {
            state.rts = RtsControl::Handshake;
        } else {
            int lines = 0;
            state.rts = (::ioctl(fd_, TIOCMGET, &lines) == 0 && (lines & TIOCM_RTS)) ? RtsControl::Enable
                                                                                     : RtsControl::Disable;
        }
        return true;
    }

    bool setState(const SerialState& state) override {
        if (!isOpen()) return fail(EBADF);
        speed_t speed{};
        if (!speedOf(state.baudRate, speed) || state.dataBits < 5 || state.dataBits > 8 || state.stopBits > 2 ||
            (state.stopBits == 1 && state.dataBits != 5) || (state.stopBits == 2 && state.dataBits == 5))
            return fail(EINVAL);
        termios tio{};
        if (::tcgetattr(fd_, &tio) != 0) return fail(errno);
        ::cfmakeraw(&tio);
        tio.c_cflag |= CLOCAL | CREAD;
        tio.c_cc[VMIN] = 0;
        tio.c_cc[VTIME] = 0;
        tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
        static constexpr tcflag_t sizes[] = {CS5, CS6, CS7, CS8};
        tio.c_cflag |= sizes[state.dataBits - 5];
        switch (state.parity) {
        case 'N': break;
        case 'E': tio.c_cflag |= PARENB; break;
        case 'O': tio.c_cflag |= PARENB | PARODD; break;
        case 'M': tio.c_cflag |= PARENB | CMSPAR | PARODD; break;
        case 'S': tio.c_cflag |= PARENB | CMSPAR; break;
        default: return fail(EINVAL);
        }
        if (state.parity != 'N') tio.c_iflag |= INPCK;
        if (state.stopBits != 0) tio.c_cflag |= CSTOPB;
        if (state.rts == RtsControl::Handshake) tio.c_cflag |= CRTSCTS;
        if (::cfsetispeed(&tio, speed) != 0 || ::cfsetospeed(&tio, speed) != 0) return fail(errno);
        if (::tcsetattr(fd_, TCSANOW, &tio) != 0) return fail(errno);
        if (state.rts == RtsControl::Enable || state.rts == RtsControl::Disable) {
            int rts = TIOCM_RTS;
            if (::ioctl(fd_, state.rts == RtsControl::Enable ? TIOCMBIS : TIOCMBIC, &rts) != 0 && !noModemLines(errno))
                return fail(errno);
        }
        return true;
    }

    bool purge(uint32_t flags) override {
        if (!isOpen()) return fail(EBADF);
        const bool rx = flags & (kPurgeRxClear | kPurgeRxAbort);
        const bool tx = flags & (kPurgeTxClear | kPurgeTxAbort);
        if (rx) dropBuffered();
        if (rx || tx) {
            if (::tcflush(fd_, rx && tx ? TCIOFLUSH : rx ? TCIFLUSH : TCOFLUSH) != 0 && !noModemLines(errno))
                return fail(errno);
        }
        return true;
    }

    // While bytes read ahead are waiting here the system is not asked (that would be two calls
    // per byte received one at a time): the input count is those bytes, the output count the
    // one last asked.
    bool clearError(SerialStatus& status) override {
        if (!isOpen()) return fail(EBADF);
        status.errors = 0;
        if (buffered() == 0) {
            int in = 0;
            int out = 0;
            if (::ioctl(fd_, FIONREAD, &in) != 0) return fail(errno);
            if (::ioctl(fd_, TIOCOUTQ, &out) != 0) out = 0;
            status.inQueue = static_cast<uint32_t>(in);
            lastOutQueue_ = static_cast<uint32_t>(out);
        } else {
            status.inQueue = static_cast<uint32_t>(buffered());
        }
        status.outQueue = lastOutQueue_;
        return true;
    }

    bool read(void* buffer, uint32_t size, uint32_t& done) override {
        done = 0;
        if (!isOpen()) return fail(EBADF);
        auto* bytes = static_cast<unsigned char*>(buffer);
        done = takeBuffered(bytes, size);
        if (done == size) return true;  // the common case: no system call, no clock
        const auto deadline = std::chrono::steady_clock::now() +
                              std::chrono::milliseconds(timeouts_.readTotalConstant +
                                                        uint64_t{timeouts_.readTotalMultiplier} * size);
        bool saidReady = false;
        while (true) {
            done += takeBuffered(bytes + done, size - done);
            if (done == size) break;
            const ssize_t n = readAhead();
            if (n > 0) {
                saidReady = false;
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            if (n < 0 && errno == EIO) break;  // the other side is gone: what there was
            if (n < 0 && errno != EAGAIN) return fail(errno);
            // Nothing yet (the line is set to read without waiting). A line that is gone says
            // it is ready and then has nothing: that ends the read too.
            if (saidReady || !waitReady(POLLIN, deadline)) break;
            saidReady = true;
        }
        return true;
    }

    bool write(const void* buffer, uint32_t size, uint32_t& done) override {
        done = 0;
        if (!isOpen()) return fail(EBADF);
        const auto deadline = std::chrono::steady_clock::now() +
                              std::chrono::milliseconds(timeouts_.writeTotalConstant +
                                                        uint64_t{timeouts_.writeTotalMultiplier} * size);
        const auto* bytes = static_cast<const unsigned char*>(buffer);
        while (done < size) {
            const ssize_t n = ::write(fd_, bytes + done, size - done);
            if (n > 0) {
                done += static_cast<uint32_t>(n);
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            if (n < 0 && errno != EAGAIN) return fail(errno);
            if (!waitReady(POLLOUT, deadline)) return fail(ETIMEDOUT);
        }
        return true;
    }

    Wake waitEvent(const SerialSignal& stop, const SerialSignal& send, uint32_t& events) override {
        events = 0;
        if (!isOpen()) {
            fail(EBADF);
            return Wake::Failed;
        }
        const bool watchData = (mask_ & (kSerialEvRxChar | kSerialEvRxFlag)) != 0;
        const bool watchModem = (mask_ & kModemEvents) != 0;
        if (buffered() > 0 && watchData && !stop.isSet()) {
            events = mask_ & kSerialEvRxChar ? kSerialEvRxChar : kSerialEvRxFlag;
            return Wake::Port;
        }
        if (hungUp_) return stop.isSet() ? Wake::Stop : Wake::Lost;
        while (true) {
            // The line itself is always watched: a hang-up is reported whatever the mask.
            pollfd fds[3] = {
                {static_cast<int>(stop.nativeHandle()), POLLIN, 0},
                {fd_, static_cast<short>(watchData ? POLLIN : 0), 0},
                {static_cast<int>(send.nativeHandle()), POLLIN, 0},
            };
            // Modem lines cannot be polled; look at them every few milliseconds instead.
            const int r = ::poll(fds, 3, watchModem ? 20 : -1);
            if (r < 0) {
                if (errno == EINTR) continue;
                fail(errno);
                return Wake::Failed;
            }
            if (fds[0].revents) return Wake::Stop;
            if (fds[1].revents) {
                // Bytes first, whatever else the line says; a line that is gone reads as ready
                // with nothing to read.
                if (watchData && waitingBytes() > 0) {
                    events |= mask_ & kSerialEvRxChar ? kSerialEvRxChar : kSerialEvRxFlag;
                } else {
                    hungUp_ = true;
                    return waitEvent(stop, send, events);
                }
            }
            if (watchModem) {
                const int lines = modemLines();
                if ((mask_ & kSerialEvCts) && ((lines ^ lastModem_) & TIOCM_CTS)) events |= kSerialEvCts;
                if ((mask_ & kSerialEvRing) && ((lines ^ lastModem_) & TIOCM_RI)) events |= kSerialEvRing;
                lastModem_ = lines;
            }
            if (events) return Wake::Port;
            if (fds[2].revents) return Wake::Send;
        }
    }

    int lastError() const override { return lastError_; }

    std::string errorText(int code) const override { return std::strerror(code); }

private:
    bool fail(int error) {
        lastError_ = error;
        return false;
    }

    // Bytes ready to read. A pseudo-terminal whose other side has closed may count none while
    // its last bytes are still on their way; a read fetches them, and they are kept here.
    std::size_t waitingBytes() {
        int in = 0;
        if (::ioctl(fd_, FIONREAD, &in) == 0 && in > 0) return static_cast<std::size_t>(in) + buffered();
        if (buffered() == 0) readAhead();
        return buffered();
    }

    // Received bytes are fetched from the system as many at a time as are there, and handed
    // out from here: a read of one byte is then no system call and no wake-up of the line.
    std::size_t buffered() const { return rxEnd_ - rxBegin_; }

    uint32_t takeBuffered(unsigned char* to, uint32_t size) {
        const auto n = static_cast<uint32_t>(std::min<std::size_t>(size, buffered()));
        if (n == 1)
            *to = rx_[rxBegin_];  // the usual single byte, without a library call
        else
            std::memcpy(to, rx_.data() + rxBegin_, n);
        rxBegin_ += n;
        return n;
    }

    // One read into the empty buffer; the read's result, with errno set when it failed.
    ssize_t readAhead() {
        rxBegin_ = rxEnd_ = 0;
        const ssize_t n = ::read(fd_, rx_.data(), rx_.size());
        if (n > 0) rxEnd_ = static_cast<std::size_t>(n);
        return n;
    }

    void dropBuffered() { rxBegin_ = rxEnd_ = 0; }

    int modemLines() const {
        int lines = 0;
        if (fd_ < 0 || ::ioctl(fd_, TIOCMGET, &lines) != 0) return 0;
        return lines;
    }

    bool waitReady(short what, std::chrono::steady_clock::time_point deadline) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline -
                                                                                std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd pfd{fd_, what, 0};
        const int r = ::poll(&pfd, 1, static_cast<int>(left.count()));
        return r > 0 && (pfd.revents & what);
    }

    int fd_ = -1;
    uint32_t mask_ = 0;
    SerialTimeouts timeouts_;
    int lastError_ = 0;
    int lastModem_ = 0;
    uint32_t lastOutQueue_ = 0;
    bool hungUp_ = false;
    termios saved_{};
    std::array<unsigned char, 4096> rx_{};
    std::size_t rxBegin_ = 0;
    std::size_t rxEnd_ = 0;
};

}  // namespace

std::unique_ptr<SerialDevice> detail::createSerialBackend() { return std::make_unique<PosixSerialDevice>(); }

}  // namespace fendal::platform
