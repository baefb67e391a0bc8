#pragma once
namespace fendal::platform {

// Diagnostic lines for a field problem with a real instrument. They change nothing and are off
// unless FENDAL_TRACE names their channel ("usb", "serial", comma-separated, or "all"); then
// they go to standard error, one line a step, so a user can send the log.
enum class TraceChannel { Usb, Serial };

bool traceEnabled(TraceChannel channel);

// printf-style; the text is written as it is, so callers end their lines themselves.
void trace(TraceChannel channel, const char* fmt, ...)
#if defined(__MINGW32__)
    __attribute__((format(gnu_printf, 2, 3)))  // MinGW's C99 printf, not the old system one
#elif defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

namespace detail {
// The channels a FENDAL_TRACE value turns on, as a bit set of TraceChannel; for tests.
unsigned traceChannels(const char* value);
}  // namespace detail

}  // namespace fendal::platform
