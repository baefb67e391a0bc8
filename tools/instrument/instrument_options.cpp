#include "instrument_options.h"

#include <charconv>
#include <limits>

namespace instrument {

const char* const kUsage =
    "usage: fendal-instrument usb [--name NAME] [--devices N] POINTS [FAULTS] [--once]\n"
    "       fendal-instrument serial [--device PATH] [--baud N] [--delay MS] POINTS [FAULTS]\n"
    "POINTS: --points N | --from FILE (.tem or .fsy)\n"
    "FAULTS: --break-after K  --stall-after K  --freeze-after K (usb)  --fail-write (usb)  --overcount M\n";

namespace {

bool parseCount(const std::string& text, int& value, int maximum) {
    const char* end = text.data() + text.size();
    auto [p, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && p == end && value >= 0 && value <= maximum;
}

}  // namespace

ParseResult parseOptions(const std::vector<std::string>& args) {
    ParseResult result;
    if (args.empty()) {
        result.error = "missing mode: usb or serial";
        return result;
    }
    Options options;
    if (args[0] == "usb") {
        options.mode = Options::Mode::Usb;
    } else if (args[0] == "serial") {
        options.mode = Options::Mode::Serial;
    } else {
        result.error = "unknown mode: " + args[0];
        return result;
    }
    const bool usb = options.mode == Options::Mode::Usb;
    bool pointsGiven = false;
    constexpr int kMaxRecords = 65535;  // the count travels as two bytes
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) {
                result.error = arg + " needs a value";
                return false;
            }
            out = args[++i];
            return true;
        };
        auto number = [&](int& out, int maximum) {
            std::string text;
            if (!value(text)) return false;
            if (!parseCount(text, out, maximum)) {
                result.error = "bad value for " + arg + ": " + text;
                return false;
            }
            return true;
        };
        bool ok;
        if ((arg == "--points" || arg == "--from") && pointsGiven) {
            result.error = "give either --points or --from, once";
            ok = false;
        } else if (arg == "--points") {
            ok = number(options.points, kMaxRecords);
            pointsGiven = true;
        } else if (arg == "--from") {
            ok = value(options.fromFile);
            pointsGiven = true;
        } else if (arg == "--break-after") {
            ok = number(options.faults.breakAfter, std::numeric_limits<int>::max());
        } else if (arg == "--stall-after") {
            ok = number(options.faults.stallAfter, std::numeric_limits<int>::max());
        } else if (arg == "--freeze-after" && usb) {
            ok = number(options.faults.freezeAfter, std::numeric_limits<int>::max());
        } else if (arg == "--overcount") {
            ok = number(options.faults.overcount, kMaxRecords);
        } else if (arg == "--fail-write" && usb) {
            options.faults.failWrite = true;
            ok = true;
        } else if (arg == "--name" && usb) {
            ok = value(options.name);
            if (ok && (options.name.empty() || options.name.find('/') != std::string::npos)) {
                result.error = "bad device name: " + options.name;
                ok = false;
            }
        } else if (arg == "--devices" && usb) {
            ok = number(options.devices, 64);
            if (ok && options.devices == 0) {
                result.error = "--devices needs at least 1";
                ok = false;
            }
        } else if (arg == "--once" && usb) {
            options.once = true;
            ok = true;
        } else if (arg == "--device" && !usb) {
            ok = value(options.device);
        } else if (arg == "--baud" && !usb) {
            ok = number(options.baud, 4000000);
        } else if (arg == "--delay" && !usb) {
            ok = number(options.delayMs, 3600 * 1000);
        } else {
            result.error = "unknown option for " + args[0] + ": " + arg;
            ok = false;
        }
        if (!ok) return result;
    }
    result.options = options;
    return result;
}

}  // namespace instrument
