#pragma once
// The command line of fendal-instrument.
#include <optional>
#include <string>
#include <vector>

namespace fendal::instrument {

// Faults, counted in blocks (USB) or records (serial); -1 = off.
struct Faults {
    int breakAfter = -1;
    int stallAfter = -1;
    int freezeAfter = -1;  // usb only
    bool failWrite = false;
    int overcount = 0;
};

struct Options {
    enum class Mode { Usb, Serial };
    Mode mode = Mode::Usb;
    // Points: `fromFile` when set, else `points` demonstration points.
    int points = 10;
    std::string fromFile;
    Faults faults;
    // usb
    std::string name = "ql260-0";
    int devices = 0;  // 0: one device named `name`; N: NAME-0 .. NAME-(N-1)
    bool once = false;
    // serial
    std::string device;  // empty: a new pseudo-terminal
    int baud = 2400;     // 0: as fast as possible
    int delayMs = 300;
};

extern const char* const kUsage;

// The options; or the help asked for with --help; or why the command line was refused.
struct ParseResult {
    std::optional<Options> options;
    std::string help;
    std::string error;
};
ParseResult parseOptions(const std::vector<std::string>& args);

}  // namespace fendal::instrument
