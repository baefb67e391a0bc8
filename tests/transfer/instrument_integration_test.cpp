// The transfer against the virtual instrument, over the USB socket driver and a pseudo-terminal.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <thread>
#include <tuple>

#include "data/crack_file_io.h"
#include "instrument_process.h"
#include "transfer/instrument_transfer.h"
#include "transfer_fakes.h"

using namespace fendal;
using namespace fendal::data;
using namespace fendal::transfer;

namespace {

using namespace std::chrono_literals;
constexpr char kWriteFailed[] = "端点2下传失败！如果设备断开过那么请先关闭本程序";

void expectDemoPoints(const ReceivedData& data, std::size_t count) {
    ASSERT_GE(data.points.size(), count);
    for (std::size_t i = 0; i < count; ++i) {
        const MeasurePoint expected = pointFromReceived(demoRecord(static_cast<int>(i)));
        EXPECT_STREQ(data.points[i].number, expected.number) << i;
        EXPECT_EQ(data.points[i].velocity, expected.velocity) << i;
        EXPECT_EQ(data.points[i].depth, expected.depth) << i;
    }
}

struct Session {
    Session() : transfer(ui, library) {}
    // Until the transfer ends the dialog, then the dialog goes.
    bool runToEnd() {
        if (!ui.waitForEnd()) return false;
        transfer.onDestroy();
        return true;
    }
    ScriptedTransferUi ui;
    Ql260DeviceAccess library;
    InstrumentTransfer transfer;
};

TEST(UsbInstrument, CleanTransferOfAllPoints) {
    InstrumentProcess instrument({"usb", "--points", "70"});
    ASSERT_TRUE(instrument.ready());
    Session r;
    r.transfer.start(InstrumentTransfer::kUsb, -1);
    ASSERT_TRUE(r.runToEnd());
    EXPECT_TRUE(r.transfer.completed());
    EXPECT_EQ(r.ui.texts(), std::vector<std::string>{"传输完成"});
    const ReceivedData data = readReceivedDataFile(receivedDataPath());
    EXPECT_EQ(data.promised, 70);
    EXPECT_TRUE(data.complete());
    expectDemoPoints(data, 70);
}

// The next block request is the first call that meets the closed connection.
TEST(UsbInstrument, BrokenConnectionIsReportedAndWhatArrivedKept) {
    InstrumentProcess instrument({"usb", "--points", "25", "--break-after", "2"});
    ASSERT_TRUE(instrument.ready());
    Session r;
    r.transfer.start(InstrumentTransfer::kUsb, -1);
    ASSERT_TRUE(r.runToEnd());
    EXPECT_FALSE(r.transfer.completed());
    EXPECT_EQ(r.ui.texts(), std::vector<std::string>{kWriteFailed});
    EXPECT_EQ(r.ui.endTimers, 1);
    const ReceivedData data = readReceivedDataFile(receivedDataPath());
    EXPECT_EQ(data.promised, 25);
    EXPECT_EQ(data.points.size(), 10u);  // two blocks of 32 bytes hold ten whole records
    expectDemoPoints(data, 10);
}

// A silent instrument (it still answers aborts), one that has hung for good, one whose process
// is stopped: Cancel ends the transfer whatever the device does, and gives the device back.
TEST(UsbInstrument, CancelEndsTheTransferWhateverTheDeviceDoes) {
    for (const char* fault : {"--stall-after", "--freeze-after", "SIGSTOP"}) {
        const bool stop = std::string(fault) == "SIGSTOP";
        // Stopped from outside, the instrument must not be through before the signal lands.
        std::vector<std::string> args = {"usb", "--points", stop ? "20000" : "40"};
        if (!stop) args.insert(args.end(), {fault, "1"});
        InstrumentProcess instrument(args);
        ASSERT_TRUE(instrument.ready()) << fault;
        {
            Session r;
            r.transfer.start(InstrumentTransfer::kUsb, -1);
            if (stop) {
                ASSERT_TRUE(r.ui.waitForProgress(32)) << "block 0 arrives";
                instrument.freeze();
            }
            EXPECT_FALSE(r.ui.waitForEnd(300ms)) << fault;
            const auto before = std::chrono::steady_clock::now();
            r.transfer.cancel();
            const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                                    before);
            std::printf("cancel against %s: %lld ms\n", fault, static_cast<long long>(took.count()));
            EXPECT_FALSE(r.transfer.workerRunning()) << fault;
            EXPECT_FALSE(r.transfer.completed()) << fault;
            EXPECT_TRUE(r.ui.texts().empty()) << fault;
        }
        if (stop) continue;
        // The device was given back: a second transfer can open it (and gets no further).
        Session again;
        again.transfer.start(InstrumentTransfer::kUsb, -1);
        EXPECT_TRUE(again.ui.texts().empty()) << fault;
        EXPECT_TRUE(again.transfer.workerRunning()) << fault;
        again.transfer.cancel();
    }
}

