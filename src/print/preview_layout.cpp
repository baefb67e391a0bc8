#include "print/preview_layout.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace fendal::print {

namespace {

constexpr double kZoomSteps[] = {0.125, 0.25, 0.5, 0.75, 1.0, 1.25, 1.5, 2.0, 3.0, 4.0, 6.0, 8.0};

// Floor division: rows above the content are negative.
int64_t floorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0); }

}  // namespace

PreviewLayout::PreviewLayout(int pageCount, PaperSize paper, double pixelsPerPoint)
    : pageCount_(std::max(0, pageCount)),
      paper_{std::max(1.0, paper.width), std::max(1.0, paper.height)},
      pixelsPerPoint_(pixelsPerPoint > 0 ? pixelsPerPoint : 1.0) {
    zoom_ = clampZoom(1.0);
}

void PreviewLayout::setColumns(int columns) {
    columns_ = std::clamp(columns, 1, 2);
    zoom_ = clampZoom(zoom_);
}

double PreviewLayout::maxZoom() const {
    if (pageCount_ == 0) return kMaxZoom;
    const double tallest = static_cast<double>((kMaxContentHeight - kGap) / rowCount() - kGap);
    // Rounding a page's height must not take it past the tallest page that fits.
    return std::min(kMaxZoom, (tallest - 1) / (paper_.height * pixelsPerPoint_));
}

double PreviewLayout::clampZoom(double zoom) const {
    if (!std::isfinite(zoom)) zoom = 1.0;
    return std::clamp(zoom, std::min(kMinZoom, maxZoom()), maxZoom());
}

void PreviewLayout::setZoom(double zoom) { zoom_ = clampZoom(zoom); }

int64_t PreviewLayout::pageWidth() const { return std::max<int64_t>(1, std::llround(paper_.width * pixelsPerPoint())); }

int64_t PreviewLayout::pageHeight() const {
    return std::max<int64_t>(1, std::llround(paper_.height * pixelsPerPoint()));
}

PixelRect PreviewLayout::pageRect(int page, int64_t viewportWidth) const {
    const int64_t left = std::max(kGap, (viewportWidth - contentWidth()) / 2 + kGap);
    const int64_t column = (page - 1) % columns_;
    return {left + column * (pageWidth() + kGap), kGap + rowOf(page) * pitch(), pageWidth(), pageHeight()};
}

PageSpan PreviewLayout::pagesInView(int64_t top, int64_t height) const {
    if (pageCount_ == 0 || height <= 0) return {};
    const int64_t bottom = top + height;  // exclusive
    // Row r (from 0) covers kGap + r * pitch up to that plus the page height.
    const int64_t firstRow = std::max<int64_t>(0, floorDiv(top - kGap - pageHeight(), pitch()) + 1);
    const int64_t lastRow = std::min(rowCount() - 1, floorDiv(bottom - kGap - 1, pitch()));
    if (firstRow > lastRow) return {};
    return {static_cast<int>(firstRow * columns_ + 1),
            static_cast<int>(std::min<int64_t>(pageCount_, (lastRow + 1) * columns_))};
}

int PreviewLayout::pageAt(int64_t top, int64_t height) const {
    if (pageCount_ == 0) return 0;
    const PageSpan span = pagesInView(top, std::max<int64_t>(1, height));
    // A viewport in a gap is on the row below it.
    int64_t best = std::clamp<int64_t>(floorDiv(top, pitch()), 0, rowCount() - 1);
    if (!span.empty()) {
        int64_t bestRows = -1;
        for (int64_t row = rowOf(span.first); row <= rowOf(span.last); ++row) {
            const int64_t y = kGap + row * pitch();
            const int64_t rows = std::min(y + pageHeight(), top + height) - std::max(y, top);
            if (rows > bestRows) {
                best = row;
                bestRows = rows;
            }
        }
    }
    return static_cast<int>(best * columns_ + 1);
}

int64_t PreviewLayout::scrollTopOf(int page) const {
    return rowOf(std::clamp(page, 1, std::max(1, pageCount_))) * pitch();
}

double PreviewLayout::positionAt(int64_t top) const { return static_cast<double>(top) / static_cast<double>(pitch()); }

int64_t PreviewLayout::topAt(double position) const { return std::llround(position * static_cast<double>(pitch())); }

double PreviewLayout::fitWidthZoom(int64_t viewportWidth) const {
    const double room = static_cast<double>(viewportWidth - (columns_ + 1) * kGap) / columns_;
    return clampZoom(room / (paper_.width * pixelsPerPoint_));
}

double PreviewLayout::fitPageZoom(int64_t viewportWidth, int64_t viewportHeight) const {
    const double byHeight = static_cast<double>(viewportHeight - 2 * kGap) / (paper_.height * pixelsPerPoint_);
    return std::min(fitWidthZoom(viewportWidth), clampZoom(byHeight));
}

double PreviewLayout::nextZoomStep(double zoom, int direction) {
    // A little slack, so that a zoom a hair off a step does not stop short at that step.
    if (direction > 0) {
        for (double step : kZoomSteps)
            if (step > zoom * 1.001) return step;
        return kMaxZoom;
    }
    for (auto it = std::rbegin(kZoomSteps); it != std::rend(kZoomSteps); ++it)
        if (*it < zoom * 0.999) return *it;
    return kMinZoom;
}

}  // namespace fendal::print
