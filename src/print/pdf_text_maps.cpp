#include "print/pdf_text_maps.h"

#include <vector>

#include "platform/text.h"
#include "print/pdf_file.h"
#include "print/pdf_syntax.h"

namespace fendal::print {

namespace {

constexpr std::size_t kEntriesPerSection = 100;  // the most a CMap section may hold
constexpr long long kMaxFontObject = 4096;       // font dictionaries are small; pages' contents are not

uint32_t code(const std::string& bytes) {
    uint32_t c = 0;
    for (unsigned char b : bytes) c = c << 8 | b;
    return c;
}

std::u32string fromUtf16(const std::string& bytes) {
    std::u32string out;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const char32_t unit = static_cast<unsigned char>(bytes[i]) << 8 | static_cast<unsigned char>(bytes[i + 1]);
        if (unit >= 0xDC00 && unit <= 0xDFFF && !out.empty() && out.back() >= 0xD800 && out.back() <= 0xDBFF)
            out.back() = 0x10000 + ((out.back() - 0xD800) << 10) + (unit - 0xDC00);
        else
            out.push_back(unit);
    }
    return out;
}

std::string utf16Hex(const std::u32string& text) {
    std::string out;
    for (char32_t c : text) {
        if (c >= 0x10000 && c <= 0x10FFFF) {
            c -= 0x10000;
            out += platform::text::format("%04X%04X", static_cast<unsigned>(0xD800 + (c >> 10)),
                                          static_cast<unsigned>(0xDC00 + (c & 0x3FF)));
        } else {
            out += platform::text::format("%04X", static_cast<unsigned>(c & 0xFFFF));
        }
    }
    return out;
}

// The text of the next code of a range: its last UTF-16 unit counts on.
std::string nextInRange(std::string bytes) {
    for (std::size_t i = bytes.size(); i-- > 0;)
        if (++bytes[i] != 0) break;
    return bytes;
}

// A font's name as its text map is keyed: without a subset tag "ABCDEF+".
std::string fontName(std::string_view baseFont) {
    std::string name(baseFont.substr(baseFont.empty() ? 0 : 1));
    const auto plus = name.find('+');
    if (plus == 6 && name.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ") == 6) name.erase(0, 7);
    return name;
}

// One entry line of a bfchar section ("<code> <text>") or a bfrange section ("<low> <high> <text>"
// or "<low> <high> [<text> ...]").
bool parseEntry(std::string_view line, bool range, TextMap& out) {
    using pdf::Token;
    pdf::Lexer lex(line);
    const Token lowToken = lex.next();
    const auto low = lowToken.kind == Token::Hex ? pdf::hexBytes(lowToken.text) : std::nullopt;
    if (!low) return false;
    if (!range) {
        const Token dst = lex.next();
        const auto bytes = dst.kind == Token::Hex ? pdf::hexBytes(dst.text) : std::nullopt;
        if (!bytes) return false;
        out[code(*low)] = fromUtf16(*bytes);
        return lex.next().kind == Token::End;
    }
    const Token highToken = lex.next();
    const auto high = highToken.kind == Token::Hex ? pdf::hexBytes(highToken.text) : std::nullopt;
    if (!high || code(*high) < code(*low) || code(*high) - code(*low) > 0xFFFF) return false;
    const Token dst = lex.next();
    if (dst.kind == Token::Hex) {
        auto bytes = pdf::hexBytes(dst.text);
        if (!bytes) return false;
        for (uint32_t c = code(*low);; ++c) {
            out[c] = fromUtf16(*bytes);
            if (c == code(*high)) break;
            bytes = nextInRange(*bytes);
        }
    } else if (dst.kind == Token::ArrayOpen) {
        uint32_t c = code(*low);
        for (Token d = lex.next(); d.kind != Token::ArrayClose; d = lex.next()) {
            const auto bytes = d.kind == Token::Hex ? pdf::hexBytes(d.text) : std::nullopt;
            if (!bytes) return false;
            if (c <= code(*high)) out[c++] = fromUtf16(*bytes);
        }
    } else {
        return false;
    }
    return lex.next().kind == Token::End;
}

// Reads the sections in order: "n beginbfrange", a line break, n entry lines, "endbfrange".
// With `stalePrefix`, every section's entries are taken to start after as many bytes as all
// earlier sections' entries took: Qt's writer reuses one buffer for the sections without
// going back to its start, so stale bytes stand in front of the entries of every later section.
bool parseSections(std::string_view cmap, bool stalePrefix, TextMap& out, bool& skippedBytes) {
    std::size_t at = 0;
    std::size_t prefix = 0;
    bool sawMap = false;
    for (;;) {
        const std::size_t chars = cmap.find("beginbfchar", at);
        const std::size_t ranges = cmap.find("beginbfrange", at);
        const std::size_t begin = std::min(chars, ranges);
        if (begin == std::string_view::npos) return sawMap;
        const bool range = begin == ranges;
        const std::size_t lineStart = cmap.rfind('\n', begin);
        const auto declared = pdf::number(
            pdf::Lexer(cmap.substr(0, begin), lineStart == std::string_view::npos ? 0 : lineStart).next().text);
        if (!declared || *declared < 0) return false;
        std::size_t body = begin + (range ? 12 : 11);
        if (cmap.compare(body, 2, "\r\n") == 0)
            body += 2;
        else if (cmap.compare(body, 1, "\n") == 0)
            body += 1;
        const std::size_t entries = body + (stalePrefix ? prefix : 0);
        if (entries > cmap.size()) return false;
        skippedBytes = skippedBytes || entries > body;
        std::size_t pos = entries;
        for (long long k = 0; k < *declared; ++k) {
            while (pos < cmap.size() && (cmap[pos] == ' ' || cmap[pos] == '\r' || cmap[pos] == '\n')) ++pos;
            std::size_t eol = cmap.find('\n', pos);
            if (eol == std::string_view::npos) eol = cmap.size();
            if (!parseEntry(cmap.substr(pos, eol - pos), range, out)) return false;
            pos = eol + 1;
        }
        pdf::Lexer rest(cmap, std::min(pos, cmap.size()));
        if (rest.next().text != (range ? "endbfrange" : "endbfchar")) return false;
        prefix += std::min(pos, cmap.size()) - entries;
        at = rest.position();
        sawMap = true;
    }
}

}  // namespace

bool parseTextMap(std::string_view cmap, TextMap& out, bool* asDeclared) {
    bool skipped = false;
    TextMap entries;
    if (!parseSections(cmap, false, entries, skipped)) {
        entries.clear();
        if (!parseSections(cmap, true, entries, skipped)) return false;
    }
    out.insert(entries.begin(), entries.end());
    if (asDeclared) *asDeclared = !skipped;
    return true;
}

std::string writeTextMap(const TextMap& map) {
    std::string out =
        "/CIDInit /ProcSet findresource begin\n"
        "12 dict begin\n"
        "begincmap\n"
        "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
        "/CMapName /Adobe-Identity-UCS def\n"
        "/CMapType 2 def\n"
        "1 begincodespacerange\n"
        "<0000> <FFFF>\n"
        "endcodespacerange\n";
    std::vector<std::pair<uint32_t, const std::u32string*>> entries;
    for (const auto& [c, text] : map)
        if (c <= 0xFFFF && !text.empty()) entries.emplace_back(c, &text);
    for (std::size_t at = 0; at < entries.size(); at += kEntriesPerSection) {
        const std::size_t n = std::min(kEntriesPerSection, entries.size() - at);
        out += platform::text::format("%zu beginbfchar\n", n);
        for (std::size_t k = at; k < at + n; ++k)
            out += platform::text::format("<%04X> <", static_cast<unsigned>(entries[k].first)) +
                   utf16Hex(*entries[k].second) + ">\n";
        out += "endbfchar\n";
    }
    out +=
        "endcmap\n"
        "CMapName currentdict /CMap defineresource pop\n"
        "end\n"
        "end\n";
    return out;
}

bool correctPdfTextMaps(const std::string& path, const DrawnText& drawn, std::string& error) {
    PdfFile file;
    if (!file.open(path, error)) return false;
    std::map<long long, std::string> updates;
    for (const PdfFile::Object& object : file.objects()) {
        const auto body = file.body(object, kMaxFontObject);
        const std::size_t start = body ? body->find("<<") : std::string::npos;
        if (start == std::string::npos) continue;
        const std::string_view dict = std::string_view(*body).substr(start);
        const auto subtype = pdf::dictValue(dict, "/Subtype");
        const auto baseFont = pdf::dictValue(dict, "/BaseFont");
        const auto toUnicode = pdf::dictValue(dict, "/ToUnicode");
        if (pdf::dictValue(dict, "/Type") != "/Font" || subtype != "/Type0" || !baseFont || !toUnicode) continue;
        const std::string font = fontName(*baseFont);

        const auto mapNumber = pdf::reference(*toUnicode);
        const PdfFile::Object* mapObject = mapNumber ? file.find(*mapNumber) : nullptr;
        const auto mapBody = mapObject ? file.body(*mapObject) : std::nullopt;
        const auto data = mapBody ? file.streamData(*mapBody) : std::nullopt;
        TextMap map;
        bool asDeclared = true;
        if (!data || !parseTextMap(*data, map, &asDeclared)) {
            error = path + ": the text map of font " + font + " cannot be read";
            return false;
        }
        bool changed = !asDeclared;
        for (auto& [c, text] : map) {
            if (text.size() != 1) continue;
            const char32_t meant = drawn.textFor(font, text[0]);
            if (meant != text[0]) {
                text = std::u32string(1, meant);
                changed = true;
            }
        }
        if (changed) {
            const std::string cmap = writeTextMap(map);
            updates[*mapNumber] = platform::text::format("<< /Length %zu >>\nstream\n", cmap.size()) + cmap +
                                  "\nendstream";
        }
    }
    return file.appendUpdate(updates, error);
}

}  // namespace fendal::print
