#include "print/settings_preview.h"

#include "platform/text.h"
#include "print/print_table.h"

namespace fendal::print {

namespace {

constexpr Rgb kDesk{202, 198, 183};
constexpr Rgb kShadow{132, 128, 113};
constexpr Rgb kGrey{150, 150, 150};
constexpr Rgb kWarning{255, 0, 0};

bool hasText(const std::string& gbk) { return !platform::text::trim(gbk).empty(); }

// The centred page number, red when it would collide with the band's text.
void drawCentredNumber(PrintCanvas& canvas, const std::string& number, const CanvasRect& rect, unsigned valign,
                       bool collides) {
    if (!collides) {
        canvas.drawText(number, rect, kAlignHCenter | valign);
        return;
    }
    canvas.setTextColor(kWarning);
    canvas.setTextBackgroundOpaque(false);
    canvas.drawText(number, rect, kAlignHCenter | valign);
    canvas.setTextColor(kGrey);
    canvas.setTextBackgroundOpaque(true);
}

// One band, as on the printed page: its rule, its centred text, and the page number at the
// left, centre or right when its position is one of this band's three (firstPosition, +1, +2).
void drawBand(PrintCanvas& canvas, const PrintSettings& s, int ruleY, const CanvasRect& band, unsigned valign,
              bool printText, const std::string& gbkText, int32_t firstPosition, const std::string& number) {
    canvas.setPen({kGrey, 1});
    canvas.drawLine({band.left, ruleY}, {band.right, ruleY});
    if (printText) canvas.drawText(platform::text::gbkToUtf8(gbkText), band, kAlignHCenter | valign);
    // Compared before subtracting: a stored position can be any int32.
    const int32_t position = s.pageNumberPosition;
    if (!s.printPageNumber || position < firstPosition || position > firstPosition + 2) return;
    if (position == firstPosition) canvas.drawText(number, band, kAlignLeft | valign);
    if (position == firstPosition + 2) canvas.drawText(number, band, kAlignRight | valign);
    if (position == firstPosition + 1) drawCentredNumber(canvas, number, band, valign, printText && hasText(gbkText));
}

}  // namespace

void drawSettingsPreview(PrintCanvas& canvas, const PrintSettings& s, const CanvasRect& frame) {
    const CanvasRect& R = frame;
    const CanvasRect P{R.left + 5, R.top + 5, R.right - 6, R.bottom - 6};
    canvas.save();

    canvas.setPen({kDesk, 1});
    canvas.drawRectangle(R, kDesk);
    canvas.setPen({kBlack, 1});
    canvas.drawRectangle(P, kWhite);
    canvas.setPen({kShadow, 1});
    canvas.drawLine({P.right, P.top + 2}, {P.right, P.bottom + 1});
    canvas.drawLine({P.left + 2, P.bottom}, {P.right + 1, P.bottom});
    canvas.drawLine({P.right + 1, P.top + 2}, {P.right + 1, P.bottom + 1});
    canvas.drawLine({P.left + 2, P.bottom + 1}, {P.right + 1, P.bottom + 1});

    canvas.setTextColor(kGrey);
    canvas.setTextBackgroundOpaque(true);
    canvas.setFont({"宋体", 4, 1});
    // The first page of the miniature: format 4 shows the start page as total and current.
    const std::string number = formatPageNumber(s, 1, 1);

    if (s.hasHeaderBand())
        drawBand(canvas, s, P.top + 15, {P.left + 15, P.top, P.right - 15, P.top + 14}, kAlignBottom, s.printHeader,
                 s.headerText, kTopLeft, number);
    if (s.hasFooterBand())
        drawBand(canvas, s, P.bottom - 15, {P.left + 15, P.bottom - 13, P.right - 15, P.bottom}, kAlignTop,
                 s.printFooter, s.footerText, kBottomLeft, number);

    canvas.drawText(kPrintTitle, {P.left + 15, P.top + 22, P.right - 15, P.bottom}, kAlignHCenter | kAlignTop);
    canvas.drawText(kPreviewSamplePath, {P.left + 15, P.top + 32, P.right - 15, P.bottom}, kAlignLeft | kAlignTop);

    // Sample table, 3 rows of 5 cells, drawn with whichever pen was selected last.
    const CanvasRect G{P.left + 15, P.top + 37, P.right - 15, P.top + 52};
    const int gw = G.right - G.left;
    const int gh = G.bottom - G.top;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 5; ++j) {
            const int left = G.left + gw * j / 6;
            const int top = G.top + gh * i / 3;
            const int right = left + (j == 4 ? gw / 3 : gw / 6);
            const int bottom = top + gh / 3;
            canvas.drawLine({left, top}, {right, top});
            canvas.drawLine({right, top}, {right, bottom});
            canvas.drawLine({right, bottom}, {left, bottom});
            canvas.drawLine({left, bottom}, {left, top});
        }
    }
    canvas.restore();
}

}  // namespace fendal::print
