// fendal-cli transfer: takes the measurements from the instrument over USB or a serial port,
// without windows, and saves them as a crack data file.
#include <CLI/CLI.hpp>
#include <charconv>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>

#include "cli_command.h"
#include "decimal_option.h"
#include "data/crack_file_io.h"
#include "data/received_data.h"
#include "transfer/instrument_transfer.h"

namespace fendal::cli {

namespace {

using namespace std::chrono_literals;

constexpr char kUsage[] = "transfer (--usb [--device N] | --serial N) -o OUT.fsy [--timeout SECONDS] [--received FILE]";

// SIGINT or SIGTERM: the transfer stops and what has arrived is saved. A second one ends the
// program at once.
volatile std::sig_atomic_t stopSignal = 0;

extern "C" void onStopSignal(int signal) {
    stopSignal = signal;
    std::signal(signal, SIG_DFL);
}

// The dialog's part on a terminal: messages and progress on standard error.
class ConsoleTransferUi : public transfer::TransferUi {
public:
    void message(const std::string& text, const std::string& caption, data::MsgIcon) override {
        endProgressLine();
        if (caption.empty())
            std::fprintf(stderr, "fendal-cli: %s\n", text.c_str());
        else
            std::fprintf(stderr, "fendal-cli: %s: %s\n", caption.c_str(), text.c_str());
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

// The refusals that CLI11 cannot tell: they too end with the usage, and the usage exit code.
int badArgument(const std::string& what) {
    std::fprintf(stderr, "fendal-cli: %s\nusage: fendal-cli %s\n", what.c_str(), kUsage);
    return 2;
}

// A serial port named as N, COMn or a device path; the port index (COM1 = 0) or -1 when it is
// a number out of range. A device named outright is used as COM1.
int serialPortIndex(const std::string& name, transfer::InstrumentTransfer& transfer) {
    const bool comName = name.rfind("COM", 0) == 0 && name.size() > 3;
    const std::string digits = comName ? name.substr(3) : name;
    if (!digits.empty() && digits.find_first_not_of("0123456789") == std::string::npos) {
        long number = 0;
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
        return error == std::errc() && number >= 1 && number <= 10 ? static_cast<int>(number) - 1 : -1;
    }
    transfer.serialPort().portNames().setDevicePath(1, name);
    return 0;
}

int saveReceived(const std::string& out, const transfer::InstrumentTransfer& transfer, bool transferCompleted) {
    const std::string& received = transfer.receivedPath();
    data::ReceivedData data = data::readReceivedDataFile(received);
    if (data.status != data::ReceivedData::Status::Ok) {
        if (transfer.announcedRecords() > data::kMaxReceivedPoints)
            std::fprintf(stderr,
                         "fendal-cli: the instrument announced %d points, more than the %d a transfer can import; "
                         "%s not written (the received data stays in %s)\n",
                         transfer.announcedRecords(), data::kMaxReceivedPoints, out.c_str(), received.c_str());
        else
            std::fprintf(stderr, "fendal-cli: nothing usable was received; %s not written\n", out.c_str());
        return 1;
    }
    const bool allPromised = data.complete();
    data::CrackDataFile f = data::crackFileFromReceived(std::move(data.points));
    f.path = out;
    if (!transferCompleted && f.pointCount() == 0) {
        std::fprintf(stderr, "fendal-cli: the transfer did not complete and no point arrived; %s not written\n",
                     out.c_str());
        return 1;
    }
    if (!data::writeCrackFile(f)) {
        std::fprintf(stderr, "fendal-cli: cannot write %s\n", out.c_str());
        return 1;
    }
    if (!transferCompleted || !allPromised) {
        std::fprintf(stderr, "fendal-cli: incomplete transfer: %d of %d points received, saved in %s\n", f.pointCount(),
                     data.promised, out.c_str());
        return 3;
    }
    std::printf("transferred %d points into %s\n", f.pointCount(), out.c_str());
    return 0;
}

struct Options {
    int usbIndex = 0;
    int deviceIndex = -1;
    std::string serial;
    std::string out;
    std::string received;
    int timeout = 0;
    CLI::Option* usb = nullptr;
    CLI::Option* device = nullptr;
    CLI::Option* serialOption = nullptr;
};

int run(const Options& options) {
    // `--usb N` names the device as `--device N` does; one of them only, or the choice is unclear.
    const bool usbIndexGiven = options.usb->count() > 0 && !options.usb->results().front().empty();
    if (usbIndexGiven && options.device->count() > 0)
        return badArgument("the USB device index is given twice: " + std::to_string(options.deviceIndex));
    const bool usb = options.usb->count() > 0;
    if (usb == (options.serialOption->count() > 0)) return badArgument("give --usb or --serial");

    ConsoleTransferUi ui;
    transfer::Ql260DeviceAccess library;
    transfer::InstrumentTransfer transfer(ui, library);
    if (!options.received.empty()) transfer.setReceivedPath(options.received);
    int portIndex = -1;
    if (usb) {
        transfer.setDeviceIndex(
            static_cast<uint32_t>(options.device->count() > 0 ? options.deviceIndex : options.usbIndex));
    } else {
        portIndex = serialPortIndex(options.serial, transfer);
        if (portIndex < 0) return badArgument("serial ports are COM1 to COM10: " + options.serial);
    }

    std::signal(SIGINT, onStopSignal);
    std::signal(SIGTERM, onStopSignal);
    transfer.start(usb ? transfer::InstrumentTransfer::kUsb : transfer::InstrumentTransfer::kSerial, portIndex);
    if (ui.startFailed) return 1;
    const ConsoleTransferUi::Wait end = ui.waitForEnd(options.timeout);
    // The transfer keeps its received data locked until it has been saved from here.
    transfer.onDestroy();
    ui.endProgressLine();
    if (end == ConsoleTransferUi::Wait::TimedOut)
        std::fprintf(stderr, "fendal-cli: no end of transfer within %d s; stopped\n", options.timeout);
    else if (end == ConsoleTransferUi::Wait::Stopped)
        std::fprintf(stderr, "fendal-cli: stopped by signal %d\n", static_cast<int>(stopSignal));
    return saveReceived(options.out, transfer, end == ConsoleTransferUi::Wait::Ended && transfer.completed());
}

std::function<int()> define(CLI::App& command) {
    auto options = std::make_shared<Options>();
    constexpr int kMaxDeviceIndex = 1 << 30;
    options->usb = command.add_option("--usb", options->usbIndex, "the instrument on USB; --usb N: device index N")
                       ->expected(0, 1)
                       ->type_name("[N]")
                       ->transform(kDecimal)
                       ->check(CLI::Range(0, kMaxDeviceIndex));
    options->device = command.add_option("--device", options->deviceIndex, "the USB device index (default 0)")
                          ->needs(options->usb)
                          ->type_name("N")
                          ->transform(kDecimal)
                          ->check(CLI::Range(0, kMaxDeviceIndex));
    options->serialOption = command
                                .add_option("--serial", options->serial,
                                            "the instrument on serial port COM N (1 to 10), COMn or a device path")
                                ->type_name("PORT")
                                ->excludes(options->usb);
    command.add_option("-o", options->out, "the crack data file to write")
        ->type_name("OUT.fsy")
        ->required()
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    command.add_option("--timeout", options->timeout, "stop after this many seconds and save what came (1 to 86400)")
        ->type_name("SECONDS")
        ->transform(kDecimal)
        ->check(CLI::Range(1, 86400))
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    command
        .add_option("--received", options->received,
                    "keep the received data in FILE rather than in the program's received-data file, so that "
                    "transfers can run side by side")
        ->type_name("FILE")
        ->check(
            [](const std::string& value) { return value.empty() ? std::string("an empty file name") : std::string(); });
    command.footer(std::string("usage: fendal-cli ") + kUsage);
    return [options] { return run(*options); };
}

CliRegistrar reg({.name = "transfer",
                  .usage = kUsage,
                  .summary = "take the measurements from the instrument (USB or serial port) into a crack data file",
                  .define = define});

}  // namespace

}  // namespace fendal::cli
