#pragma once
// Diagnostic lines of the serial engine. They change nothing; they reach standard error only
// when FENDAL_SERIAL_TRACE is set, the nearest thing here to a debugger's output window.
namespace serial_trace {

void line(const char* fmt, ...)
#if defined(__MINGW32__)
    __attribute__((format(gnu_printf, 1, 2)))  // MinGW's C99 printf, not the old system one
#elif defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

}  // namespace serial_trace
