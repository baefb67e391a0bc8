#include "serial_instrument.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/byte_order.h"
#include "stop_signal.h"

namespace fendal::instrument {

namespace {

constexpr int kPollMs = 20;
// A host that has just opened the line may still be setting it up and flushing it.
constexpr int kSettleMs = 100;

bool speedOf(int baud, speed_t& speed) {
    static const struct {
        int baud;
        speed_t speed;
    } table[] = {{1200, B1200},     {2400, B2400},     {4800, B4800},    {9600, B9600},
                 {19200, B19200},   {38400, B38400},   {57600, B57600},  {115200, B115200},
                 {230400, B230400}, {460800, B460800}, {921600, B921600}};
    for (const auto& entry : table)
        if (entry.baud == baud) {
            speed = entry.speed;
            return true;
        }
    return false;
}

// Raw 8 data bits, no parity, 1 stop bit.
bool configureLine(int fd, int baud) {
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) return false;
    ::cfmakeraw(&tio);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSTOPB | PARENB | CSIZE | CRTSCTS);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    speed_t speed;
    if (speedOf(baud == 0 ? 115200 : baud, speed)) ::cfsetspeed(&tio, speed);
    return ::tcsetattr(fd, TCSANOW, &tio) == 0;
}

// A pseudo-terminal whose slave side has been opened and closed once (so that the master shows a
// hang-up until someone opens it), set raw so the host reads bytes exactly as sent.
int openPseudoTerminal(int baud, std::string& slavePath, std::string& error) {
    int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    char name[128] = {};
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0 ||
        ::ptsname_r(master, name, sizeof name) != 0) {
        error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
        if (master >= 0) ::close(master);
        return -1;
    }
    int slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave < 0 || !configureLine(slave, baud)) {
        error = std::string("cannot set up ") + name + ": " + std::strerror(errno);
        if (slave >= 0) ::close(slave);
        ::close(master);
        return -1;
    }
    ::close(slave);
    slavePath = name;
    return master;
}

bool hostAbsent(int master) {
    pollfd p{master, 0, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & POLLHUP) != 0;
}

// Waits until the host has opened the pseudo-terminal; false on a stop.
bool waitForHost(int master) {
    while (hostAbsent(master))
        if (waitForStop(kPollMs)) return false;
    return true;
}

// Whether the host has read everything sent, or has gone away. Bytes written to the master reach
// the host's queue a moment later, so callers look twice before they believe an empty queue.
bool drained(int master, const std::string& slavePath) {
    if (hostAbsent(master)) return true;
    int slave = ::open(slavePath.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave < 0) return false;  // held exclusively: only the host's close tells
    int pending = 0;
    const bool empty = ::ioctl(slave, FIONREAD, &pending) == 0 && pending == 0;
    ::close(slave);
    return empty;
}

// Waits until the host has read everything; closing the master earlier would drop what is
// still queued. False on a stop.
bool waitUntilRead(int master, const std::string& slavePath) {
    int emptyChecks = 0;
    while (emptyChecks < 2) {
        if (waitForStop(kPollMs)) return false;
        emptyChecks = drained(master, slavePath) ? emptyChecks + 1 : 0;
    }
    return true;
}

// Sends bytes [from, to) at `baud` (10 bit times per byte); false on a stop or a dead line.
bool sendPaced(int fd, const std::vector<unsigned char>& bytes, std::size_t to, int baud) {
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    const auto byteTime = std::chrono::duration<double>(baud > 0 ? 10.0 / baud : 0.0);
    std::size_t sent = 0;
    while (sent < to) {
        if (stopRequested()) return false;
        std::size_t chunk = to - sent;
        if (baud > 0) {
            std::this_thread::sleep_until(start + std::chrono::duration_cast<Clock::duration>(byteTime * sent));
            chunk = 1;
        }
        ssize_t n = ::write(fd, bytes.data() + sent, chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

SerialStream serialStream(const std::vector<data::ReceivedRecord>& records, const Faults& faults) {
    SerialStream stream;
    stream.bytes.assign(kLeadInBytes, 0x55);
    const int count = std::min(static_cast<int>(records.size()) + faults.overcount, 65535);
    stream.bytes.resize(stream.bytes.size() + 2);
    platform::storeBe16(stream.bytes.data() + stream.bytes.size() - 2, static_cast<uint16_t>(count));
    const std::size_t head = stream.bytes.size();
    for (const data::ReceivedRecord& record : records) {
        unsigned char raw[data::kReceivedRecordSize];
        data::encodeReceivedRecord(record, raw);
        stream.bytes.insert(stream.bytes.end(), raw, raw + data::kReceivedRecordSize);
    }
    stream.stopAt = stream.bytes.size();
    for (int k : {faults.breakAfter, faults.stallAfter})
        if (k >= 0)
            stream.stopAt = std::min(stream.stopAt, head + static_cast<std::size_t>(k) * data::kReceivedRecordSize);
    return stream;
}

int runSerial(const Options& options, const std::vector<data::ReceivedRecord>& records) {
    speed_t unused;
    // A real line needs a rate it can be set to; a pseudo-terminal is paced by us alone.
    if (!options.device.empty() && options.baud != 0 && !speedOf(options.baud, unused)) {
        std::fprintf(stderr, "fendal-instrument: unsupported baud rate %d\n", options.baud);
        return 2;
    }
    std::string error;
    std::string path;
    int fd;
    const bool pty = options.device.empty();
    if (pty) {
        fd = openPseudoTerminal(options.baud, path, error);
    } else {
        path = options.device;
        fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (fd < 0)
            error = "cannot open " + path + ": " + std::strerror(errno);
        else if (!configureLine(fd, options.baud))
            error = "cannot configure " + path + ": " + std::strerror(errno);
    }
    if (!error.empty()) {
        std::fprintf(stderr, "fendal-instrument: %s\n", error.c_str());
        if (fd >= 0) ::close(fd);
        return 1;
    }
    std::printf("READY %s\n", path.c_str());
    std::fflush(stdout);

    const SerialStream stream = serialStream(records, options.faults);
    const bool sent = (!pty || (waitForHost(fd) && !waitForStop(kSettleMs))) && !waitForStop(options.delayMs) &&
                      sendPaced(fd, stream.bytes, stream.stopAt, options.baud);
    const Faults& faults = options.faults;
    const bool stall = stream.stopAt < stream.bytes.size() && faults.stallAfter >= 0 &&
                       (faults.breakAfter < 0 || faults.stallAfter <= faults.breakAfter);
    if (sent && stall) {
        // The line stays open and silent.
        waitForStop(-1);
    } else if (sent) {
        // The whole stream, or the part before a break: delivered first, then the line closes.
        if (pty)
            waitUntilRead(fd, path);
        else
            ::tcdrain(fd);
    }
    ::close(fd);
    return 0;
}

}  // namespace fendal::instrument