TEST(UsbInstrument, RefusedWritesAreReported) {
    InstrumentProcess instrument({"usb", "--points", "5", "--fail-write"});
    ASSERT_TRUE(instrument.ready());
    Session r;
    r.transfer.start(InstrumentTransfer::kUsb, -1);
    ASSERT_TRUE(r.runToEnd());
    ASSERT_EQ(r.ui.shown().size(), 1u);
    EXPECT_EQ(r.ui.shown()[0].text, kWriteFailed);
    EXPECT_EQ(r.ui.shown()[0].caption, "DEBUG418");
    EXPECT_FALSE(r.transfer.completed());
}

TEST(UsbInstrument, OvercountEndsAtTheMissingBlock) {
    InstrumentProcess instrument({"usb", "--points", "16", "--overcount", "20"});
    ASSERT_TRUE(instrument.ready());
    Session r;
    r.transfer.start(InstrumentTransfer::kUsb, -1);
    ASSERT_TRUE(r.runToEnd());
    EXPECT_FALSE(r.transfer.completed());
    EXPECT_TRUE(r.ui.texts().empty());
    const ReceivedData data = readReceivedDataFile(receivedDataPath());
    EXPECT_EQ(data.promised, 36);
    EXPECT_FALSE(data.complete());
    expectDemoPoints(data, 16);
}

TEST(UsbInstrument, NoDeviceIsReported) {
    Session r;
    r.transfer.start(InstrumentTransfer::kUsb, -1);
    EXPECT_EQ(r.ui.texts(), std::vector<std::string>{"打开设备失败！"});
    EXPECT_EQ(r.ui.endTimers, 0);
}

struct SerialRun : Session {
    explicit SerialRun(const InstrumentProcess& instrument) {
        transfer.serialPort().portNames().setDevicePath(6, instrument.path());
        transfer.start(InstrumentTransfer::kSerial, 5);
    }
};

TEST(SerialInstrument, CleanTransferOverAPseudoTerminal) {
    InstrumentProcess instrument({"serial", "--points", "12", "--baud", "0"});
    ASSERT_TRUE(instrument.ready());
    SerialRun r(instrument);
    ASSERT_TRUE(r.runToEnd());
    EXPECT_TRUE(r.transfer.completed());
    EXPECT_EQ(r.ui.endsWithOk, 1);
    const ReceivedData data = readReceivedDataFile(receivedDataPath());
    EXPECT_TRUE(data.complete());
    EXPECT_EQ(data.points.size(), 12u);
    expectDemoPoints(data, 12);
}

TEST(SerialInstrument, NoPointsEndsAtOnce) {
    InstrumentProcess instrument({"serial", "--points", "0", "--baud", "0"});
    ASSERT_TRUE(instrument.ready());
    SerialRun r(instrument);
    ASSERT_TRUE(r.runToEnd());
    EXPECT_TRUE(r.transfer.completed());
    EXPECT_EQ(fileBytes(receivedDataPath()), (std::vector<unsigned char>{0, 0, 0, 0}));
}

