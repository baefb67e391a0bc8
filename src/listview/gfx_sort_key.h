#pragma once
// Sort keys of list cells and the sort of a row permutation by precomputed keys.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fendal::listview {

namespace gfx {

// The text's leading decimal integer as the C library reads one: blanks skipped, optional
// sign, digits up to the first other character; 0 when there are none. Saturates instead of
// overflowing.
int64_t leadingInteger(std::string_view text);
// The same after every "." has been removed, so "1.234" counts as 1234.
int64_t currencyValue(std::string_view text);
// leadingInteger clamped to the int range, for record fields.
int32_t leadingInt32(std::string_view text);

// The key of a text column: the GBK bytes the text is kept in, compared byte by byte, so
// Chinese texts sort in the instrument's order (啊 before 一). A text that GBK cannot hold
// keeps its UTF-8 bytes.
std::string storedTextKey(std::string_view utf8);

// Reorders `rows` by keys[i] (the key of rows[i]); equal keys keep their order.
void sortByKeys(std::vector<int>& rows, const std::vector<int64_t>& keys, bool ascending);
void sortByKeys(std::vector<int>& rows, const std::vector<std::string>& keys, bool ascending);

}  // namespace gfx

}  // namespace fendal::listview
