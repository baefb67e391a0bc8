#pragma once
// The group as a paginated table. Pagination is arithmetic on the fixed line heights in the
// fixed page geometry: no text is measured and the paper size is not consulted.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "data/file_group.h"
#include "print/page_layout.h"
#include "print/print_canvas.h"
#include "print/print_line.h"
#include "print/print_settings.h"

namespace fendal::print {

// The print loop's page numbers, from 1.
struct PrintInfo {
    int currentPage = 1;
    int maxPage = 0;
};

inline constexpr char kPrintTitle[] = "Tesmar科技缝深检测分析软件处理结果";

class PrintTable {
public:
    // `group` may be null (no document); the table reads it while printing, it does not copy it.
    explicit PrintTable(const data::FileGroup* group);

    PrintSettings& settings() { return settings_; }
    const PrintSettings& settings() const { return settings_; }
    const std::vector<PrintLine>& lines() const { return lines_; }

    // Before a job: the settings from the file, a fresh line list, the page count as the
    // maximum page (0 for an empty group), current page 1. Returns the page count.
    int preparePrinting(PrintInfo& info);
    // The same without reading the settings file, for settings given otherwise.
    int preparePages(PrintInfo& info);
    void readPrintSettings();
    void buildPrintLines();

    // The page count (-1 without lines). With a canvas, draws the current page of `info`:
    // its bands and its lines. Where each page starts is found once per line list, so
    // drawing a page costs only that page's lines.
    int layoutPages(PrintCanvas* canvas, const PrintInfo& info);
    void printPage(PrintCanvas& canvas, const PrintInfo& info) { layoutPages(&canvas, info); }

    // Places line i at y. 0: placed (drawn when a canvas is given) and y advanced; 1: it does
    // not fit, y is back at the top of a page; 2: no such line or no document.
    int drawPrintLine(PrintCanvas* canvas, std::size_t i, int32_t& y) const;

    // Logical fonts of the printed page.
    CanvasFont titleFont() const;
    CanvasFont bodyFont() const;

private:
    struct Column {
        int32_t x;
        int32_t width;
    };

    void paginate();
    void drawHeaderBand(PrintCanvas& canvas, const PrintInfo& info) const;
    void drawFooterBand(PrintCanvas& canvas, const PrintInfo& info) const;
    void drawBand(PrintCanvas& canvas, const PrintInfo& info, int32_t ruleY, int32_t textTop, int32_t textHeight,
                  unsigned valign, bool printText, const std::string& gbkText, int32_t firstPosition) const;
    void drawTitle(PrintCanvas& canvas, int32_t y) const;
    void drawFileHead(PrintCanvas& canvas, int32_t fileIndex, int32_t y) const;
    void drawPointRow(PrintCanvas& canvas, int32_t fileIndex, int32_t pointIndex, int32_t y) const;
    void drawRowRuling(PrintCanvas& canvas, int32_t rowTop) const;
    void drawCellText(PrintCanvas& canvas, const std::string& utf8, int32_t x, int32_t y, int32_t w, int32_t h,
                      unsigned align) const;
    void drawCellBox(PrintCanvas& canvas, int32_t x, int32_t y, int32_t w, int32_t h) const;

    const data::FileGroup* group_;
    PageLayout layout_;
    PrintSettings settings_ = viewDefaultSettings();
    std::vector<PrintLine> lines_;
    Column columns_[5];
    int32_t ruleInner1_;  // the two inner boxes of the row ruling
    int32_t ruleInner2_;
    int32_t ruleInnerWidth_;
    // First line of every page, and the page count, for the current line list.
    std::vector<std::size_t> pageStarts_;
    int pageCount_ = -1;
    bool paginated_ = false;
};

}  // namespace fendal::print
