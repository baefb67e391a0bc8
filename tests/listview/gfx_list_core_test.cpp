#include <gtest/gtest.h>

#include "listview/gfx_column.h"
#include "listview/gfx_list_core.h"
#include "listview/gfx_sort_key.h"

using namespace fendal;
using namespace fendal::listview;

namespace {

using namespace gfx;

// A list of rows whose texts come from a table: column ids 0 (text), 1 (numeric),
// 2 (currency), 3 (numeric and currency), 4 (not sortable).
struct TableList {
    std::vector<std::vector<std::string>> cells;  // [value][column id]
    CGfxListCore list;

    explicit TableList(std::vector<std::vector<std::string>> table) : cells(std::move(table)) {
        auto& columns = list.columnManager();
        columns.defineColumn(0, "text", std::nullopt, kAlignLeft, 50, kSortable, -1, std::nullopt);
        columns.defineColumn(1, "num", std::nullopt, kAlignLeft, 50, kSortable | kNumeric, -1, std::nullopt);
        columns.defineColumn(2, "cur", std::nullopt, kAlignLeft, 50, kSortable | kCurrency, -1, std::nullopt);
        columns.defineColumn(3, "both", std::nullopt, kAlignLeft, 50, kSortable | kNumeric | kCurrency, -1,
                             std::nullopt);
        columns.defineColumn(4, "note", std::nullopt, kAlignLeft, 50, kEditBox, -1, std::nullopt);
        columns.setDefaultColumns({0, 1, 2, 3, 4});
        list.applyColumns();
        GfxListCallbacks cb;
        cb.getText = [this](int, int position, int value) { return cells[value][list.columnId(position)]; };
        list.setCallbacks(cb);
        std::vector<int> values(cells.size());
        for (std::size_t i = 0; i < values.size(); ++i) values[i] = static_cast<int>(i);
        list.fillRows(values);
    }

