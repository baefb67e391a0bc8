#include "print/qpainter_canvas.h"

#include <QFontDatabase>
#include <QTextLayout>
#include <QHash>
#include <QPaintDevice>
#include <QPainter>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "print/pdf_text_recorder.h"

namespace fendal::print {

namespace {

QColor toQColor(Rgb c) { return QColor(c.r, c.g, c.b); }

// The faces the printed page asks for, with their other names and the installed CJK fonts of
// the same style that stand in for them.
QStringList candidatesFor(const QString& face) {
    if (face == QStringLiteral("黑体"))
        return {face, "SimHei", "Noto Sans CJK SC", "Source Han Sans SC", "WenQuanYi Zen Hei"};
    if (face == QStringLiteral("宋体"))
        return {face,
                "SimSun",
                "NSimSun",
                "Noto Serif CJK SC",
                "Source Han Serif SC",
                "AR PL UMing CN",
                "Noto Sans CJK SC",
                "WenQuanYi Zen Hei"};
    return {face};
}

}  // namespace

QPainterCanvas::QPainterCanvas(QPainter& painter, double scaleX, double scaleY)
    : painter_(painter), sx_(scaleX), sy_(scaleY) {
    state_.pen = QPen(Qt::black, 0);
    state_.textColor = Qt::black;
    painter_.setBackground(Qt::white);
    painter_.setBackgroundMode(Qt::TransparentMode);
}

QPainterCanvas QPainterCanvas::twips(QPainter& painter, const QPaintDevice& device) {
    return QPainterCanvas(painter, device.logicalDpiX() / 1440.0, -device.logicalDpiY() / 1440.0);
}

QString QPainterCanvas::familyFor(const std::string& face) {
    static QHash<QString, QString> resolved;
    const QString name = QString::fromStdString(face);
    auto it = resolved.constFind(name);
    if (it != resolved.constEnd()) return *it;
    QString family = name;
    for (const QString& candidate : candidatesFor(name)) {
        if (QFontDatabase::hasFamily(candidate)) {
            family = candidate;
            break;
        }
    }
    resolved.insert(name, family);
    return family;
}

void QPainterCanvas::save() { saved_.push_back(state_); }

void QPainterCanvas::restore() {
    if (saved_.empty()) return;
    const State previous = saved_.back();
    saved_.pop_back();
    if (!previous.font.face.empty() && !(previous.font == state_.font)) setFont(previous.font);
    state_ = previous;
    painter_.setBackgroundMode(state_.opaque ? Qt::OpaqueMode : Qt::TransparentMode);
    painterPen_ = PainterPen::Unknown;
}

void QPainterCanvas::setFont(const CanvasFont& font) {
    state_.font = font;
    QFont f(familyFor(font.face));
    const double pixels = std::abs(font.height * sy_);
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(pixels))));
    // Weights as given; the font matcher takes the nearest weight the family has.
    f.setWeight(static_cast<QFont::Weight>(std::clamp(font.weight, 1, 1000)));
    f.setHintingPreference(QFont::PreferNoHinting);
    // Plain glyphs as the font maps them: the CJK fonts' contextual substitutes (digits after
    // letters, ligatures) have no character of their own and would be lost from PDF text.
    f.setStyleStrategy(QFont::PreferNoShaping);
    painter_.setFont(f);
}

void QPainterCanvas::setPen(const CanvasPen& pen) {
    state_.pen = QPen(toQColor(pen.color), pen.width * std::abs(sx_), Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
    painterPen_ = PainterPen::Unknown;
}

void QPainterCanvas::setTextColor(Rgb color) {
    state_.textColor = toQColor(color);
    painterPen_ = PainterPen::Unknown;
}

void QPainterCanvas::setTextBackgroundOpaque(bool opaque) {
    state_.opaque = opaque;
    painter_.setBackgroundMode(opaque ? Qt::OpaqueMode : Qt::TransparentMode);
}

void QPainterCanvas::useLinePen() {
    if (painterPen_ == PainterPen::Line) return;
    painter_.setPen(state_.pen);
    painter_.setBrush(Qt::NoBrush);
    painterPen_ = PainterPen::Line;
}

void QPainterCanvas::useTextPen() {
    if (painterPen_ == PainterPen::Text) return;
    painter_.setPen(state_.textColor);
    painterPen_ = PainterPen::Text;
}

void QPainterCanvas::drawLine(CanvasPoint from, CanvasPoint to) {
    useLinePen();
    painter_.drawLine(map(from), map(to));
}

void QPainterCanvas::drawRectangle(const CanvasRect& rect, Rgb fill) {
    useLinePen();
    // The outline stays inside the rectangle, as the right and bottom edges are exclusive.
    const QRectF r = QRectF(map({rect.left, rect.top}), map({rect.right, rect.bottom})).normalized();
    painter_.setBrush(toQColor(fill));
    painter_.drawRect(r.adjusted(0, 0, -1, -1));
    painter_.setBrush(Qt::NoBrush);
}

// The page's rectangles place a line of the font's character height at their top or bottom.
// Qt places the line box there instead, which in CJK fonts (and in any line that falls back to
// one) is far taller than the character height, so top-aligned text would hang down onto the
// next rule. The rectangle is moved so that the character height, shared between ascent and
// descent as the line box shares them, meets the rectangle's edge.
QRectF QPainterCanvas::placeEmBox(QRectF r, const QString& text, unsigned align) const {
    const double em = painter_.font().pixelSize();
    QTextLayout layout(text, painter_.font(), painter_.device());
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    const double ascent = line.ascent(), descent = line.descent();
    if (em <= 0 || ascent + descent <= em) return r;
    const double shrink = 1 - em / (ascent + descent);
    if (align & kAlignBottom)
        r.setBottom(r.bottom() + descent * shrink);
    else
        r.setTop(r.top() - ascent * shrink);
    return r;
}

void QPainterCanvas::drawText(const std::string& utf8, const CanvasRect& rect, unsigned align) {
    if (utf8.empty()) return;
    useTextPen();
    int flags = Qt::TextSingleLine;
    flags |= (align & kAlignRight) ? Qt::AlignRight : (align & kAlignHCenter) ? Qt::AlignHCenter : Qt::AlignLeft;
    flags |= (align & kAlignBottom) ? Qt::AlignBottom : (align & kAlignVCenter) ? Qt::AlignVCenter : Qt::AlignTop;
    QRectF r = QRectF(map({rect.left, rect.top}), map({rect.right, rect.bottom})).normalized();
    const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    if (!(align & kAlignVCenter)) r = placeEmBox(r, text, align);
    if (recorder_) recorder_->record(painter_.font(), text);
    painter_.drawText(r, flags, text);
}

}  // namespace fendal::print
