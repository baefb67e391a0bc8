#include <gtest/gtest.h>

#include "listview/gfx_category_manager.h"

using namespace fendal;
using namespace fendal::listview;

namespace {

// Rows 0..9 in two ranges: [0, 4) and [4, 10).
CGfxCategoryManager twoRanges() {
    CGfxCategoryManager m;
    m.setCategorize([](CGfxCategoryManager& cm, int value) {
        int k = cm.findCategory(value);
        if (k < 0) k = value < 4 ? cm.addCategory("a", 0, 4) : cm.addCategory("b", 4, 10);
        cm.addRowToCategory(k, value);
    });
    m.build({0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    return m;
}

TEST(GfxCategoryManager, RangesAreHalfOpen) {
    CGfxCategoryManager m;
    m.addCategory("a", 0, 4);
    m.addCategory("b", 4, 10);
    EXPECT_EQ(m.findCategory(3), 0);
    EXPECT_EQ(m.findCategory(4), 1);
    EXPECT_EQ(m.findCategory(10), -1);
    EXPECT_EQ(m.findCategory(-1), -1);
    EXPECT_FALSE(m.addRowToCategory(2, 1));
    EXPECT_FALSE(m.addRowToCategory(-1, 1));
}

TEST(GfxCategoryManager, StartsCollapsedWithCaptions) {
    CGfxCategoryManager m = twoRanges();
    ASSERT_EQ(m.categoryCount(), 2);
    EXPECT_EQ(m.displayCount(), 2);
    EXPECT_EQ(m.caption(0), "文件目录: a (数据个数: 4)");
    EXPECT_EQ(m.caption(1), "文件目录: b (数据个数: 6)");
    EXPECT_TRUE(m.displayRow(1).isCategory());
    EXPECT_EQ(m.displayRow(1).category, 1);
    EXPECT_EQ(m.displayRowOfValue(5), -1);  // hidden under a collapsed category
}

TEST(GfxCategoryManager, ExpandingShowsMembersUnderTheirCategoryRow) {
    CGfxCategoryManager m = twoRanges();
    m.setExpanded(1, true);
    EXPECT_EQ(m.displayCount(), 8);
    EXPECT_EQ(m.displayRowOfCategory(1), 1);
    EXPECT_EQ(m.displayRow(2).value, 4);
    EXPECT_EQ(m.displayRow(7).value, 9);
    EXPECT_EQ(m.displayRowOfValue(9), 7);
    m.setExpanded(0, true);
    EXPECT_EQ(m.displayCount(), 12);
    EXPECT_EQ(m.displayRowOfCategory(1), 5);
    EXPECT_EQ(m.displayRow(4).value, 3);
    EXPECT_FALSE(m.displayRow(12).isCategory());
    EXPECT_EQ(m.displayRow(12).value, -1);
}

TEST(GfxCategoryManager, StatesRestoreOnlyForTheSameNumberOfCategories) {
    CGfxCategoryManager m = twoRanges();
    m.setExpanded(1, true);
    auto states = m.expandedStates();

    CGfxCategoryManager same = twoRanges();
    EXPECT_TRUE(same.restoreStates(states));
    EXPECT_FALSE(same.category(0).expanded);
    EXPECT_TRUE(same.category(1).expanded);

    CGfxCategoryManager other;
    other.addCategory("only", 0, 10);
    EXPECT_FALSE(other.restoreStates(states));
    EXPECT_FALSE(other.category(0).expanded);
}

}  // namespace