TEST(SerialInstrument, SilentLineWaitsUntilCancelled) {
    InstrumentProcess instrument({"serial", "--points", "8", "--baud", "0", "--delay", "100", "--stall-after", "3"});
    ASSERT_TRUE(instrument.ready());
    SerialRun r(instrument);
    EXPECT_FALSE(r.ui.waitForEnd(800ms));
    r.transfer.onDestroy();  // Cancel: the port closes, its monitor ends
    EXPECT_FALSE(r.transfer.serialPort().isOpen());
    EXPECT_FALSE(r.transfer.completed());
    EXPECT_TRUE(r.ui.texts().empty());
}

// The instrument closes the line before all it announced has come (after three records, or
// after all it has of an overstated count): the transfer ends with what came.
TEST(SerialInstrument, VanishedLineEndsWithWhatCame) {
    for (const auto& [fault, promised, arrived] :
         {std::tuple{"--break-after", 8, 3}, std::tuple{"--overcount", 11, 8}}) {
        InstrumentProcess instrument({"serial", "--points", "8", "--baud", "0", "--delay", "100", fault, "3"});
        ASSERT_TRUE(instrument.ready());
        SerialRun r(instrument);
        ASSERT_TRUE(r.runToEnd()) << fault;
        EXPECT_FALSE(r.transfer.completed());
        ASSERT_EQ(r.ui.shown().size(), 1u) << fault;
        EXPECT_EQ(r.ui.shown()[0].text, kSerialLineLost);
        EXPECT_EQ(r.ui.shown()[0].caption, "DEBUG418");
        EXPECT_EQ(r.ui.shown()[0].icon, MsgIcon::Error);
        const ReceivedData data = readReceivedDataFile(receivedDataPath());
        EXPECT_EQ(data.promised, promised) << fault;
        ASSERT_EQ(static_cast<int>(data.points.size()), arrived) << fault;
        expectDemoPoints(data, arrived);
    }
}

// --- the command line

std::string runtimePath(const std::string& name) { return std::string(std::getenv("XDG_RUNTIME_DIR")) + "/" + name; }

std::vector<std::string> cliTransfer(const std::vector<std::string>& args) {
    std::vector<std::string> all = {binDir() + "/fendal-cli", "transfer"};
    all.insert(all.end(), args.begin(), args.end());
    return all;
}

int pointsIn(const std::string& fsy) {
    CrackDataFile file;
    return readCrackFile(fsy, file) ? file.pointCount() : -1;
}

// What fendal-cli says once two blocks of a 40-point transfer have arrived.
constexpr char kTwoBlocksOf40[] = "received 64 of 240 bytes";

TEST(CliTransfer, SavesTheInstrumentsPointsAsACrackDataFile) {
    const std::string out = std::string(std::getenv("XDG_RUNTIME_DIR")) + "/cli.fsy";
    {
        InstrumentProcess instrument({"usb", "--points", "30"});
        ASSERT_TRUE(instrument.ready());
        ASSERT_EQ(runProgram({binDir() + "/fendal-cli", "transfer", "--usb", "-o", out}), 0);
        CrackDataFile file;
        ASSERT_TRUE(readCrackFile(out, file));
        EXPECT_EQ(file.pointCount(), 30);
        EXPECT_EQ(file.receivedCount(), 30);
    }
    {
        InstrumentProcess instrument({"serial", "--points", "9", "--baud", "0"});
        ASSERT_TRUE(instrument.ready());
        ASSERT_EQ(runProgram({binDir() + "/fendal-cli", "transfer", "--serial", instrument.path(), "-o", out}), 0);
        CrackDataFile file;
        ASSERT_TRUE(readCrackFile(out, file));
        EXPECT_EQ(file.pointCount(), 9);
    }
}

