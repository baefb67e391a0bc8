#include "print/sfnt_names.h"

#include <cstdint>

#include "platform/byte_order.h"

namespace fendal::print {

namespace {

uint16_t u16(std::string_view s, std::size_t at) {
    return platform::loadBe16(reinterpret_cast<const unsigned char*>(s.data() + at));
}

}  // namespace

std::string postScriptName(std::string_view table) {
    if (table.size() < 6) return {};
    const std::size_t count = u16(table, 2);
    const std::size_t strings = u16(table, 4);
    // Windows Unicode in US English first, then any Windows entry, then Macintosh Roman.
    int bestRank = 0;
    std::string best;
    for (std::size_t i = 0; i < count && 6 + 12 * (i + 1) <= table.size(); ++i) {
        const std::size_t r = 6 + 12 * i;
        const uint16_t platform = u16(table, r), encoding = u16(table, r + 2), language = u16(table, r + 4);
        const std::size_t length = u16(table, r + 8), offset = strings + u16(table, r + 10);
        if (u16(table, r + 6) != 6 || length == 0 || offset + length > table.size()) continue;
        const int rank = platform == 3                    ? (encoding == 1 && language == 0x409 ? 3 : 2)
                         : platform == 1 && encoding == 0 ? 1
                                                          : 0;
        if (rank <= bestRank) continue;
        const std::string_view raw = table.substr(offset, length);
        std::string name;
        if (platform == 3) {
            for (std::size_t k = 0; k + 1 < raw.size(); k += 2) name.push_back(static_cast<char>(u16(raw, k) & 0x7F));
        } else {
            for (char c : raw) name.push_back(static_cast<char>(c & 0x7F));
        }
        bestRank = rank;
        best = name;
    }
    return best;
}

}  // namespace fendal::print
