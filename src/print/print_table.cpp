#include "print/print_table.h"

#include "platform/text.h"
#include "print/print_settings_file.h"

namespace fendal::print {

namespace {

constexpr CanvasPen kBandPen{kBlack, 15};
// The table's own ruling: thin enough to stay out of the texts' way, firm enough to print.
constexpr CanvasPen kTablePen{kBlack, 8};
constexpr int32_t kTitleFontHeight = 11;  // layout units
constexpr int32_t kBodyFontHeight = 8;
constexpr int32_t kTitleFontWeight = 30;
constexpr int32_t kBodyFontWeight = 1;
constexpr int32_t kRowHeight = 12;

const char* const kColumnHeads[5] = {"序 号", "编 号", "声速(m/s)", "深度(mm)", "备  注"};

std::string fieldUtf8(const char* field, std::size_t size) {
    return platform::text::gbkToUtf8(platform::text::fieldText(field, size));
}

}  // namespace

PrintTable::PrintTable(const data::FileGroup* group) : group_(group) {
    // Column cells from a seventh of the width; the note takes three sevenths.
    const double c = layout_.width / 7.0;
    const auto t = [](double v) { return static_cast<int32_t>(v); };
    for (int k = 0; k < 4; ++k) columns_[k] = {layout_.left + t(k * c), t(c)};
    columns_[4] = {layout_.left + t(4 * c), t(3 * c)};
    ruleInner1_ = t(layout_.left + c);
    ruleInner2_ = t(layout_.left + 3 * c);
    ruleInnerWidth_ = t(c);
}

CanvasFont PrintTable::titleFont() const { return {"黑体", layout_.toLogicalY(kTitleFontHeight), kTitleFontWeight}; }

CanvasFont PrintTable::bodyFont() const { return {"宋体", layout_.toLogicalY(kBodyFontHeight), kBodyFontWeight}; }

int PrintTable::preparePrinting(PrintInfo& info) {
    readPrintSettings();
    return preparePages(info);
}

int PrintTable::preparePages(PrintInfo& info) {
    buildPrintLines();
    info.currentPage = 1;
    const int n = layoutPages(nullptr, info);
    info.maxPage = n > 0 ? n : 0;
    return info.maxPage;
}

void PrintTable::readPrintSettings() { print::readPrintSettings(settings_); }

void PrintTable::buildPrintLines() {
    lines_ = print::buildPrintLines(group_);
    pageStarts_.clear();
    pageCount_ = -1;
    paginated_ = false;
}

void PrintTable::paginate() {
    paginated_ = true;
    pageStarts_.assign(1, 0);
    int32_t y = layout_.firstLineY();
    std::size_t i = 0;
    while (i < lines_.size()) {
        const int r = drawPrintLine(nullptr, i, y);
        if (r == 2) break;
        if (r == 1) {
            pageStarts_.push_back(i);  // the same line opens the next page
            continue;
        }
        ++i;
    }
    pageCount_ = static_cast<int>(pageStarts_.size());
}

int PrintTable::layoutPages(PrintCanvas* canvas, const PrintInfo& info) {
    if (lines_.empty()) return -1;
    if (!paginated_) paginate();
    if (canvas) {
        drawHeaderBand(*canvas, info);
        drawFooterBand(*canvas, info);
        const int page = info.currentPage;
        if (page >= 1 && page <= pageCount_) {
            canvas->setPen(kTablePen);
            const std::size_t end = page < pageCount_ ? pageStarts_[static_cast<std::size_t>(page)] : lines_.size();
            int32_t y = layout_.firstLineY();
            for (std::size_t i = pageStarts_[static_cast<std::size_t>(page - 1)]; i < end; ++i)
                if (drawPrintLine(canvas, i, y) != 0) break;
        }
    }
    return pageCount_;
}

int PrintTable::drawPrintLine(PrintCanvas* canvas, std::size_t i, int32_t& y) const {
    if (i >= lines_.size() || !group_) return 2;
    const PrintLine& line = lines_[i];
    if (y + line.height > layout_.contentLimit()) {
        y = layout_.firstLineY();
        return 1;
    }
    if (canvas) {
        switch (line.kind) {
        case PrintLineKind::Title: drawTitle(*canvas, y); break;
        case PrintLineKind::FileHead: drawFileHead(*canvas, line.fileIndex, y); break;
        case PrintLineKind::PointRow: drawPointRow(*canvas, line.fileIndex, line.pointIndex, y); break;
        case PrintLineKind::Empty: break;
        }
    }
    y += line.advance;
    return 0;
}

void PrintTable::drawTitle(PrintCanvas& canvas, int32_t y) const {
    canvas.setFont(titleFont());
    drawCellText(canvas, kPrintTitle, layout_.left, y + 6, layout_.width, 23, kAlignHCenter | kAlignTop);
}

void PrintTable::drawFileHead(PrintCanvas& canvas, int32_t fileIndex, int32_t y) const {
    // The group is read as it is now; a file that has gone since the job began prints nothing.
    if (fileIndex < 0 || fileIndex >= group_->fileCount()) return;
    const data::CrackDataFile& file = group_->files[static_cast<std::size_t>(fileIndex)];
    canvas.setFont(bodyFont());
    drawCellText(canvas,
                 platform::text::format("文件路径：%s(数据个数%d)", platform::text::displayPath(file.path).c_str(),
                                        file.pointCount()),
                 layout_.left, y + 2, layout_.width, 12, kAlignLeft | kAlignTop);
    const int32_t rowTop = y + 12;
    drawRowRuling(canvas, rowTop);
    for (int k = 0; k < 5; ++k)
        drawCellText(canvas, kColumnHeads[k], columns_[k].x, rowTop, columns_[k].width, kRowHeight,
                     kAlignHCenter | kAlignVCenter);
}

void PrintTable::drawPointRow(PrintCanvas& canvas, int32_t fileIndex, int32_t pointIndex, int32_t y) const {
    if (fileIndex < 0 || fileIndex >= group_->fileCount()) return;
    const data::CrackDataFile& file = group_->files[static_cast<std::size_t>(fileIndex)];
    if (pointIndex < 0 || pointIndex >= file.pointCount()) return;
    const data::MeasurePoint& p = file.points[static_cast<std::size_t>(pointIndex)];
    canvas.setFont(bodyFont());
    drawRowRuling(canvas, y);
    const std::string cells[5] = {
        platform::text::format("%d", pointIndex + 1),
        fieldUtf8(p.number, sizeof p.number),
        platform::text::format("%d", p.velocity),
        platform::text::format("%d", p.depth),
        fieldUtf8(p.note, sizeof p.note),
    };
    for (int k = 0; k < 5; ++k)
        drawCellText(canvas, cells[k], columns_[k].x, y, columns_[k].width, kRowHeight, kAlignHCenter | kAlignVCenter);
}

// The row outline plus two inner boxes give the separators at 35, 82, 129, 178, 225 and 370.
void PrintTable::drawRowRuling(PrintCanvas& canvas, int32_t rowTop) const {
    drawCellBox(canvas, layout_.left, rowTop, layout_.width, kRowHeight);
    drawCellBox(canvas, ruleInner1_, rowTop, ruleInnerWidth_, kRowHeight);
    drawCellBox(canvas, ruleInner2_, rowTop, ruleInnerWidth_, kRowHeight);
}

void PrintTable::drawCellText(PrintCanvas& canvas, const std::string& utf8, int32_t x, int32_t y, int32_t w, int32_t h,
                              unsigned align) const {
    canvas.drawText(utf8, layout_.toLogical(x, y, w, h), align);
}

void PrintTable::drawCellBox(PrintCanvas& canvas, int32_t x, int32_t y, int32_t w, int32_t h) const {
    const CanvasRect r = layout_.toLogical(x, y, w, h);
    canvas.drawLine({r.left, r.top}, {r.right, r.top});
    canvas.drawLine({r.right, r.top}, {r.right, r.bottom});
    canvas.drawLine({r.right, r.bottom}, {r.left, r.bottom});
    canvas.drawLine({r.left, r.bottom}, {r.left, r.top});
}

void PrintTable::drawHeaderBand(PrintCanvas& canvas, const PrintInfo& info) const {
    if (!settings_.hasHeaderBand()) return;
    const int32_t T = layout_.top;
    drawBand(canvas, info, T + 10, T, 9, kAlignBottom, settings_.printHeader, settings_.headerText, kTopLeft);
}

void PrintTable::drawFooterBand(PrintCanvas& canvas, const PrintInfo& info) const {
    if (!settings_.hasFooterBand()) return;
    const int32_t B = layout_.bottom;
    drawBand(canvas, info, B - 18, B - 15, 15, kAlignTop, settings_.printFooter, settings_.footerText, kBottomLeft);
}

// One band: its rule, its centred text, and the page number at the left, centre or right when
// its position is one of this band's three (firstPosition, +1, +2).
void PrintTable::drawBand(PrintCanvas& canvas, const PrintInfo& info, int32_t ruleY, int32_t textTop,
                          int32_t textHeight, unsigned valign, bool printText, const std::string& gbkText,
                          int32_t firstPosition) const {
    canvas.save();
    canvas.setFont(bodyFont());
    canvas.setPen(kBandPen);
    const int32_t L = layout_.left, W = layout_.width;
    canvas.drawLine(layout_.toLogical(L, ruleY), layout_.toLogical(L + W, ruleY));
    if (printText)
        drawCellText(canvas, platform::text::gbkToUtf8(gbkText), L, textTop, W, textHeight, kAlignHCenter | valign);
    // Compared before subtracting: a stored position can be any int32.
    const int32_t position = settings_.pageNumberPosition;
    if (settings_.printPageNumber && position >= firstPosition && position <= firstPosition + 2) {
        static constexpr unsigned kPlaceAlign[] = {kAlignLeft, kAlignHCenter, kAlignRight};
        drawCellText(canvas, formatPageNumber(settings_, info.currentPage, info.maxPage), L, textTop, W, textHeight,
                     kPlaceAlign[position - firstPosition] | valign);
    }
    canvas.restore();
}

}  // namespace fendal::print