// FENDAL_TRACE=serial: each step of setting up and closing the line is told on standard error,
// for a user's log; without it nothing is.
TEST(CliTransfer, SerialTraceTellsEachConfigurationStep) {
    const std::string out = runtimePath("traced.fsy");
    for (const bool traced : {true, false}) {
        InstrumentProcess instrument({"serial", "--points", "3", "--baud", "0"});
        ASSERT_TRUE(instrument.ready());
        if (traced) ::setenv("FENDAL_TRACE", "serial", 1);
        std::string errors;
        const int status = runProgram(cliTransfer({"--serial", instrument.path(), "-o", out}), &errors);
        ::unsetenv("FENDAL_TRACE");
        ASSERT_EQ(status, 0) << errors;
        const std::string line = "serial " + instrument.path() + ": ";
        if (!traced) {
            EXPECT_EQ(errors.find("serial "), std::string::npos) << errors;
            continue;
        }
        for (const std::string step :
             {"open\n", "time-outs: read interval 1000 ms", "event mask 0x0003\n",
              "line settings: 2400 baud, parity N, 8 data bits, 1 stop bits, RTS on\n", "purge 0xf\n", "close: "})
            EXPECT_NE(errors.find(line + step), std::string::npos) << step << " in\n" << errors;
    }
}

// The port named by number: a USB device index, a COM number that the environment maps to the
// instrument's line.
TEST(CliTransfer, PortsNamedByNumber) {
    const std::string cli = binDir() + "/fendal-cli";
    const std::string out = std::string(std::getenv("XDG_RUNTIME_DIR")) + "/numbered.fsy";
    {
        InstrumentProcess instrument({"usb", "--devices", "2", "--points", "12"});
        ASSERT_TRUE(instrument.ready());
        ASSERT_EQ(runProgram({cli, "transfer", "--usb", "--device", "1", "-o", out}), 0);
        CrackDataFile file;
        ASSERT_TRUE(readCrackFile(out, file));
        EXPECT_EQ(file.pointCount(), 12);
        std::string errors;
        EXPECT_EQ(runProgram({cli, "transfer", "--usb", "--device", "2", "-o", out}, &errors), 1);
        EXPECT_NE(errors.find("打开设备失败！"), std::string::npos) << errors;
    }
    {
        InstrumentProcess instrument({"serial", "--points", "7", "--baud", "0"});
        ASSERT_TRUE(instrument.ready());
        ::setenv("FENDAL_SERIAL_COM4", instrument.path().c_str(), 1);
        const int status = runProgram({cli, "transfer", "--serial", "4", "-o", out});
        ::unsetenv("FENDAL_SERIAL_COM4");
        ASSERT_EQ(status, 0);
        CrackDataFile file;
        ASSERT_TRUE(readCrackFile(out, file));
        EXPECT_EQ(file.pointCount(), 7);
    }
    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{{"--serial", "11"},
                                                                                     {"--serial", "COM0"},
                                                                                     {"--serial", "4", "--device", "1"},
                                                                                     {"--usb", "1", "--device", "1"},
                                                                                     {"--usb", "--device", "x"}}) {
        std::vector<std::string> args = {cli, "transfer"};
        args.insert(args.end(), bad.begin(), bad.end());
        args.insert(args.end(), {"-o", out});
        std::string errors;
        EXPECT_EQ(runProgram(args, &errors), 2) << bad[1];
        EXPECT_NE(errors.find("usage: fendal-cli transfer (--usb [--device N] | --serial N)"), std::string::npos)
            << errors;
    }
}

