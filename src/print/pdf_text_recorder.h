#pragma once
// Keeps what a PDF job draws in which font, so that the written PDF's text maps can be put
// right afterwards (see pdf_text_maps.h).
#include <QFont>
#include <QString>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "print/drawn_text.h"

namespace fendal::print {

class PdfTextRecorder {
public:
    void record(const QFont& font, const QString& text);

    // What was drawn, by the PostScript names of the fonts that drew it (fallback fonts
    // included) and the glyph readings the PDF writer gives them.
    DrawnText drawnText() const;

private:
    struct FontUse {
        QFont font;
        std::unordered_map<char32_t, uint64_t> times;  // drawn character -> how often
    };
    std::vector<FontUse> uses_;
};

}  // namespace fendal::print
