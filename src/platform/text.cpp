#include "platform/text.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

namespace text {

std::string fieldText(const char* field, std::size_t size) {
    const void* nul = std::memchr(field, 0, size);
    std::size_t len = nul ? static_cast<const char*>(nul) - field : size;
    return std::string(field, len);
}

bool setField(char* field, std::size_t size, std::string_view bytes) {
    if (size == 0 || bytes.size() > size - 1) return false;
    std::memset(field, 0, size);
    std::memcpy(field, bytes.data(), bytes.size());
    return true;
}

void terminateField(char* field, std::size_t size) {
    if (size > 0) field[size - 1] = '\0';
}

std::string_view trim(std::string_view s) {
    const char* ws = " \t\r\n\v\f";
    auto b = s.find_first_not_of(ws);
    if (b == std::string_view::npos) return {};
    auto e = s.find_last_not_of(ws);
    return s.substr(b, e - b + 1);
}

std::string format(const char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    va_list copy;
    va_copy(copy, ap);
    int n = std::vsnprintf(nullptr, 0, fmt, copy);
    va_end(copy);
    std::string out;
    if (n > 0) {
        std::vector<char> buf(static_cast<std::size_t>(n) + 1);
        std::vsnprintf(buf.data(), buf.size(), fmt, ap);
        out.assign(buf.data(), static_cast<std::size_t>(n));
    }
    va_end(ap);
    return out;
}

}  // namespace text
