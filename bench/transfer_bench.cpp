// The serial receive path: bytes from a line through the monitor thread to the owner one
// synchronous hand-over at a time, and the byte handler that writes the received-data file.
// Each reports its time as a ratio to a plain way of doing the same work, measured alongside.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

#include "data/received_data.h"
#include "transfer/instrument_transfer.h"

using namespace fendal;
using namespace fendal::data;
using namespace fendal::transfer;

namespace {

using Clock = std::chrono::steady_clock;

struct Pty {
    Pty() {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        grantpt(master);
        unlockpt(master);
        termios tio{};
        tcgetattr(master, &tio);
        cfmakeraw(&tio);
        tcsetattr(master, TCSANOW, &tio);
        slave = ptsname(master);
    }
    ~Pty() { close(master); }
    void send(const std::vector<unsigned char>& bytes) const {
        std::size_t at = 0;
        while (at < bytes.size()) {
            const ssize_t n = write(master, bytes.data() + at, bytes.size() - at);
            if (n > 0) at += static_cast<std::size_t>(n);
        }
    }
    int master = -1;
    std::string slave;
};

// Counts the bytes handed over and says when the expected number has come.
class CountingOwner : public SerialPortOwner {
public:
    explicit CountingOwner(std::size_t expected) : expected_(expected) {}
    void onPortMessage(unsigned message, unsigned, unsigned) override {
        if (message != WM_PORT_RXCHAR || ++received_ != expected_) return;
        std::lock_guard<std::mutex> guard(lock_);
        done_ = true;
        changed_.notify_all();
    }
    void showPortError(const std::string&) override {}
    // Sleeps rather than spins: the writer and the monitor need the processors.
    void waitForAll() {
        std::unique_lock<std::mutex> guard(lock_);
        changed_.wait(guard, [&] { return done_; });
    }

private:
    const std::size_t expected_;
    std::size_t received_ = 0;  // the monitor thread's alone
    std::mutex lock_;
    std::condition_variable changed_;
    bool done_ = false;
};

double engineReadSeconds(const Pty& pty, const std::vector<unsigned char>& bytes) {
    CountingOwner owner(bytes.size());
    CSerialPort port;
    port.portNames().setDevicePath(1, pty.slave);
    port.openPort(&owner, 1, 2400, 'N', 8, 1, platform::kSerialEvRxChar | platform::kSerialEvRxFlag, 512);
    port.startMonitor();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));  // the monitor empties the line first
    const auto start = Clock::now();
    std::thread writer([&] { pty.send(bytes); });
    owner.waitForAll();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    writer.join();
    port.closePort();
    return seconds;
}

// The same bytes through the same pseudo-terminal, read by a plain loop of 4 KiB reads.
double plainReadSeconds(const Pty& pty, const std::vector<unsigned char>& bytes) {
    const int fd = open(pty.slave.c_str(), O_RDWR | O_NOCTTY);
    termios tio{};
    tcgetattr(fd, &tio);
    cfmakeraw(&tio);
    tcsetattr(fd, TCSANOW, &tio);
    const auto start = Clock::now();
    std::thread writer([&] { pty.send(bytes); });
    std::size_t got = 0;
    unsigned char buf[4096];
    while (got < bytes.size()) {
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n > 0) got += static_cast<std::size_t>(n);
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    writer.join();
    close(fd);
    return seconds;
}

// Received bytes per second through the monitor to the owner, with nothing pacing the line,
// against the plain loop on the same line in the same run (both in every iteration).
void BM_SerialReceive(benchmark::State& state) {
    const std::vector<unsigned char> bytes(static_cast<std::size_t>(state.range(0)), 0x5A);
    double engine = 0;
    double plain = 0;
    for (auto _ : state) {
        Pty pty;
        const double seconds = engineReadSeconds(pty, bytes);
        state.SetIterationTime(seconds);
        engine += seconds;
        plain += plainReadSeconds(pty, bytes);
    }
    const double total = static_cast<double>(state.iterations()) * static_cast<double>(state.range(0));
    state.SetBytesProcessed(static_cast<int64_t>(total));
    state.counters["plain_bytes_per_second"] = total / plain;
    state.counters["ratio_vs_plain_read"] = engine / plain;
}
BENCHMARK(BM_SerialReceive)->Arg(6000)->Arg(60000)->UseManualTime()->Unit(benchmark::kMillisecond);

class QuietUi : public TransferUi {
public:
    void message(const std::string&, const std::string&, MsgIcon) override {}
    void enableControls(bool, bool, bool) override {}
    void setCaption(const std::string&) override {}
    void startEndTimer() override {}
    void endWithOk() override {}
};

class NoUsb : public UsbDeviceAccess {
public:
    bool openDevice(uint32_t) override { return false; }
    const char* deviceName(uint32_t) override { return nullptr; }
    bool writeData(uint32_t, unsigned char*, uint32_t&) override { return false; }
    bool readData(uint32_t, unsigned char*, uint32_t&) override { return false; }
    bool abortWrite(uint32_t) override { return false; }
    bool abortRead(uint32_t) override { return false; }
    void closeDevice(uint32_t) override {}
    intptr_t openPath(const std::string&) override { return kInvalidHandle; }
    void closePath(intptr_t) override {}
};

// The largest transfer (65535 records) through the byte handler, against writing the same
// bytes to the same file in one call.
void BM_PortCharHandler(benchmark::State& state) {
    const int records = 65535;
    std::vector<unsigned char> line = {0x55, 0xFF, 0xFF};
    for (int i = 0; i < records; ++i) {
        unsigned char rec[6];
        encodeReceivedRecord(demoRecord(i), rec);
        line.insert(line.end(), rec, rec + 6);
    }
    double handler = 0;
    double plain = 0;
    for (auto _ : state) {
        Pty pty;
        QuietUi ui;
        NoUsb usb;
        InstrumentTransfer transfer(ui, usb);
        transfer.serialPort().portNames().setDevicePath(1, pty.slave);
        transfer.start(InstrumentTransfer::kSerial, 0);
        auto start = Clock::now();
        for (unsigned char b : line) transfer.onPortChar(b, 1);
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(seconds);
        handler += seconds;
        transfer.onDestroy();

        start = Clock::now();
        std::FILE* f = std::fopen(receivedDataPath().c_str(), "wb");
        std::fwrite(line.data(), 1, line.size(), f);
        std::fclose(f);
        plain += std::chrono::duration<double>(Clock::now() - start).count();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(line.size()));
    state.counters["ratio_vs_one_fwrite"] = handler / plain;
}
BENCHMARK(BM_PortCharHandler)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
