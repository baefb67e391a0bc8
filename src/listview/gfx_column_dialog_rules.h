#pragma once
// The rules of the column dialogs, without a window: which columns they list and how, what
// OK makes of the shown list, the format choice and widths in characters.
#include <optional>
#include <string>
#include <vector>

#include "listview/gfx_column_manager.h"

namespace fendal::listview {

namespace gfxdialog {

inline constexpr char kNeedOneColumn[] = "E' necessario inserire almeno una colonna ..";
// Average character width = text width of this sample / 26.
inline constexpr char kWidthSample[] = "AbCdEfGhIj MnOpQrStUvWxYz";
inline constexpr int kWidthSampleDivisor = 26;

enum FormatChoice { kText = 0, kNumeric = 1, kValute = 2 };

struct ColumnEntry {
    std::string label;
    int id = 0;
};

// An image column is known by its description when it has one.
std::string columnLabel(const GfxColumnDef& def);

// Columns with a label only: a column without one (the main view's column 0) is never listed.
std::vector<ColumnEntry> freeColumns(const CGfxColumnManager& columns);   // definition order
std::vector<ColumnEntry> shownColumns(const CGfxColumnManager& columns);  // display order
std::vector<ColumnEntry> allColumns(const CGfxColumnManager& columns);    // definition order

// The shown-column array after OK: column 0 first, then the list; nullopt for an empty list.
std::optional<std::vector<int>> composeShown(const std::vector<int>& listIds);

FormatChoice formatChoice(int dwdata);
int applyFormatChoice(int dwdata, FormatChoice choice);
std::string editorKind(int dwdata);

int averageCharWidth(int sampleTextWidth);
int widthInChars(int pixels, int averageWidth);
int widthInPixels(int chars, int averageWidth);

}  // namespace gfxdialog

}  // namespace fendal::listview
