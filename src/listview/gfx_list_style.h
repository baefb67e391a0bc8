#pragma once
// Bits of the list's style word.

namespace fendal::listview {

namespace gfx {

inline constexpr unsigned kStyleInitial = 0x793F;
inline constexpr unsigned kStyleHeaderSort = 0x0008;        // a header click sorts by the column
inline constexpr unsigned kStyleAskEditFormat = 0x0010;     // ask the owner for the editor's format
inline constexpr unsigned kStyleNoImageTips = 0x0020;       // no tips over image columns
inline constexpr unsigned kStyleEditAllSelected = 0x0040;   // an edit applies to every selected row
inline constexpr unsigned kStyleOwnerDrawCells = 0x0080;    // the owner may draw each cell
inline constexpr unsigned kStyleTips = 0x0100;              // tips for cut-off cell texts
inline constexpr unsigned kStyleEnterToggles = 0x0800;      // Enter expands or collapses a category
inline constexpr unsigned kStyleEnterEdits = 0x1000;        // ... or opens the current cell's editor
inline constexpr unsigned kStyleUpdateScrollBars = 0x2000;  // after expanding or collapsing

}  // namespace gfx

}  // namespace fendal::listview
