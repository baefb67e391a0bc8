#pragma once
// Groups the data rows of a list under collapsible category rows. Categories are numeric
// ranges of row values (low <= value < high); the display is virtual: a display row is found
// from the categories' starting rows, so no per-row record is kept beyond the members.
#include <functional>
#include <string>
#include <vector>

namespace fendal::listview {

struct GfxCategory {
    static constexpr int kRange = 4;

    std::string text;
    std::vector<int> rows;  // member row values, in the order they were added
    int kind = kRange;
    bool expanded = false;
    double low = 0;
    double high = 0;
    int data = -1;  // the owner's number for it (the main view: the index of its file)

    int rowCount() const { return static_cast<int>(rows.size()); }
    bool operator==(const GfxCategory&) const = default;
};

// A row of the list: a category row (category >= 0) or a data row with its value.
struct GfxRowRef {
    int category = -1;
    int value = -1;
    bool isCategory() const { return category >= 0; }
};

class CGfxCategoryManager {
public:
    using Categorize = std::function<void(CGfxCategoryManager&, int value)>;
    using CategorizeAll = std::function<void(CGfxCategoryManager&)>;

    int addCategory(std::string text, double low, double high, int data = -1);  // the new index
    bool addRowToCategory(int category, int value);
    int findCategory(double value) const;  // -1 when none
    int categoryCount() const { return static_cast<int>(categories_.size()); }
    const GfxCategory& category(int index) const { return categories_.at(index); }
    std::string caption(int index) const;

    void setCategorize(Categorize categorize) { categorize_ = std::move(categorize); }
    void setCategorizeAll(CategorizeAll categorizeAll) { categorizeAll_ = std::move(categorizeAll); }

    // The values of all data rows in list order; build asks the callback once per row.
    const std::vector<int>& rowList() const { return rowList_; }
    void build(std::vector<int> rowList);
    // The same categories and callbacks without members, to be built again in another order.
    CGfxCategoryManager withoutMembers() const;
    // Whether both show the same category rows with the same member rows.
    bool showsSame(const CGfxCategoryManager& other) const { return categories_ == other.categories_; }

    // --- the rows as shown: each category row followed by its members when expanded
    int displayCount() const { return displayCount_; }
    GfxRowRef displayRow(int row) const;
    int displayRowOfCategory(int index) const;
    int displayRowOfValue(int value) const;  // -1 when hidden or absent
    void setExpanded(int index, bool expanded);

    std::vector<unsigned char> expandedStates() const;
    // Applies remembered states only when the number of categories is unchanged.
    bool restoreStates(const std::vector<unsigned char>& states);

private:
    void layout();

    std::vector<GfxCategory> categories_;
    std::vector<int> rowList_;
    std::vector<int> starts_;  // display row of each category row
    int displayCount_ = 0;
    Categorize categorize_;
    CategorizeAll categorizeAll_;
};

}  // namespace fendal::listview
