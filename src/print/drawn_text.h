#pragma once
// What a PDF job drew with each glyph of its fonts, so that the PDF's text can say it.
//
// The PDF writer reads every embedded glyph back as the lowest code point its font maps to that
// glyph. Where a font gives several characters one glyph (a CJK radical and its ideograph, the
// tab and the space), that reading can be another character than the one drawn.
#include <cstdint>
#include <map>
#include <string>

namespace fendal::print {

class DrawnText {
public:
    // `drawn` was drawn `times` times in `font` (its PostScript name) with the glyph that the
    // writer reads as `readAs`.
    void add(const std::string& font, char32_t readAs, char32_t drawn, uint64_t times = 1);

    // What a glyph of `font` that the writer reads as `readAs` stands for: the character drawn
    // with it most often, or `readAs` when nothing was recorded. One glyph can name only one
    // character, so where a font draws two drawn characters alike the other one reads wrong.
    char32_t textFor(const std::string& font, char32_t readAs) const;

    bool empty() const { return fonts_.empty(); }

private:
    // font -> writer's reading -> drawn character -> times
    std::map<std::string, std::map<char32_t, std::map<char32_t, uint64_t>>> fonts_;
};

}  // namespace fendal::print
