#include "print/pdf_text_recorder.h"

#include <QByteArray>
#include <QGlyphRun>
#include <QRawFont>
#include <QTextLayout>
#include <string>
#include <string_view>

#include "print/sfnt_names.h"

namespace fendal::print {

namespace {

// One face as the PDF writer sees it: its name in the PDF, and for every glyph the lowest
// code point of the Basic Multilingual Plane the face maps to it, which is what the writer
// reads the glyph as (0: none, the writer gives the glyph no text).
struct FaceReading {
    QRawFont face;
    std::string name;
    std::vector<char32_t> readAs;
};

FaceReading readFace(const QRawFont& face) {
    const QByteArray names = face.fontTable("name");
    FaceReading r{
        face, postScriptName(std::string_view(names.constData(), static_cast<std::size_t>(names.size()))), {}};
    // The PDF writer names fonts by their PostScript name with spaces as underscores.
    for (char& c : r.name)
        if (c == ' ') c = '_';
    QString all;
    std::vector<char32_t> codes;
    for (char32_t u = 0; u <= 0xFFFF; ++u) {
        if (u >= 0xD800 && u <= 0xDFFF) continue;  // not characters; alone they map to nothing
        all.append(QChar(static_cast<char16_t>(u)));
        codes.push_back(u);
    }
    QList<quint32> glyphs = face.glyphIndexesForString(all);
    for (qsizetype i = 0; i < glyphs.size() && i < static_cast<qsizetype>(codes.size()); ++i) {
        const quint32 g = glyphs[i];
        if (g == 0) continue;
        if (g >= r.readAs.size()) r.readAs.resize(g + 1, 0);
        if (r.readAs[g] == 0) r.readAs[g] = codes[static_cast<std::size_t>(i)];
    }
    return r;
}

quint32 glyphOf(const QRawFont& face, char32_t c) {
    const QList<quint32> g = face.glyphIndexesForString(QString::fromUcs4(&c, 1));
    return g.isEmpty() ? 0 : g.first();
}

// The face Qt draws `c` with when the font itself lacks it.
QRawFont fallbackFace(const QFont& font, char32_t c) {
    QTextLayout layout(QString::fromUcs4(&c, 1), font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    const QList<QGlyphRun> runs = layout.glyphRuns();
    return runs.isEmpty() ? QRawFont() : runs.first().rawFont();
}

}  // namespace

void PdfTextRecorder::record(const QFont& font, const QString& text) {
    FontUse* use = nullptr;
    for (auto& u : uses_)
        if (u.font == font) use = &u;
    if (!use) use = &uses_.emplace_back(FontUse{font, {}});
    for (char32_t c : text.toUcs4()) ++use->times[c];
}

DrawnText PdfTextRecorder::drawnText() const {
    DrawnText drawn;
    std::vector<FaceReading> faces;
    auto readingOf = [&faces](const QRawFont& face) -> const FaceReading& {
        for (const auto& f : faces)
            if (f.face == face) return f;
        return faces.emplace_back(readFace(face));
    };
    for (const auto& use : uses_) {
        const QRawFont primary = QRawFont::fromFont(use.font);
        for (const auto& [c, times] : use.times) {
            const QRawFont face = primary.supportsCharacter(c) ? primary : fallbackFace(use.font, c);
            if (!face.isValid()) continue;
            const FaceReading& reading = readingOf(face);
            const quint32 g = glyphOf(face, c);
            if (g == 0 || g >= reading.readAs.size() || reading.readAs[g] == 0) continue;
            drawn.add(reading.name, reading.readAs[g], c, times);
        }
    }
    return drawn;
}

}  // namespace fendal::print
