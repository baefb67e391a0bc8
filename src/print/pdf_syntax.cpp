#include "print/pdf_syntax.h"

#include <charconv>

namespace fendal::print {

namespace pdf {
namespace {

bool isSpace(char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == '\0'; }
bool isDelimiter(char c) {
    return c == '(' || c == ')' || c == '<' || c == '>' || c == '[' || c == ']' || c == '{' || c == '}' || c == '/' ||
           c == '%';
}
bool isRegular(char c) { return !isSpace(c) && !isDelimiter(c); }

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Skips the rest of the object that starts with `first`; false when the text ends inside it.
bool skipObject(Lexer& lex, const Token& first) {
    if (first.kind == Token::End || first.kind == Token::DictClose || first.kind == Token::ArrayClose) return false;
    if (first.kind != Token::DictOpen && first.kind != Token::ArrayOpen) return true;
    int depth = 1;
    while (depth > 0) {
        const Token t = lex.next();
        if (t.kind == Token::End) return false;
        if (t.kind == Token::DictOpen || t.kind == Token::ArrayOpen) ++depth;
        if (t.kind == Token::DictClose || t.kind == Token::ArrayClose) --depth;
    }
    return true;
}

}  // namespace

void Lexer::skipSpaceAndComments() {
    while (at_ < s_.size()) {
        if (isSpace(s_[at_])) {
            ++at_;
        } else if (s_[at_] == '%') {
            while (at_ < s_.size() && s_[at_] != '\n' && s_[at_] != '\r') ++at_;
        } else {
            break;
        }
    }
}

Token Lexer::next() {
    skipSpaceAndComments();
    if (at_ >= s_.size()) return {};
    const std::size_t start = at_;
    const char c = s_[at_];
    auto token = [&](Token::Kind kind, std::size_t from, std::size_t to) {
        return Token{kind, s_.substr(from, to - from)};
    };
    if (c == '<' && at_ + 1 < s_.size() && s_[at_ + 1] == '<') {
        at_ += 2;
        return token(Token::DictOpen, start, at_);
    }
    if (c == '>' && at_ + 1 < s_.size() && s_[at_ + 1] == '>') {
        at_ += 2;
        return token(Token::DictClose, start, at_);
    }
    if (c == '<') {
        const std::size_t close = s_.find('>', at_);
        if (close == std::string_view::npos) {
            at_ = s_.size();
            return {};
        }
        at_ = close + 1;
        return token(Token::Hex, start + 1, close);
    }
    if (c == '[' || c == ']') {
        ++at_;
        return token(c == '[' ? Token::ArrayOpen : Token::ArrayClose, start, at_);
    }
    if (c == '(') {
        int depth = 0;
        while (at_ < s_.size()) {
            const char d = s_[at_++];
            if (d == '\\') {
                ++at_;
            } else if (d == '(') {
                ++depth;
            } else if (d == ')' && --depth == 0) {
                return token(Token::Literal, start, at_);
            }
        }
        return {};
    }
    if (c == '/') {
        ++at_;
        while (at_ < s_.size() && isRegular(s_[at_])) ++at_;
        return token(Token::Name, start, at_);
    }
    if (!isRegular(c)) {  // a stray '>', ')', '{' or '}'
        ++at_;
        return token(Token::Keyword, start, at_);
    }
    while (at_ < s_.size() && isRegular(s_[at_])) ++at_;
    const std::string_view word = s_.substr(start, at_ - start);
    const bool numeric = word.find_first_not_of("+-.0123456789") == std::string_view::npos;
    return token(numeric ? Token::Number : Token::Keyword, start, at_);
}

std::optional<std::vector<DictEntry>> dictEntries(std::string_view s) {
    Lexer lex(s);
    if (lex.next().kind != Token::DictOpen) return std::nullopt;
    std::vector<DictEntry> entries;
    for (;;) {
        const Token k = lex.next();
        if (k.kind == Token::DictClose) return entries;
        if (k.kind != Token::Name) return std::nullopt;
        const Token first = lex.next();
        // A hex string's text starts after its bracket.
        const std::size_t from = static_cast<std::size_t>(first.text.data() - s.data()) - (first.kind == Token::Hex);
        if (first.kind == Token::Number) {
            // "n g R" is one value
            const std::size_t after = lex.position();
            const Token g = lex.next();
            const Token r = lex.next();
            if (!(g.kind == Token::Number && r.kind == Token::Keyword && r.text == "R")) lex = Lexer(s, after);
        } else if (!skipObject(lex, first)) {
            return std::nullopt;
        }
        entries.push_back({k.text, s.substr(from, lex.position() - from)});
    }
}

std::optional<std::string_view> dictValue(std::string_view s, std::string_view key) {
    const auto entries = dictEntries(s);
    if (!entries) return std::nullopt;
    for (const auto& e : *entries)
        if (e.key == key) return e.value;
    return std::nullopt;
}

std::size_t dictEnd(std::string_view s) {
    Lexer lex(s);
    const Token first = lex.next();
    if (first.kind != Token::DictOpen || !skipObject(lex, first)) return std::string_view::npos;
    return lex.position();
}

std::optional<long long> number(std::string_view value) {
    long long n = 0;
    const auto r = std::from_chars(value.data(), value.data() + value.size(), n);
    if (r.ec != std::errc() || r.ptr != value.data() + value.size()) return std::nullopt;
    return n;
}

std::optional<long long> reference(std::string_view value) {
    Lexer lex(value);
    const Token n = lex.next();
    const Token g = lex.next();
    const Token r = lex.next();
    if (n.kind != Token::Number || g.kind != Token::Number || r.kind != Token::Keyword || r.text != "R" ||
        lex.next().kind != Token::End)
        return std::nullopt;
    return number(n.text);
}

std::optional<std::string> hexBytes(std::string_view digits) {
    std::string out;
    int high = -1;
    for (char c : digits) {
        if (isSpace(c)) continue;
        const int d = hexDigit(c);
        if (d < 0) return std::nullopt;
        if (high < 0) {
            high = d;
        } else {
            out.push_back(static_cast<char>(high << 4 | d));
            high = -1;
        }
    }
    if (high >= 0) out.push_back(static_cast<char>(high << 4));  // an odd last digit is followed by 0
    return out;
}

}  // namespace pdf

}  // namespace fendal::print
