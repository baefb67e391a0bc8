// fendal-cli transfer: takes the measurements from the instrument over USB or a serial port,
// without windows, and saves them as a crack data file.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>

#include "cli_command.h"
#include "data/crack_file_io.h"
#include "data/received_data.h"
#include "transfer/instrument_transfer.h"

namespace {

using namespace std::chrono_literals;

constexpr char kUsage[] =
    "transfer (--usb [--device N] | --serial N) -o OUT.fsy [--timeout SECONDS] [--received FILE]";
constexpr char kUsageDetail[] =
    "  --usb [--device N]  the instrument on USB, device index N (default 0); --usb N also works\n"
    "  --serial N          the instrument on serial port COM N (1 to 10); --serial COMn or\n"
    "                      --serial DEVICE (a device path) also work\n"
    "  --received FILE     keep the received data in FILE rather than in the program's\n"
    "                      received-data file, so that transfers can run side by side\n";

// SIGINT or SIGTERM: the transfer stops and what has arrived is saved. A second one ends the
// program at once.
volatile std::sig_atomic_t stopSignal = 0;

extern "C" void onStopSignal(int signal) {
    stopSignal = signal;
    std::signal(signal, SIG_DFL);
}

// The dialog's part on a terminal: messages and progress on standard error.
class ConsoleTransferUi : public TransferUi {
public:
    void message(const std::string& text, const std::string& caption, MsgIcon) override {
        endProgressLine();
        if (caption.empty()) std::fprintf(stderr, "fendal-cli: %s\n", text.c_str());
        else std::fprintf(stderr, "fendal-cli: %s: %s\n", caption.c_str(), text.c_str());
    }
    void enableControls(bool ok, bool, bool) override {
        // The controls come back only when a start has failed.
        if (ok) startFailed = true;
    }
    void setCaption(const std::string&) override {}
    void startEndTimer() override { end(); }
    void endWithOk() override { end(); }
    void progress(int received, int expected) override {
        std::lock_guard<std::mutex> guard(lock_);
        const int percent = expected > 0 ? static_cast<int>(100LL * received / expected) : 0;
        // Every 5 percent, and the end once.
        const bool due = lastPercent_ < 0 || percent >= lastPercent_ + 5 || (percent == 100 && lastPercent_ != 100);
        if (!due) return;
        lastPercent_ = percent;
        std::fprintf(stderr, "\rreceived %d of %d bytes (%3d%%)", received, expected, percent);
        progressShown_ = true;
    }

    enum class Wait { Ended, TimedOut, Stopped };
    // Until the transfer ends, `seconds` have passed (0: no limit) or a stop signal came.
    Wait waitForEnd(int seconds) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        std::unique_lock<std::mutex> guard(lock_);
        // A signal cannot wake a condition variable: look at the flag every few milliseconds.
        while (!changed_.wait_for(guard, 50ms, [&] { return ended_; })) {
            if (stopSignal) return Wait::Stopped;
            if (seconds > 0 && std::chrono::steady_clock::now() >= deadline) return Wait::TimedOut;
        }
        return Wait::Ended;
    }
    void endProgressLine() {
        std::lock_guard<std::mutex> guard(lock_);
        if (progressShown_) std::fputc('\n', stderr);
        progressShown_ = false;
        lastPercent_ = -1;
    }

    bool startFailed = false;

private:
    void end() {
        std::lock_guard<std::mutex> guard(lock_);
        ended_ = true;
        changed_.notify_all();
    }
    std::mutex lock_;
    std::condition_variable changed_;
    bool ended_ = false;
    bool progressShown_ = false;
    int lastPercent_ = -1;
};

bool parseNumber(const std::string& text, int low, int high, int& value) {
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || v < low || v > high) return false;
    value = static_cast<int>(v);
    return true;
}

int usage() {
    std::fprintf(stderr, "usage: fendal-cli %s\n%s", kUsage, kUsageDetail);
    return 2;
}

int badArgument(const char* what, const std::string& value) {
    std::fprintf(stderr, "fendal-cli: %s: %s\n", what, value.c_str());
    return usage();
}

// A serial port named as N, COMn or a device path; the port index (COM1 = 0) or -1 when it is
// a number out of range. A device named outright is used as COM1.
int serialPortIndex(const std::string& name, InstrumentTransfer& transfer) {
    const bool comName = name.rfind("COM", 0) == 0 && name.size() > 3;
    const std::string digits = comName ? name.substr(3) : name;
    if (!digits.empty() && digits.find_first_not_of("0123456789") == std::string::npos) {
        int number = 0;
        return parseNumber(digits, 1, 10, number) ? number - 1 : -1;
    }
    transfer.serialPort().portNames().setDevicePath(1, name);
    return 0;
}

