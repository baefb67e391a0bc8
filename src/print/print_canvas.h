#pragma once
// Where printing draws: a printer page, the print preview, a PDF page, the settings dialog's
// miniature, or a recording for tests. Coordinates are the caller's logical units (twips with
// y growing upwards for printed pages, pixels for the miniature); each canvas knows how its
// logical units map to its device.
#include <cstdint>
#include <string>

namespace fendal::print {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kWhite{255, 255, 255};

struct CanvasPoint {
    int32_t x = 0, y = 0;
    bool operator==(const CanvasPoint&) const = default;
};

// A rectangle given by two corners; on a y-up canvas `top` is the larger y.
struct CanvasRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const CanvasRect&) const = default;
};

// A font by face name. A negative height is the character height, a positive one the cell
// height, both in logical units; weight on the 1..1000 scale (400 regular).
struct CanvasFont {
    std::string face;
    int32_t height = 0;
    int32_t weight = 400;
    bool operator==(const CanvasFont&) const = default;
};

struct CanvasPen {
    Rgb color;
    int32_t width = 1;  // logical units
    bool operator==(const CanvasPen&) const = default;
};

// Text placement within its rectangle. Text is always one line, clipped to the rectangle.
enum TextAlign : unsigned {
    kAlignLeft = 0x0,
    kAlignHCenter = 0x1,
    kAlignRight = 0x2,
    kAlignTop = 0x0,
    kAlignVCenter = 0x4,
    kAlignBottom = 0x8,
};

class PrintCanvas {
public:
    virtual ~PrintCanvas() = default;

    // Save and restore font, pen, text colour and text background.
    virtual void save() = 0;
    virtual void restore() = 0;

    virtual void setFont(const CanvasFont& font) = 0;
    virtual void setPen(const CanvasPen& pen) = 0;
    virtual void setTextColor(Rgb color) = 0;
    // Opaque text paints its background white; transparent leaves what is below.
    virtual void setTextBackgroundOpaque(bool opaque) = 0;

    virtual void drawLine(CanvasPoint from, CanvasPoint to) = 0;
    // Fills the rectangle and outlines it with the current pen.
    virtual void drawRectangle(const CanvasRect& rect, Rgb fill) = 0;
    // `utf8` on one line inside `rect`, placed by TextAlign flags.
    virtual void drawText(const std::string& utf8, const CanvasRect& rect, unsigned align) = 0;
};

}  // namespace fendal::print
