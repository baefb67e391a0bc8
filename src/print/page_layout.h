#pragma once
// The printed page in layout units of 0.5 mm, and their conversion to the twips mapping
// (1/1440 inch, y growing upwards) that the page is drawn in.
#include <cstdint>

#include "print/print_canvas.h"

namespace fendal::print {

struct PageLayout {
    int32_t left = 35;           // table and bands, 17.5 mm from the left
    int32_t top = 25;            // top of the header band
    int32_t width = 335;         // width of table and bands
    int32_t bottom = 568;        // bottom of the footer band
    float scaleX = 28.346457f;   // twips per layout unit: 72 / 2.54 in single precision
    float scaleY = -28.346457f;  // layout y grows downwards, twips upwards

    // Truncation toward zero, as the page has always been placed.
    int32_t toLogicalX(int32_t x) const { return static_cast<int32_t>(static_cast<float>(x) * scaleX); }
    int32_t toLogicalY(int32_t y) const { return static_cast<int32_t>(static_cast<float>(y) * scaleY); }
    CanvasPoint toLogical(int32_t x, int32_t y) const { return {toLogicalX(x), toLogicalY(y)}; }
    // The rectangle made from (x, y) and (x + w, y + h).
    CanvasRect toLogical(int32_t x, int32_t y, int32_t w, int32_t h) const {
        return {toLogicalX(x), toLogicalY(y), toLogicalX(x + w), toLogicalY(y + h)};
    }

    int32_t firstLineY() const { return top + 12; }       // every page's lines start here
    int32_t contentLimit() const { return bottom - 18; }  // a line fits while its end stays within
};

}  // namespace fendal::print
