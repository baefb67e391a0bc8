#pragma once
// The token level of PDF text: names, numbers, strings, dictionaries and arrays, enough to read
// the dictionaries and maps of a written PDF.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fendal::print {

namespace pdf {

struct Token {
    enum Kind { End, Number, Name, Hex, Literal, Keyword, DictOpen, DictClose, ArrayOpen, ArrayClose };
    Kind kind = End;
    std::string_view text;  // as written; a name with its slash, a hex string without its brackets
};

class Lexer {
public:
    explicit Lexer(std::string_view s, std::size_t at = 0) : s_(s), at_(at) {}
    Token next();
    std::size_t position() const { return at_; }

private:
    void skipSpaceAndComments();
    std::string_view s_;
    std::size_t at_;
};

struct DictEntry {
    std::string_view key;    // with its slash
    std::string_view value;  // as written: "/Name", "12 0 R", "<< ... >>"
};

// The entries of the dictionary that `s` starts with (its own, not those of nested ones);
// nullopt when `s` does not start with a whole dictionary.
std::optional<std::vector<DictEntry>> dictEntries(std::string_view s);
std::optional<std::string_view> dictValue(std::string_view s, std::string_view key);
// Where the dictionary that `s` starts with ends; npos when it does not.
std::size_t dictEnd(std::string_view s);

// The object number of a reference "n g R".
std::optional<long long> reference(std::string_view value);
std::optional<long long> number(std::string_view value);

// Bytes of a hex string's digits; nullopt on a character that is not a hex digit.
std::optional<std::string> hexBytes(std::string_view digits);

}  // namespace pdf

}  // namespace fendal::print
