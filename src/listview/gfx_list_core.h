#pragma once
// What a list shows, without a window: the applied columns and their masks, the rows (plain
// or under categories), the owner's callbacks, sorting and the end of an in-place edit.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "listview/gfx_category_manager.h"
#include "listview/gfx_column_manager.h"
#include "listview/gfx_list_style.h"

namespace fendal::listview {

// A request for extended information from the owner; the answer 0 means "do the default".
struct GfxExtInfoRequest {
    enum Code { kEditFormat = 0, kFillCombo = 1, kAcceptEdit = 2, kDrawCell = 3 };
    // Flags of the editor format answer (kEditFormat).
    static constexpr int kOwnerFont = 0x8;
    static constexpr int kBoldFont = 0x1;
    static constexpr int kItalicFont = 0x2;
    static constexpr int kUnderlineFont = 0x4;
    static constexpr int kTextColour = 0x10;

    int code = 0;
    int row = -1;     // display row
    int column = -1;  // column position
    int value = -1;   // the row's item data
    // kEditFormat
    int formatFlags = 0;
    std::string fontFamily;
    int fontPointSize = 0;
    uint32_t colour = 0;  // 0xRRGGBB
    // kFillCombo: the entries the owner puts into the combo's list
    std::vector<std::string> choices;
    // kAcceptEdit
    std::string text;
    // kDrawCell: the painter (opaque here) and the cell's rectangle
    void* painter = nullptr;
    int x = 0, y = 0, width = 0, height = 0;
};

struct GfxListCallbacks {
    // Cell text (UTF-8) of (display row, column position, row value).
    std::function<std::string(int row, int column, int value)> getText;
    CGfxCategoryManager::Categorize categorize;
    CGfxCategoryManager::CategorizeAll categorizeAll;
    std::function<int(GfxExtInfoRequest&)> extendedInfo;
    // (row value, the column's definition index, new text)
    std::function<void(int value, int definition, const std::string& text)> valueEdited;
};

enum class GfxCategories { None, Collapsed, KeepStates };

// Refused: the column is not sortable; Unchanged: the rows were in that order already.
enum class GfxSortResult { Refused, Unchanged, Reordered };

// A column as the list currently shows it.
struct GfxAppliedColumn {
    int id = 0;
    int align = 0;
    int width = 0;
    int image = -1;  // header image, -1 for none
    std::string text;
};

class CGfxListCore {
public:
    static constexpr int kBoxColumnWidth = 18;  // column 0 carries the categories' expand box

    CGfxColumnManager& columnManager() { return columns_; }
    const CGfxColumnManager& columnManager() const { return columns_; }

    // --- columns
    void applyColumns();
    const std::vector<GfxAppliedColumn>& columns() const { return applied_; }
    int columnCount() const { return static_cast<int>(applied_.size()); }
    int columnId(int position) const;  // -1 when out of range
    int columnPosition(int id) const;  // -1 when not shown
    bool columnHas(int position, int flag) const;
    void setColumnWidth(int position, int width);
    // A column dragged to another place in the header; column 0 stays first. False when refused.
    bool moveColumn(int from, int to);
    void readBackColumns();
    const GfxColumnMasks& masks() const { return masks_; }

    unsigned style() const { return style_; }
    void addStyle(unsigned bits) { style_ |= bits; }
    void clearStyle(unsigned bits) { style_ &= ~bits; }

    void setCallbacks(GfxListCallbacks callbacks);
    const GfxListCallbacks& callbacks() const { return callbacks_; }
    // Asked when the owner gave no extended-information callback.
    void setExtInfoFallback(std::function<int(GfxExtInfoRequest&)> fallback) { fallback_ = std::move(fallback); }
    int extendedInfo(GfxExtInfoRequest& request) const;

    // A view of the list is told around every change of what the list shows (rows, categories
    // or columns), and only then: a fill or sort that leaves everything as it was tells nobody.
    void setResetObserver(std::function<void()> aboutToReset, std::function<void()> reset);

    // --- rows
    // Replaces the rows (item data in list order), plain or under categories made by the
    // owner's callbacks; kept states apply when the number of categories is unchanged.
    // False when the list shows exactly what it showed before.
    bool fillRows(std::vector<int> values, GfxCategories categories = GfxCategories::None);
    int rowCount() const;
    GfxRowRef row(int row) const;
    int rowOfValue(int value) const;  // -1 when not shown
    std::string cellText(int row, int column) const;

    // --- categories
    bool categoryMode() const { return categories_ != nullptr; }
    CGfxCategoryManager* categories() { return categories_.get(); }
    const CGfxCategoryManager* categories() const { return categories_.get(); }
    // Expands or collapses; the caller tells its view which rows came or went.
    void toggleCategory(int index);

    // --- sorting: a permutation of row values by keys computed once per row
    GfxSortResult sortByColumn(int position, bool ascending);
    // Sorts in the opposite direction of the column's last one (ascending the first time).
    GfxSortResult toggleSort(int position);
    // The direction last used for a column id, if any.
    std::optional<bool> sortState(int id) const;

    // --- the end of an in-place edit of `rows` (display rows) in column `position`
    void endEdit(const std::vector<int>& rows, int position, const std::string& text);

private:
    std::string plainText(int row, int position, int value) const;
    std::unique_ptr<CGfxCategoryManager> makeCategories(std::vector<int> rows) const;
    // Takes new rows (the plain ones, or categories); false when they show what was shown.
    bool replaceRows(std::vector<int> plain, std::unique_ptr<CGfxCategoryManager> categories);
    void aboutToReset() const;
    void reset() const;
    void widenBoxColumn();

    CGfxColumnManager columns_;
    std::vector<GfxAppliedColumn> applied_;
    GfxColumnMasks masks_;
    unsigned style_ = gfx::kStyleInitial;
    GfxListCallbacks callbacks_;
    std::function<int(GfxExtInfoRequest&)> fallback_;
    std::vector<int> rows_;  // plain rows: item data in list order
    std::unique_ptr<CGfxCategoryManager> categories_;
    std::function<void()> aboutToReset_;
    std::function<void()> reset_;
    std::map<int, bool> sortStates_;                           // column id -> last direction was ascending
    std::map<std::pair<int, int>, std::string> writtenTexts_;  // (value, column id) -> text
};

}  // namespace fendal::listview
