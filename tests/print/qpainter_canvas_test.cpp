// Where the QPainter canvas puts text, measured on the ink of a rendered page.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <string>

#include "print/page_layout.h"
#include "print/qpainter_canvas.h"
#include "print/qt_app.h"

using namespace fendal;
using namespace fendal::print;

namespace {

constexpr int kDpi = 600;
const PageLayout kLayout;

// Ink rows of a text drawn into a layout rectangle, in layout units from the page top.
struct Ink {
    double top = 0, bottom = 0;
};

Ink inkOf(const std::string& face, const std::string& text, int32_t x, int32_t y, int32_t w, int32_t h,
          unsigned align) {
    testApp();
    const double pxPerUnit = 28.346457 * kDpi / 1440.0;
    const int firstRow = static_cast<int>((y - 10) * pxPerUnit);  // the image covers y-10 .. y+h+10
    QImage image(static_cast<int>((x + w + 5) * pxPerUnit), static_cast<int>((h + 20) * pxPerUnit),
                 QImage::Format_Grayscale8);
    image.setDotsPerMeterX(static_cast<int>(kDpi / 0.0254));
    image.setDotsPerMeterY(static_cast<int>(kDpi / 0.0254));
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.translate(0, -firstRow);
        QPainterCanvas canvas = QPainterCanvas::twips(painter, image);
        canvas.setFont({face, kLayout.toLogicalY(8), 1});
        canvas.drawText(text, kLayout.toLogical(x, y, w, h), align);
    }
    int top = -1, bottom = -1;
    for (int row = 0; row < image.height(); ++row) {
        const uchar* line = image.constScanLine(row);
        for (int col = 0; col < image.width(); ++col) {
            if (line[col] < 128) {
                if (top < 0) top = row;
                bottom = row;
                break;
            }
        }
    }
    EXPECT_GE(top, 0) << face << ": nothing drawn";
    return {(top + firstRow) / pxPerUnit, (bottom + 1 + firstRow) / pxPerUnit};
}

class TextPlacement : public testing::TestWithParam<const char*> {};

// A file head's path line stands in y+2..y+14 and the head row's top rule at y+12: the text,
// descenders and all, must end above that rule (about 1 mm) and not rise out of its band.
TEST_P(TextPlacement, PathLineSitsAboveTheHeadRowRule) {
    const int32_t y = 67;
    const Ink ink = inkOf(GetParam(), "文件路径：/data/gjpqy(数据个数25)", 35, y + 2, 335, 12, kAlignLeft | kAlignTop);
    EXPECT_LE(ink.bottom, y + 12 - 1.0) << GetParam();
    EXPECT_GE(ink.top, y + 1.0) << GetParam();
}

// The footer text hangs below its rule (B-18) from B-15, the header text stands on T+9 below
// its rule at T+10: both stay clear of their rules.
TEST_P(TextPlacement, BandTextsStayClearOfTheirRules) {
    const Ink footer = inkOf(GetParam(), "页脚 Tesmar科技集团", 35, kLayout.bottom - 15, 335, 15,
                             kAlignHCenter | kAlignTop);
    EXPECT_GE(footer.top, kLayout.bottom - 18 + 1.0) << GetParam();
    const Ink header = inkOf(GetParam(), "页眉 Tesmar科技集团", 35, kLayout.top, 335, 9, kAlignHCenter | kAlignBottom);
    EXPECT_LE(header.bottom, kLayout.top + 10 - 0.5) << GetParam();
    EXPECT_GE(header.top, kLayout.top) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Faces, TextPlacement, testing::Values("宋体", "黑体", "DejaVu Sans", "DejaVu Serif"));

}  // namespace
