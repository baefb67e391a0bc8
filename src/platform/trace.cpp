#include "platform/trace.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace fendal::platform {

namespace {

constexpr unsigned bit(TraceChannel channel) { return 1u << static_cast<unsigned>(channel); }

unsigned enabledChannels() {
    // Read once: the variable belongs to the process's start, and threads trace concurrently.
    static const unsigned channels = detail::traceChannels(std::getenv("FENDAL_TRACE"));
    return channels;
}

}  // namespace

namespace detail {

unsigned traceChannels(const char* value) {
    if (value == nullptr) return 0;
    unsigned channels = 0;
    std::string_view rest(value);
    while (!rest.empty()) {
        const std::size_t comma = rest.find(',');
        const std::string_view name = rest.substr(0, comma);
        if (name == "usb")
            channels |= bit(TraceChannel::Usb);
        else if (name == "serial")
            channels |= bit(TraceChannel::Serial);
        else if (name == "all")
            channels |= bit(TraceChannel::Usb) | bit(TraceChannel::Serial);
        if (comma == std::string_view::npos) break;
        rest.remove_prefix(comma + 1);
    }
    return channels;
}

}  // namespace detail

bool traceEnabled(TraceChannel channel) { return (enabledChannels() & bit(channel)) != 0; }

void trace(TraceChannel channel, const char* fmt, ...) {
    if (!traceEnabled(channel)) return;
    // One formatted write, so lines of two threads do not interleave mid-line.
    char line[1024];
    va_list args;
    va_start(args, fmt);
    const int length = std::vsnprintf(line, sizeof line, fmt, args);
    va_end(args);
    if (length < 0) return;
    std::fputs(line, stderr);
}

}  // namespace fendal::platform