// --help explains every option; a command line that cannot be taken is refused with the usage
// and its exit code before any device, port or file is touched.
TEST(CliTransfer, CommandLinesItCannotTakeAreRefusedBeforeAnyWork) {
    std::string help;  // on standard output, which the run collects from standard error
    ASSERT_EQ(runProgram({"/bin/sh", "-c", "\"$0\" transfer --help 1>&2", binDir() + "/fendal-cli"}, &help), 0);
    const std::string out = runtimePath("refused.fsy"), received = runtimePath("refused.tem");
    std::filesystem::remove(out);
    std::filesystem::remove(received);
    InstrumentProcess instrument({"usb", "--points", "3"});
    ASSERT_TRUE(instrument.ready());
    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{{"--usb", "--bogus"},
                                                                                     {"--usb", "--timeout", "0"},
                                                                                     {"--usb", "--timeout", "86401"},
                                                                                     {"--usb", "--timeout", "1.5"},
                                                                                     {"--usb", "--timeout", "abc"},
                                                                                     {"--usb", "--timeout", "0x10"},
                                                                                     {"--usb", "-1"},
                                                                                     {"--usb", "99999999999"},
                                                                                     {"--usb", "--usb"},
                                                                                     {"--usb", "--serial", "1"},
                                                                                     {"--serial", "1", "--serial", "2"},
                                                                                     {"--device", "1"},
                                                                                     {"--usb", "--received", ""},
                                                                                     {},
                                                                                     {"--usb", "--timeout"}}) {
        std::vector<std::string> args = cliTransfer(bad);
        const bool missingValue = !bad.empty() && bad.back() == "--timeout";
        if (!missingValue) args.insert(args.end(), {"-o", out});
        if (std::find(bad.begin(), bad.end(), "--received") == bad.end())
            args.insert(args.end(), {"--received", received});
        std::string errors;
        EXPECT_EQ(runProgram(args, &errors), 2) << args[3];
        EXPECT_NE(errors.find("usage: fendal-cli transfer (--usb [--device N] | --serial N) -o OUT.fsy"),
                  std::string::npos)
            << errors;
        EXPECT_FALSE(std::filesystem::exists(out)) << errors;
        EXPECT_FALSE(std::filesystem::exists(received)) << errors;
    }
    std::string errors;
    EXPECT_EQ(runProgram(cliTransfer({"--usb", "--received", received}), &errors), 2) << "nowhere to write";
    EXPECT_FALSE(std::filesystem::exists(received));
    for (const char* option : {"--usb", "--device", "--serial", "-o", "--timeout", "--received", "1 to 86400"})
        EXPECT_NE(help.find(option), std::string::npos) << option << " in\n" << help;
    // The last -o and --timeout count, as they always have.
    ASSERT_EQ(runProgram(cliTransfer({"--usb", "-o", runtimePath("first.fsy"), "-o", out, "--timeout", "5", "--timeout",
                                      "30", "--received", received})),
              0);
    EXPECT_EQ(pointsIn(out), 3);
    EXPECT_FALSE(std::filesystem::exists(runtimePath("first.fsy")));
}

// Two runs at once on the one received-data file: the second is refused and changes nothing;
// with a file each (--received) they run side by side.
TEST(CliTransfer, TwoRunsAtOnce) {
    InstrumentProcess a({"usb", "--name", "a", "--points", "40", "--stall-after", "2"});
    InstrumentProcess b({"usb", "--name", "b", "--points", "25"});
    ASSERT_TRUE(a.ready() && b.ready());
    const std::string outA = runtimePath("a.fsy"), outB = runtimePath("b.fsy");
    {
        ProgramProcess first(cliTransfer({"--usb", "--device", "0", "-o", outA, "--timeout", "2"}));
        ASSERT_TRUE(first.waitForOutput(kTwoBlocksOf40));
        std::string errors;
        EXPECT_EQ(runProgram(cliTransfer({"--usb", "--device", "1", "-o", outB}), &errors), 1);
        EXPECT_NE(errors.find(kTransferBusy), std::string::npos) << errors;
        EXPECT_EQ(pointsIn(outB), -1);
        EXPECT_EQ(first.wait(&errors), 3) << errors;  // stopped at its time-out, what came is saved
        EXPECT_EQ(pointsIn(outA), 10);                // the first instrument's, not the second's
    }
    {
        ProgramProcess first(
            cliTransfer({"--usb", "--device", "0", "-o", outA, "--timeout", "2", "--received", runtimePath("a.tem")}));
        ProgramProcess second(cliTransfer({"--usb", "--device", "1", "-o", outB, "--received", runtimePath("b.tem")}));
        EXPECT_EQ(second.wait(), 0);
        EXPECT_EQ(first.wait(), 3);
        EXPECT_EQ(pointsIn(outA), 10);
        EXPECT_EQ(pointsIn(outB), 25);
    }
    // One device serves one transfer at a time, whatever file each uses.
    {
        ProgramProcess first(
            cliTransfer({"--usb", "--device", "0", "-o", outA, "--timeout", "2", "--received", runtimePath("a.tem")}));
        ASSERT_TRUE(first.waitForOutput(kTwoBlocksOf40));
        std::string errors;
        EXPECT_EQ(runProgram(cliTransfer({"--usb", "--device", "0", "-o", outB, "--received", runtimePath("b.tem")}),
                             &errors),
                  1);
        EXPECT_NE(errors.find("打开设备失败！"), std::string::npos) << errors;
        EXPECT_EQ(first.wait(), 3);
        EXPECT_EQ(pointsIn(outA), 10);
    }
}

