#pragma once
// The print preview's pages in rows of one page or two facing pages down the scroll area, in the
// view's pixels: their size at a zoom, where each one lies, which of them a viewport shows and
// which page it is on. Only arithmetic, so laying out thousands of pages draws none of them.
#include <cstdint>

namespace fendal::print {

// The paper in points (1/72 inch).
struct PaperSize {
    double width = 595.0;
    double height = 842.0;
};

// Pages first..last, numbered from 1; empty when first > last.
struct PageSpan {
    int first = 1;
    int last = 0;
    bool empty() const { return first > last; }
    int count() const { return empty() ? 0 : last - first + 1; }
    bool operator==(const PageSpan&) const = default;
};

struct PixelRect {
    int64_t x = 0, y = 0, width = 0, height = 0;
    bool operator==(const PixelRect&) const = default;
};

class PreviewLayout {
public:
    static constexpr int64_t kGap = 12;  // pixels around and between the pages
    static constexpr double kMinZoom = 0.05;
    static constexpr double kMaxZoom = 8.0;
    // Scroll bars count in int: the column never grows past this.
    static constexpr int64_t kMaxContentHeight = 2147483647;

    // `pixelsPerPoint` is the screen's scale at zoom 1 (the paper at its real size).
    PreviewLayout(int pageCount, PaperSize paper, double pixelsPerPoint);

    int pageCount() const { return pageCount_; }
    // Pages side by side in a row: 1, or 2 for facing pages (1 and 2, 3 and 4, ...).
    int columns() const { return columns_; }
    void setColumns(int columns);
    double zoom() const { return zoom_; }
    // Clamped to kMinZoom..maxZoom().
    void setZoom(double zoom);
    // kMaxZoom, or less where so many pages would make the column too long to scroll.
    double maxZoom() const;
    // View pixels per point of paper at the current zoom.
    double pixelsPerPoint() const { return pixelsPerPoint_ * zoom_; }

    int64_t pageWidth() const;
    int64_t pageHeight() const;
    int64_t contentWidth() const { return columns_ * pageWidth() + (columns_ + 1) * kGap; }
    int64_t contentHeight() const { return kGap + rowCount() * pitch(); }

    // Page `page` in content coordinates; rows are centred in a viewport wider than they are.
    PixelRect pageRect(int page, int64_t viewportWidth) const;
    // The pages that reach into the rows top..top+height of the content.
    PageSpan pagesInView(int64_t top, int64_t height) const;
    // The first page of the row that fills most of the viewport (the first of equals); 0 without
    // pages.
    int pageAt(int64_t top, int64_t height) const;
    // The scroll position that puts the row of `page` at the top of the viewport, below one gap.
    int64_t scrollTopOf(int page) const;

    // A scroll position as pages from the top (2.5: halfway down page 3), which a zoom keeps.
    double positionAt(int64_t top) const;
    int64_t topAt(double position) const;

    // The zooms at which a row fills the viewport's width, or fits whole into it.
    double fitWidthZoom(int64_t viewportWidth) const;
    double fitPageZoom(int64_t viewportWidth, int64_t viewportHeight) const;
    // The next of the usual zoom steps above (direction > 0) or below the zoom.
    static double nextZoomStep(double zoom, int direction);

private:
    int64_t pitch() const { return pageHeight() + kGap; }
    int64_t rowCount() const { return (pageCount_ + columns_ - 1) / columns_; }
    int rowOf(int page) const { return (page - 1) / columns_; }  // from 0
    double clampZoom(double zoom) const;

    int pageCount_;
    int columns_ = 1;
    PaperSize paper_;
    double pixelsPerPoint_;
    double zoom_ = 1.0;
};

}  // namespace fendal::print