int saveReceived(const std::string& out, const InstrumentTransfer& transfer, bool transferCompleted) {
    const std::string& received = transfer.receivedPath();
    ReceivedData data = readReceivedDataFile(received);
    if (data.status != ReceivedData::Status::Ok) {
        if (transfer.announcedRecords() > kMaxReceivedPoints)
            std::fprintf(stderr,
                         "fendal-cli: the instrument announced %d points, more than the %d a transfer can import; "
                         "%s not written (the received data stays in %s)\n",
                         transfer.announcedRecords(), kMaxReceivedPoints, out.c_str(), received.c_str());
        else
            std::fprintf(stderr, "fendal-cli: nothing usable was received; %s not written\n", out.c_str());
        return 1;
    }
    const bool allPromised = data.complete();
    CrackDataFile f = crackFileFromReceived(std::move(data.points));
    f.path = out;
    if (!transferCompleted && f.pointCount() == 0) {
        std::fprintf(stderr, "fendal-cli: the transfer did not complete and no point arrived; %s not written\n",
                     out.c_str());
        return 1;
    }
    if (!writeCrackFile(f)) {
        std::fprintf(stderr, "fendal-cli: cannot write %s\n", out.c_str());
        return 1;
    }
    if (!transferCompleted || !allPromised) {
        std::fprintf(stderr, "fendal-cli: incomplete transfer: %d of %d points received, saved in %s\n",
                     f.pointCount(), data.promised, out.c_str());
        return 3;
    }
    std::printf("transferred %d points into %s\n", f.pointCount(), out.c_str());
    return 0;
}

int run(const std::vector<std::string>& args) {
    int portType = -1;
    int usbIndex = -1;
    bool deviceOption = false;
    std::string serial;
    std::string out;
    std::string received;
    int timeout = 0;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--usb" && portType < 0) {
            portType = InstrumentTransfer::kUsb;
            if (!deviceOption && i + 1 < args.size() && parseNumber(args[i + 1], 0, 1 << 30, usbIndex)) ++i;
        } else if (a == "--device" && i + 1 < args.size() && !deviceOption) {
            // One index only: `--usb N --device M` would leave the choice unclear.
            if (usbIndex >= 0) return badArgument("the USB device index is given twice", args[i + 1]);
            if (!parseNumber(args[++i], 0, 1 << 30, usbIndex)) return badArgument("not a USB device index", args[i]);
            deviceOption = true;
        } else if (a == "--serial" && i + 1 < args.size() && portType < 0) {
            portType = InstrumentTransfer::kSerial;
            serial = args[++i];
        } else if (a == "-o" && i + 1 < args.size()) {
            out = args[++i];
        } else if (a == "--received" && i + 1 < args.size() && received.empty()) {
            received = args[++i];
            if (received.empty()) return usage();
        } else if (a == "--timeout" && i + 1 < args.size()) {
            if (!parseNumber(args[++i], 1, 86400, timeout)) return usage();
        } else {
            return usage();
        }
    }
    if (portType < 0 || out.empty()) return usage();
    if (deviceOption && portType != InstrumentTransfer::kUsb) {
        std::fprintf(stderr, "fendal-cli: --device goes with --usb\n");
        return usage();
    }

    ConsoleTransferUi ui;
    Ql260DeviceAccess library;
    InstrumentTransfer transfer(ui, library);
    if (!received.empty()) transfer.setReceivedPath(received);
    int portIndex = -1;
    if (portType == InstrumentTransfer::kUsb) {
        transfer.setDeviceIndex(static_cast<uint32_t>(std::max(usbIndex, 0)));
    } else {
        portIndex = serialPortIndex(serial, transfer);
        if (portIndex < 0) return badArgument("serial ports are COM1 to COM10", serial);
    }

    std::signal(SIGINT, onStopSignal);
    std::signal(SIGTERM, onStopSignal);
    transfer.start(portType, portIndex);
    if (ui.startFailed) return 1;
    const ConsoleTransferUi::Wait end = ui.waitForEnd(timeout);
    // The transfer keeps its received data locked until it has been saved from here.
    transfer.onDestroy();
    ui.endProgressLine();
    if (end == ConsoleTransferUi::Wait::TimedOut)
        std::fprintf(stderr, "fendal-cli: no end of transfer within %d s; stopped\n", timeout);
    else if (end == ConsoleTransferUi::Wait::Stopped)
        std::fprintf(stderr, "fendal-cli: stopped by signal %d\n", static_cast<int>(stopSignal));
    return saveReceived(out, transfer, end == ConsoleTransferUi::Wait::Ended && transfer.completed());
}

CliRegistrar reg({"transfer", kUsage,
                  "take the measurements from the instrument (USB or serial port) into a crack data file", run});

}  // namespace
