#pragma once
// A column that the list knows (shown or not), its format flags and the per-flag masks over
// column ids that editors, drawing and the header consult.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace fendal::listview {

namespace gfx {

// Format flags of a column definition.
inline constexpr int kDropList = 0x001;      // in-place combo box, list only
inline constexpr int kDropDownList = 0x002;  // in-place combo box with an edit field
inline constexpr int kEditBox = 0x004;       // in-place edit box
inline constexpr int kNumeric = 0x008;
inline constexpr int kCurrency = 0x010;  // sorts with every "." removed
inline constexpr int kSortable = 0x020;
inline constexpr int kImage = 0x040;        // the cell shows an item image
inline constexpr int kKept = 0x080;         // carried along, consulted by nothing
inline constexpr int kFixedWidth = 0x100;   // the user cannot drag the divider
inline constexpr int kHeaderImage = 0x200;  // the header item shows the definition's image

inline constexpr int kAlignLeft = 0;
inline constexpr int kAlignRight = 1;
inline constexpr int kAlignCenter = 2;

inline constexpr int kMaxColumnId = 31;  // ids index 32-bit masks

}  // namespace gfx

struct GfxColumnDef {
    int id = 0;
    int align = gfx::kAlignLeft;
    int width = 0;
    int image = -1;                     // header image, -1 for none
    int dwdata = 0;                     // format flags
    std::optional<std::string> text;    // header text
    std::optional<std::string> textdt;  // second label
    std::optional<std::string> descr;   // description (shown for image columns)
};

// One 32-bit mask over column ids per format flag 0x001 .. 0x100.
class GfxColumnMasks {
public:
    void clear() { masks_.fill(0); }
    void add(int id, int dwdata);
    bool has(int flag, int id) const;
    uint32_t mask(int flag) const;

private:
    static int slot(int flag);
    std::array<uint32_t, 9> masks_{};
};

}  // namespace fendal::listview
