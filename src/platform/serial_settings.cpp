// The settings text of a serial line, "baud=2400 parity=N data=8 stop=1", read the same way on
// every system: Windows' own reader is more lenient under Wine than on Windows.
#include <cctype>
#include <string_view>

#include "platform/serial_device.h"

namespace fendal::platform {

namespace {

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool parseUnsigned(std::string_view s, uint32_t& value) {
    if (s.empty() || s.size() > 9) return false;
    uint32_t v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + static_cast<uint32_t>(c - '0');
    }
    value = v;
    return true;
}

}  // namespace

bool buildSerialState(const std::string& settings, SerialState& state) {
    SerialState next = state;
    std::string_view rest(settings);
    bool any = false;
    while (true) {
        while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
        if (rest.empty()) break;
        std::size_t end = rest.find_first_of(" \t");
        std::string_view item = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end);
        std::size_t eq = item.find('=');
        if (eq == std::string_view::npos) return false;
        const std::string key = lower(item.substr(0, eq));
        const std::string_view value = item.substr(eq + 1);
        uint32_t number = 0;
        if (key == "baud") {
            if (!parseUnsigned(value, number) || number == 0) return false;
            next.baudRate = number;
        } else if (key == "parity") {
            if (value.size() != 1) return false;
            const char p = static_cast<char>(std::toupper(static_cast<unsigned char>(value[0])));
            if (std::string_view("NEOMS").find(p) == std::string_view::npos) return false;
            next.parity = p;
        } else if (key == "data") {
            if (!parseUnsigned(value, number) || number < 5 || number > 8) return false;
            next.dataBits = static_cast<uint8_t>(number);
        } else if (key == "stop") {
            if (value == "1")
                next.stopBits = 0;
            else if (value == "1.5")
                next.stopBits = 1;
            else if (value == "2")
                next.stopBits = 2;
            else
                return false;
        } else {
            return false;
        }
        any = true;
    }
    if (!any) return false;
    if (next.stopBits == 1 && next.dataBits != 5) return false;
    if (next.stopBits == 2 && next.dataBits == 5) return false;
    state = next;
    return true;
}

}  // namespace fendal::platform
