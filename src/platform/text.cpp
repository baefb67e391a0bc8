#include "platform/text.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

namespace fendal::platform {

namespace text {

namespace {

// Length of the well-formed UTF-8 sequence at the start of `s`, 0 when there is none
// (no overlong forms, no surrogates, nothing above U+10FFFF).
std::size_t utf8SequenceLength(std::string_view s) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) return 1;
    std::size_t len;
    unsigned char lo = 0x80, hi = 0xBF;  // range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF)
        len = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) {
        len = 3;
        if (lead == 0xE0) lo = 0xA0;
        if (lead == 0xED) hi = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        len = 4;
        if (lead == 0xF0) lo = 0x90;
        if (lead == 0xF4) hi = 0x8F;
    } else {
        return 0;
    }
    if (s.size() < len || byte(1) < lo || byte(1) > hi) return 0;
    for (std::size_t i = 2; i < len; ++i)
        if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
    return len;
}

}  // namespace

bool isUtf8(std::string_view bytes) {
    while (!bytes.empty()) {
        const std::size_t n = utf8SequenceLength(bytes);
        if (n == 0) return false;
        bytes.remove_prefix(n);
    }
    return true;
}

std::string displayPath(std::string_view native) {
    if (isUtf8(native)) return std::string(native);
    if (auto decoded = gbkToUtf8Exact(native)) return *decoded;
    std::string out;
    while (!native.empty()) {
        std::size_t n = utf8SequenceLength(native);
        if (n == 0 || native[0] == '\\') {
            out += format("\\x%02X", static_cast<unsigned char>(native[0]));
            n = 1;
        } else {
            out.append(native.substr(0, n));
        }
        native.remove_prefix(n);
    }
    return out;
}

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

}  // namespace fendal::platform
