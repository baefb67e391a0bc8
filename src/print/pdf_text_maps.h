#pragma once
// The text maps of a written PDF. Each embedded font carries a map (ToUnicode) from its glyph
// codes to the text they stand for; search, copy and text extraction read it. Qt's PDF writer
// makes that map from the font alone, so it can name another character than the one drawn.
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "print/drawn_text.h"

namespace fendal::print {

// Glyph code -> the text it reads as.
using TextMap = std::map<uint32_t, std::u32string>;

// The entries of a ToUnicode map (bfchar and bfrange sections). False when it is not one.
// `asDeclared` tells whether every section holds as many entries as its count says.
bool parseTextMap(std::string_view cmap, TextMap& out, bool* asDeclared = nullptr);
// A ToUnicode map for two-byte glyph codes holding `map`.
std::string writeTextMap(const TextMap& map);

// Makes every glyph of every font of the PDF at `path` read as `drawn` says. Changed maps are
// appended to the file as an update, so pages and fonts stay byte for byte as written; when no
// map changes nothing is written. False with `error` when the file cannot be read or written
// or is not laid out as a PDF with cross-reference tables.
bool correctPdfTextMaps(const std::string& path, const DrawnText& drawn, std::string& error);

}  // namespace fendal::print
