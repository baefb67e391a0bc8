#include "print/preview_layout.h"

#include <algorithm>
#include <cmath>
#include <iterator>

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

double PreviewLayout::maxZoom() const {
    if (pageCount_ == 0) return kMaxZoom;
    const double tallest = static_cast<double>((kMaxContentHeight - kGap) / pageCount_ - kGap);
    // Rounding a page's height must not take it past the tallest page that fits.
    return std::min(kMaxZoom, (tallest - 1) / (paper_.height * pixelsPerPoint_));
}

double PreviewLayout::clampZoom(double zoom) const {
    if (!std::isfinite(zoom)) zoom = 1.0;
    return std::clamp(zoom, std::min(kMinZoom, maxZoom()), maxZoom());
}

void PreviewLayout::setZoom(double zoom) { zoom_ = clampZoom(zoom); }

int64_t PreviewLayout::pageWidth() const {
    return std::max<int64_t>(1, std::llround(paper_.width * pixelsPerPoint()));
}

int64_t PreviewLayout::pageHeight() const {
    return std::max<int64_t>(1, std::llround(paper_.height * pixelsPerPoint()));
}

PixelRect PreviewLayout::pageRect(int page, int64_t viewportWidth) const {
    const int64_t x = std::max(kGap, (viewportWidth - pageWidth()) / 2);
    return {x, kGap + (page - 1) * pitch(), pageWidth(), pageHeight()};
}

PageSpan PreviewLayout::pagesInView(int64_t top, int64_t height) const {
    if (pageCount_ == 0 || height <= 0) return {};
    const int64_t bottom = top + height;  // exclusive
    // Page k covers kGap + (k - 1) * pitch up to that plus the page height.
    const int64_t first = floorDiv(top - kGap - pageHeight(), pitch()) + 2;
    const int64_t last = floorDiv(bottom - kGap - 1, pitch()) + 1;
    const int64_t from = std::max<int64_t>(1, first), to = std::min<int64_t>(pageCount_, last);
    if (from > to) return {};
    return {static_cast<int>(from), static_cast<int>(to)};
}

int PreviewLayout::pageAt(int64_t top, int64_t height) const {
    const PageSpan span = pagesInView(top, std::max<int64_t>(1, height));
    if (pageCount_ == 0) return 0;
    // A viewport in a gap is on the page below it.
    if (span.empty()) return static_cast<int>(std::clamp<int64_t>(floorDiv(top, pitch()) + 1, 1, pageCount_));
    int best = span.first;
    int64_t bestRows = -1;
    for (int page = span.first; page <= span.last; ++page) {
        const int64_t y = kGap + (page - 1) * pitch();
        const int64_t rows = std::min(y + pageHeight(), top + height) - std::max(y, top);
        if (rows > bestRows) {
            best = page;
            bestRows = rows;
        }
    }
    return best;
}

int64_t PreviewLayout::scrollTopOf(int page) const {
    return (std::clamp(page, 1, std::max(1, pageCount_)) - 1) * pitch();
}

double PreviewLayout::positionAt(int64_t top) const {
    return static_cast<double>(top) / static_cast<double>(pitch());
}

int64_t PreviewLayout::topAt(double position) const {
    return std::llround(position * static_cast<double>(pitch()));
}

double PreviewLayout::fitWidthZoom(int64_t viewportWidth) const {
    return clampZoom(static_cast<double>(viewportWidth - 2 * kGap) / (paper_.width * pixelsPerPoint_));
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
