#include "print/drawn_text.h"

namespace fendal::print {

namespace {

// Radicals and compatibility ideographs are drawn far less often than the ideographs they
// stand for; when both were drawn as often with one glyph, the ideograph is the likelier text.
bool isVariantForm(char32_t c) {
    return (c >= 0x2E80 && c <= 0x2FDF) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0x2F800 && c <= 0x2FA1F);
}

bool better(char32_t c, uint64_t times, char32_t best, uint64_t bestTimes) {
    if (times != bestTimes) return times > bestTimes;
    return isVariantForm(best) && !isVariantForm(c);
}

}  // namespace

void DrawnText::add(const std::string& font, char32_t readAs, char32_t drawn, uint64_t times) {
    fonts_[font][readAs][drawn] += times;
}

char32_t DrawnText::textFor(const std::string& font, char32_t readAs) const {
    const auto f = fonts_.find(font);
    if (f == fonts_.end()) return readAs;
    const auto uses = f->second.find(readAs);
    if (uses == f->second.end()) return readAs;
    char32_t best = 0;
    uint64_t bestTimes = 0;
    for (const auto& [drawn, times] : uses->second) {
        if (best == 0 || better(drawn, times, best, bestTimes)) {
            best = drawn;
            bestTimes = times;
        }
    }
    return best;
}

}  // namespace fendal::print