// --timeout and SIGINT/SIGTERM stop the transfer, also against an instrument that answers
// nothing any more, and save what came; so does a line that vanishes.
TEST(CliTransfer, StoppedOrCutTransfersSaveWhatCame) {
    const std::string out = runtimePath("stopped.fsy");
    {
        InstrumentProcess frozen({"usb", "--points", "40", "--freeze-after", "1"});
        ASSERT_TRUE(frozen.ready());
        std::string errors;
        EXPECT_EQ(runProgram(cliTransfer({"--usb", "-o", out, "--timeout", "1"}), &errors), 3) << errors;
        EXPECT_NE(errors.find("no end of transfer"), std::string::npos) << errors;
        EXPECT_EQ(pointsIn(out), 5);  // block 0
    }
    for (const auto& [signal, fault] : {std::pair{SIGINT, "--stall-after"}, std::pair{SIGTERM, "--freeze-after"}}) {
        InstrumentProcess stopped({"usb", "--points", "40", fault, "2"});
        ASSERT_TRUE(stopped.ready());
        ProgramProcess cli(cliTransfer({"--usb", "-o", out}));
        ASSERT_TRUE(cli.waitForOutput(kTwoBlocksOf40));
        cli.signal(signal);
        std::string errors;
        EXPECT_EQ(cli.wait(&errors), 3) << errors;
        EXPECT_NE(errors.find("stopped by signal"), std::string::npos) << errors;
        EXPECT_EQ(pointsIn(out), 10) << fault;
    }
    {
        InstrumentProcess line({"serial", "--points", "9", "--baud", "0", "--break-after", "4"});
        ASSERT_TRUE(line.ready());
        std::string errors;
        EXPECT_EQ(runProgram(cliTransfer({"--serial", line.path(), "-o", out}), &errors), 3) << errors;
        EXPECT_NE(errors.find(kSerialLineLost), std::string::npos) << errors;
        EXPECT_EQ(pointsIn(out), 4);
    }
}

// More points than an import takes: said plainly, and the received data is kept.
TEST(CliTransfer, MorePointsThanAnImportTakes) {
    InstrumentProcess instrument({"usb", "--points", "20001"});
    ASSERT_TRUE(instrument.ready());
    const std::string out = runtimePath("many.fsy");
    std::string errors;
    EXPECT_EQ(runProgram(cliTransfer({"--usb", "-o", out}), &errors), 1);
    EXPECT_NE(errors.find("the instrument announced 20001 points, more than the 20000 a transfer can import"),
              std::string::npos)
        << errors;
    EXPECT_NE(errors.find(receivedDataPath()), std::string::npos) << errors;
    EXPECT_EQ(pointsIn(out), -1);
}

TEST(CliTransfer, FailuresExitWithAReason) {
    const std::string out = std::string(std::getenv("XDG_RUNTIME_DIR")) + "/none.fsy";
    std::string errors;
    EXPECT_EQ(runProgram({binDir() + "/fendal-cli", "transfer", "--usb", "-o", out}, &errors), 1);
    EXPECT_NE(errors.find("打开设备失败！"), std::string::npos) << errors;
    EXPECT_NE(runProgram({binDir() + "/fendal-cli", "transfer", "-o", out}), 0);

    InstrumentProcess stalled({"usb", "--points", "40", "--stall-after", "2"});
    ASSERT_TRUE(stalled.ready());
    EXPECT_EQ(runProgram({binDir() + "/fendal-cli", "transfer", "--usb", "-o", out, "--timeout", "1"}, &errors), 3);
    EXPECT_NE(errors.find("no end of transfer"), std::string::npos) << errors;
    CrackDataFile partial;
    ASSERT_TRUE(readCrackFile(out, partial));  // what came is kept
    EXPECT_EQ(partial.pointCount(), 10);
}

}  // namespace
