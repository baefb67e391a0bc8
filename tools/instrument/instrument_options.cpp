#include "instrument_options.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <limits>

#include "decimal_option.h"

namespace fendal::instrument {

const char* const kUsage =
    "usage: fendal-instrument usb [--name NAME] [--devices N] POINTS [FAULTS] [--once]\n"
    "       fendal-instrument serial [--device PATH] [--baud N] [--delay MS] POINTS [FAULTS]\n"
    "POINTS: --points N | --from FILE (.tem or .fsy)\n"
    "FAULTS: --break-after K  --stall-after K  --freeze-after K (usb)  --fail-write (usb)  --overcount M\n";

namespace {

constexpr int kMaxRecords = 65535;  // the count travels as two bytes
constexpr int kNoLimit = std::numeric_limits<int>::max();

CLI::Option* addCount(CLI::App& mode, const std::string& name, int& value, int maximum, const std::string& help,
                      int minimum = 0) {
    return mode.add_option(name, value, help)->type_name("N")->transform(kDecimal)->check(CLI::Range(minimum, maximum));
}

// What both modes take: where the points come from and the faults counted in blocks (USB) or
// records (serial).
void addPointsAndFaults(CLI::App& mode, Options& options) {
    CLI::Option* points = addCount(mode, "--points", options.points, kMaxRecords,
                                   "N demonstration points (default 10)");
    mode.add_option("--from", options.fromFile, "the points of a received-data file (.tem) or a crack data file (.fsy)")
        ->type_name("FILE")
        ->excludes(points);
    addCount(mode, "--break-after", options.faults.breakAfter, kNoLimit,
             "close the connection after K blocks or records");
    addCount(mode, "--stall-after", options.faults.stallAfter, kNoLimit,
             "never answer again after K blocks or records");
    addCount(mode, "--overcount", options.faults.overcount, kMaxRecords, "announce M more points than follow");
}

}  // namespace

ParseResult parseOptions(const std::vector<std::string>& args) {
    ParseResult result;
    Options options;
    CLI::App app{"fendal-instrument: a virtual measuring instrument on the USB socket driver or a serial line",
                 "fendal-instrument"};
    app.require_subcommand(1);
    app.footer(kUsage);

    CLI::App* usb = app.add_subcommand("usb", "serve the instrument as USB devices of the socket driver");
    addPointsAndFaults(*usb, options);
    addCount(*usb, "--freeze-after", options.faults.freezeAfter, kNoLimit,
             "hang after K blocks: answer nothing any more, aborts neither");
    usb->add_flag("--fail-write", options.faults.failWrite, "answer every write request with failure");
    usb->add_option("--name", options.name, "the device's name (default ql260-0)")
        ->type_name("NAME")
        ->check([](const std::string& name) {
            return name.empty() || name.find('/') != std::string::npos ? "bad device name: " + name : std::string();
        });
    addCount(*usb, "--devices", options.devices, 64, "serve N devices, NAME-0 .. NAME-(N-1)", 1);
    usb->add_flag("--once", options.once, "exit after the first complete transfer");

    CLI::App* serial = app.add_subcommand("serial", "send the instrument's records on a serial line");
    addPointsAndFaults(*serial, options);
    serial->add_option("--device", options.device, "the line to use (default: a new pseudo-terminal)")
        ->type_name("PATH");
    addCount(*serial, "--baud", options.baud, 4000000, "the line speed (default 2400; 0: as fast as possible)");
    addCount(*serial, "--delay", options.delayMs, 3600 * 1000, "milliseconds before sending (default 300)")
        ->type_name("MS");

    if (!args.empty() && args[0] != "usb" && args[0] != "serial" && args[0].rfind('-', 0) != 0) {
        result.error = "unknown mode: " + args[0] + " (usb or serial)";
        return result;
    }
    // CLI11 takes the arguments last first.
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        result.help = (usb->parsed() ? usb->help() : serial->parsed() ? serial->help() : app.help());
        return result;
    } catch (const CLI::ParseError& error) {
        result.error = error.what();
        return result;
    }
    options.mode = usb->parsed() ? Options::Mode::Usb : Options::Mode::Serial;
    result.options = options;
    return result;
}

}  // namespace fendal::instrument
