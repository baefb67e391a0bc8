#include "listview/gfx_sort_key.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "platform/text.h"

namespace fendal::listview {

namespace gfx {

int64_t leadingInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    constexpr int64_t kLimit = std::numeric_limits<int64_t>::max() / 10 - 1;
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (value > kLimit) continue;  // saturate: more digits change nothing
        value = value * 10 + (text[i] - '0');
    }
    return negative ? -value : value;
}

int64_t currencyValue(std::string_view text) {
    std::string digits;
    digits.reserve(text.size());
    for (char c : text)
        if (c != '.') digits.push_back(c);
    return leadingInteger(digits);
}

int32_t leadingInt32(std::string_view text) {
    int64_t v = leadingInteger(text);
    return static_cast<int32_t>(
        std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

std::string storedTextKey(std::string_view utf8) {
    // ASCII is the same in both: no conversion for the common numbers and notes.
    if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return std::string(utf8);
    return platform::text::utf8ToGbk(utf8).value_or(std::string(utf8));
}

namespace {

template <typename Key>
void sortPermutation(std::vector<int>& rows, const std::vector<Key>& keys, bool ascending) {
    // (key, position) pairs sort in one contiguous array; the position breaks ties, so equal
    // keys keep their order in either direction.
    std::vector<std::pair<Key, int>> order(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) order[i] = {keys[i], static_cast<int>(i)};
    if (ascending)
        std::sort(order.begin(), order.end());
    else
        std::sort(order.begin(), order.end(), [](const auto& a, const auto& b) {
            return b.first < a.first || (!(a.first < b.first) && a.second < b.second);
        });
    std::vector<int> sorted(rows.size());
    for (std::size_t i = 0; i < order.size(); ++i) sorted[i] = rows[order[i].second];
    rows = std::move(sorted);
}

}  // namespace

void sortByKeys(std::vector<int>& rows, const std::vector<int64_t>& keys, bool ascending) {
    sortPermutation(rows, keys, ascending);
}

void sortByKeys(std::vector<int>& rows, const std::vector<std::string>& keys, bool ascending) {
    sortPermutation(rows, keys, ascending);
}

}  // namespace gfx

}  // namespace fendal::listview