    std::vector<std::string> column(int id) const {
        std::vector<std::string> out;
        for (int r = 0; r < list.rowCount(); ++r) {
            GfxRowRef ref = list.row(r);
            out.push_back(ref.isCategory() ? "#" + std::to_string(ref.category) : cells[ref.value][id]);
        }
        return out;
    }
};

using V = std::vector<std::string>;

TEST(GfxSortKey, LeadingIntegerReadsLikeTheCLibrary) {
    EXPECT_EQ(leadingInteger("  -12abc"), -12);
    EXPECT_EQ(leadingInteger("+7"), 7);
    EXPECT_EQ(leadingInteger("abc"), 0);
    EXPECT_EQ(leadingInteger(""), 0);
    EXPECT_EQ(currencyValue("1.234"), 1234);
    EXPECT_EQ(currencyValue("1.2.3x4"), 123);
    EXPECT_EQ(leadingInt32("99999999999999999999999"), INT32_MAX);
    EXPECT_EQ(leadingInt32("-99999999999"), INT32_MIN);
}

TEST(GfxListCore, NumericCurrencyAndTextKeys) {
    TableList t({{"b", "10", "1.000", "1.5"}, {"a", "9", "999", "20"}, {"C", "x", "2", "16"}});
    t.list.sortByColumn(1, true);
    EXPECT_EQ(t.column(1), (V{"x", "9", "10"}));  // no digits counts as 0, and 9 before 10
    t.list.sortByColumn(2, true);
    EXPECT_EQ(t.column(2), (V{"2", "999", "1.000"}));  // 1.000 counts as 1000
    t.list.sortByColumn(3, true);
    EXPECT_EQ(t.column(3), (V{"1.5", "16", "20"}));  // currency wins: 1.5 counts as 15
    t.list.sortByColumn(0, false);
    EXPECT_EQ(t.column(0), (V{"b", "a", "C"}));
}

TEST(GfxListCore, TextsSortByTheirGbkBytes) {
    // In GBK 啊 (B0A1) comes before 一 (D2BB), the order of the instrument's users; their
    // code points (and UTF-8 bytes) have it the other way round.
    TableList t({{"一号"}, {"啊"}, {"b12"}, {"一"}, {"B"}, {"😀"}});
    t.list.sortByColumn(0, true);
    EXPECT_EQ(t.column(0), (V{"B", "b12", "啊", "一", "一号", "😀"}));  // not GBK: its UTF-8 bytes
}

TEST(GfxListCore, HeaderClicksAlternateAndUnsortableColumnsStay) {
    TableList t({{"a", "3", "", "", "z"}, {"b", "1", "", "", "y"}, {"c", "2", "", "", "x"}});
    EXPECT_EQ(t.list.toggleSort(1), GfxSortResult::Reordered);
    EXPECT_EQ(t.column(1), (V{"1", "2", "3"}));
    EXPECT_EQ(t.list.sortState(1), true);
    EXPECT_EQ(t.list.toggleSort(1), GfxSortResult::Reordered);
    EXPECT_EQ(t.column(1), (V{"3", "2", "1"}));
    EXPECT_EQ(t.list.toggleSort(4), GfxSortResult::Refused);
    EXPECT_EQ(t.column(1), (V{"3", "2", "1"}));
    EXPECT_FALSE(t.list.sortState(4).has_value());
}

TEST(GfxListCore, ItsViewIsResetOnlyWhenWhatItShowsChanges) {
    TableList t({{"a", "3"}, {"b", "1"}, {"c", "2"}});
    int before = 0, after = 0;
    t.list.setResetObserver([&] { ++before; }, [&] { EXPECT_EQ(++after, before); });
    auto resets = [&] {
        const int n = after;
        before = after = 0;
        return n;
    };

    EXPECT_FALSE(t.list.fillRows({0, 1, 2}));  // the same rows again, as after an edit
    EXPECT_EQ(t.list.sortByColumn(4, true), GfxSortResult::Refused);
    EXPECT_EQ(t.list.sortByColumn(0, true), GfxSortResult::Unchanged);  // already in that order
    EXPECT_EQ(resets(), 0);
    EXPECT_EQ(t.list.sortByColumn(1, true), GfxSortResult::Reordered);
    EXPECT_EQ(resets(), 1);
    EXPECT_TRUE(t.list.fillRows({0, 1, 2}));  // back in the owner's order
    EXPECT_TRUE(t.list.fillRows({0, 1}));
    EXPECT_EQ(resets(), 2);

    GfxListCallbacks cb = t.list.callbacks();
    cb.categorize = [](CGfxCategoryManager& m, int value) {
        int k = m.findCategory(value);
        if (k < 0) k = m.addCategory(value < 1 ? "first" : "second", value < 1 ? 0 : 1, value < 1 ? 1 : 3);
        m.addRowToCategory(k, value);
    };
    t.list.setCallbacks(cb);
    EXPECT_TRUE(t.list.fillRows({0, 1, 2}, GfxCategories::Collapsed));
    t.list.toggleCategory(1);
    EXPECT_FALSE(t.list.fillRows({0, 1, 2}, GfxCategories::KeepStates));
    EXPECT_TRUE(t.list.categories()->category(1).expanded);
    EXPECT_EQ(resets(), 1);
    EXPECT_TRUE(t.list.fillRows({0, 1, 2}, GfxCategories::Collapsed));  // closes the open one
    EXPECT_TRUE(t.list.fillRows({0, 1, 2}));
    EXPECT_EQ(resets(), 2);
}

TEST(GfxListCore, SortingWithCategoriesKeepsTheirOrder) {
    TableList t({{"", "5"}, {"", "1"}, {"", "3"}, {"", "9"}, {"", "2"}});
    GfxListCallbacks cb = t.list.callbacks();
    cb.categorize = [](CGfxCategoryManager& m, int value) {
        int k = m.findCategory(value);
        if (k < 0) k = value < 3 ? m.addCategory("first", 0, 3) : m.addCategory("second", 3, 5);
        m.addRowToCategory(k, value);
    };
    t.list.setCallbacks(cb);
    t.list.applyColumns();
    t.list.fillRows({0, 1, 2, 3, 4}, GfxCategories::Collapsed);
    t.list.toggleCategory(0);
    t.list.toggleCategory(1);
    EXPECT_EQ(t.column(1), (V{"#0", "5", "1", "3", "#1", "9", "2"}));
    t.list.sortByColumn(1, false);
    EXPECT_EQ(t.column(1), (V{"#0", "5", "3", "1", "#1", "9", "2"}));
    t.list.sortByColumn(1, true);
    EXPECT_EQ(t.column(1), (V{"#0", "1", "3", "5", "#1", "2", "9"}));
    EXPECT_TRUE(t.list.categories()->category(0).expanded);  // the states stay
}

TEST(GfxListCore, CategoryModeWidensTheBoxColumnAndGivesItBack) {
    TableList t({{"", ""}, {"", ""}});
    auto& columns = t.list.columnManager();
    columns.definitionById(0)->width = 0;
    t.list.applyColumns();
    GfxListCallbacks cb = t.list.callbacks();
    cb.categorize = [](CGfxCategoryManager& m, int value) {
        if (m.categoryCount() == 0) m.addCategory("all", 0, 2);
        m.addRowToCategory(0, value);
    };
    t.list.setCallbacks(cb);
    t.list.fillRows({0, 1}, GfxCategories::Collapsed);
    EXPECT_EQ(t.list.columns()[0].width, CGfxListCore::kBoxColumnWidth);
    t.list.readBackColumns();
    EXPECT_EQ(columns.definitionById(0)->width, 0);  // the box is not the column's own width
    t.list.fillRows({0, 1});
    EXPECT_EQ(t.list.columns()[0].width, 0);
    EXPECT_EQ(t.list.rowCount(), 2);
}

TEST(GfxListCore, EndOfEditAsksTheOwnerBeforeStoring) {
    TableList t({{"a"}, {"b"}});
    std::vector<std::tuple<int, int, std::string>> edited;
    int answer = 0;
    GfxListCallbacks cb;  // no text callback: the list shows the texts it stored
    cb.extendedInfo = [&](GfxExtInfoRequest& r) { return r.code == GfxExtInfoRequest::kAcceptEdit ? answer : 0; };
    cb.valueEdited = [&](int value, int def, const std::string& text) { edited.emplace_back(value, def, text); };
    t.list.setCallbacks(cb);

    t.list.endEdit({1}, 4, "refused");
    EXPECT_TRUE(edited.empty());
    EXPECT_EQ(t.list.cellText(1, 4), "");

    answer = 1;
    t.list.endEdit({1, 7}, 4, "taken");  // row 7 does not exist
    ASSERT_EQ(edited.size(), 1u);
    EXPECT_EQ(edited[0], std::make_tuple(1, 4, std::string("taken")));
    EXPECT_EQ(t.list.cellText(1, 4), "taken");
    EXPECT_EQ(t.list.cellText(0, 4), "");
}

}  // namespace
