#include "usblib/driver_libusb_ids.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <cstdlib>

namespace ql260 {
namespace {

constexpr char kListFileName[] = "ql260-devices";
constexpr char kSystemFolder[] = "/etc/fendal/";
// A list is a few lines; anything larger is not one.
constexpr std::size_t kMaxListFile = 64 * 1024;
constexpr uint8_t kDirectionIn = 0x80;

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

template <typename T>
bool parseWhole(std::string_view text, int base, T& value) {
    if (text.empty()) return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    return error == std::errc() && end == text.data() + text.size();
}

bool parseHexId(std::string_view text, uint16_t& value) { return text.size() <= 4 && parseWhole(text, 16, value); }

bool parseEndpoint(std::string_view text, uint8_t& address) {
    unsigned value = 0;
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    if (!(hex ? parseWhole(text.substr(2), 16, value) : parseWhole(text, 10, value))) return false;
    // Endpoint numbers 1..15 with the direction bit; endpoint 0 is the control pipe.
    if ((value & ~0x8Fu) != 0 || (value & 0x0F) == 0) return false;
    address = static_cast<uint8_t>(value);
    return true;
}

bool setEndpoint(std::string_view key, uint8_t address, PipeEndpoints& endpoints) {
    const bool in = (address & kDirectionIn) != 0;
    if (key == "read" && in)
        endpoints.read = address;
    else if (key == "interrupt" && in)
        endpoints.interrupt = address;
    else if (key == "write" && !in)
        endpoints.write = address;
    else if (key == "aux" && !in)
        endpoints.aux = address;
    else
        return false;
    return true;
}

// The whole of a small regular file; empty when there is none. Never waits on a FIFO or device.
std::string readListFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return {};
    std::string text;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && static_cast<std::size_t>(info.st_size) <= kMaxListFile) {
        text.resize(static_cast<std::size_t>(info.st_size));
        std::size_t got = 0;
        while (got < text.size()) {
            const ssize_t n = ::read(fd, text.data() + got, text.size() - got);
            if (n <= 0) break;
            got += static_cast<std::size_t>(n);
        }
        text.resize(got);
    }
    ::close(fd);
    return text;
}

std::string userConfigFolder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/') return std::string(config) + "/fendal/";
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return std::string(home) + "/.config/fendal/";
    return {};
}

void appendNew(std::vector<InstrumentId>& list, const std::vector<InstrumentId>& more) {
    for (const InstrumentId& id : more)
        if (!findInstrument(list, id.vendor, id.product)) list.push_back(id);
}

}  // namespace

std::optional<InstrumentId> parseInstrumentId(std::string_view entry) {
    entry = trimmed(entry);
    const std::size_t space = entry.find_first_of(" \t");
    const std::string_view ids = entry.substr(0, space);
    const std::size_t colon = ids.find(':');
    InstrumentId id;
    if (colon == std::string_view::npos || !parseHexId(ids.substr(0, colon), id.vendor) ||
        !parseHexId(ids.substr(colon + 1), id.product))
        return std::nullopt;
    std::string_view rest = space == std::string_view::npos ? std::string_view() : entry.substr(space);
    while (!(rest = trimmed(rest)).empty()) {
        const std::size_t end = rest.find_first_of(" \t");
        const std::string_view item = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end);
        const std::size_t equals = item.find('=');
        uint8_t address = 0;
        if (equals == std::string_view::npos || !parseEndpoint(item.substr(equals + 1), address) ||
            !setEndpoint(item.substr(0, equals), address, id.endpoints))
            return std::nullopt;
    }
    return id;
}

std::vector<InstrumentId> parseInstrumentList(std::string_view text, char separator) {
    std::vector<InstrumentId> list;
    while (!text.empty()) {
        const std::size_t end = text.find(separator);
        std::string_view entry = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        entry = trimmed(entry.substr(0, entry.find('#')));
        if (entry.empty()) continue;
        if (std::optional<InstrumentId> id = parseInstrumentId(entry)) appendNew(list, {*id});
    }
    return list;
}

std::vector<InstrumentId> configuredInstruments() {
    if (const char* ids = std::getenv("QL260_USB_IDS"); ids && *ids) return parseInstrumentList(ids, ',');
    std::vector<InstrumentId> list;
    // The user's entry for an id wins over the system's, and both over the built-in one.
    if (const std::string folder = userConfigFolder(); !folder.empty())
        list = parseInstrumentList(readListFile(folder + kListFileName), '\n');
    appendNew(list, parseInstrumentList(readListFile(std::string(kSystemFolder) + kListFileName), '\n'));
    appendNew(list, parseInstrumentList(QL260_BUILTIN_USB_IDS, ','));
    return list;
}

const InstrumentId* findInstrument(const std::vector<InstrumentId>& list, uint16_t vendor, uint16_t product) {
    for (const InstrumentId& id : list)
        if (id.vendor == vendor && id.product == product) return &id;
    return nullptr;
}

}  // namespace ql260
