#pragma once
// Text at the edges: records, files and the clipboard hold GBK bytes in fixed NUL-terminated
// fields; the program itself works in UTF-8.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace fendal::platform {

namespace text {

// GBK to UTF-8 for display. A byte sequence that is not GBK becomes U+FFFD, so a damaged
// field still shows what it can.
std::string gbkToUtf8(std::string_view gbk);

// GBK to UTF-8 only when every byte is GBK; nullopt otherwise.
std::optional<std::string> gbkToUtf8Exact(std::string_view gbk);

// UTF-8 to GBK; nullopt when the text holds a character GBK cannot represent (or is not UTF-8).
std::optional<std::string> utf8ToGbk(std::string_view utf8);

// Whether the bytes are well-formed UTF-8.
bool isUtf8(std::string_view bytes);

// A native path as display text, without losing anything: paths are bytes on Linux, and a name
// copied from Windows is often GBK. UTF-8 stays as it is; otherwise GBK is decoded where every
// byte is GBK; otherwise each byte that is not UTF-8, and each backslash, is written as \xNN.
std::string displayPath(std::string_view native);

// The text of a fixed field: the bytes up to the first NUL, never past the field's end.
std::string fieldText(const char* field, std::size_t size);

template <std::size_t N>
std::string fieldText(const char (&field)[N]) {
    return fieldText(field, N);
}

// Stores bytes into a fixed field, NUL-filling the rest. Fails (and leaves the field alone)
// when the text does not fit with its terminating NUL.
bool setField(char* field, std::size_t size, std::string_view bytes);

template <std::size_t N>
bool setField(char (&field)[N], std::string_view bytes) {
    return setField(field, N, bytes);
}

// Makes sure a field read from outside ends inside itself.
void terminateField(char* field, std::size_t size);

template <std::size_t N>
void terminateField(char (&field)[N]) {
    terminateField(field, N);
}

// Strips white space (space, tab, CR, LF, VT, FF) at both ends.
std::string_view trim(std::string_view s);

// printf-style formatting into a std::string.
std::string format(const char* fmt, ...)
#if defined(__MINGW32__)
    __attribute__((format(gnu_printf, 1, 2)))  // MinGW's C99 printf, not the old system one
#elif defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

}  // namespace text

}  // namespace fendal::platform
