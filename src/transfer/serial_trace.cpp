#include "transfer/serial_trace.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace serial_trace {

void line(const char* fmt, ...) {
    static const bool enabled = std::getenv("FENDAL_SERIAL_TRACE") != nullptr;
    if (!enabled) return;
    va_list args;
    va_start(args, fmt);
    std::vfprintf(stderr, fmt, args);
    va_end(args);
}

}  // namespace serial_trace
