#include <gtest/gtest.h>

#include "listview/gfx_column_manager.h"
#include "listview/point_list.h"

using namespace fendal;
using namespace fendal::listview;

namespace {

const std::string kSection = "GfxLists\\TheMainList";

CGfxColumnManager mainColumns() {
    CGfxColumnManager columns;
    pointlist::defineColumns(columns);
    return columns;
}

TEST(GfxColumnManager, WithoutStoredLayoutTheCodeColumnsStay) {
    platform::MemoryProfile profile;
    CGfxColumnManager columns = mainColumns();
    columns.load(profile, "TheMainList");
    EXPECT_EQ(columns.shownColumns(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6}));
    ASSERT_EQ(columns.definitions().size(), 7u);
    EXPECT_EQ(columns.definitions()[4].text, "声速(m/s)");
    EXPECT_EQ(columns.definitions()[4].dwdata, 0x34);
    EXPECT_EQ(columns.definitions()[1].dwdata, 0x3E0);
    EXPECT_FALSE(columns.definitions()[1].text.has_value());
    EXPECT_EQ(columns.definitions()[1].descr, "Image 1");
}

TEST(GfxColumnManager, SaveAndLoadRoundTrip) {
    platform::MemoryProfile profile;
    CGfxColumnManager edited = mainColumns();
    EXPECT_FALSE(edited.readBack({{0, 0}, {3, 77}}));  // the count must match
    edited.setDefaultColumns({0, 5, 3});
    edited.definitionById(5)->width = 61;
    edited.definitionById(5)->align = 1;
    edited.definitionById(5)->textdt = "第二";
    edited.save(profile, "TheMainList");

    EXPECT_EQ(profile.readInt(kSection, "NumDef"), 3);
    EXPECT_EQ(profile.readInt(kSection, "DefColId 1"), 5);
    EXPECT_EQ(profile.readInt(kSection, "DefNum"), 7);
    EXPECT_EQ(profile.readInt(kSection, "ColDef_width_5"), 61);
    EXPECT_EQ(profile.readString(kSection, "ColDef_text_1"), "");  // none is stored as empty

    CGfxColumnManager loaded = mainColumns();
    loaded.load(profile, "TheMainList");
    EXPECT_EQ(loaded.shownColumns(), (std::vector<int>{0, 5, 3}));
    EXPECT_EQ(loaded.definitionById(5)->width, 61);
    EXPECT_EQ(loaded.definitionById(5)->align, 1);
    EXPECT_EQ(loaded.definitionById(5)->textdt, "第二");
    EXPECT_EQ(loaded.definitionById(1)->text, "");  // read back as empty, not absent
    EXPECT_EQ(loaded.definitionById(1)->descr, "Image 1");
}

TEST(GfxColumnManager, LoadSkipsUnknownIdsAndMatchesDefinitionsById) {
    platform::MemoryProfile profile;
    profile.writeInt(kSection, "NumDef", 3);
    profile.writeInt(kSection, "DefColId 0", 0);
    profile.writeInt(kSection, "DefColId 1", -1);
    profile.writeInt(kSection, "DefColId 2", 4);
    profile.writeInt(kSection, "DefNum", 2);
    profile.writeInt(kSection, "ColDef_id_0", 17);  // not defined by the code
    profile.writeInt(kSection, "ColDef_width_0", 999);
    profile.writeInt(kSection, "ColDef_id_1", 4);  // stored at another position than defined
    profile.writeInt(kSection, "ColDef_width_1", 80);
    profile.writeString(kSection, "ColDef_text_1", "速度");

    CGfxColumnManager columns = mainColumns();
    columns.load(profile, "TheMainList");
    EXPECT_EQ(columns.shownColumns(), (std::vector<int>{0, 4}));
    EXPECT_EQ(columns.definitions().size(), 7u);
    EXPECT_EQ(columns.definitionById(4)->width, 80);
    EXPECT_EQ(columns.definitionById(4)->text, "速度");
    EXPECT_EQ(columns.definitionById(4)->dwdata, 0x34);  // missing values keep the code's
    EXPECT_EQ(columns.definitionById(1)->width, 23);
}

TEST(GfxColumnManager, StoredLayoutWithoutAnyColumnKeepsTheCodeOrder) {
    platform::MemoryProfile profile;
    profile.writeInt(kSection, "NumDef", 2);
    profile.writeInt(kSection, "DefColId 0", -1);
    profile.writeInt(kSection, "DefColId 1", -1);
    CGfxColumnManager columns = mainColumns();
    columns.load(profile, "TheMainList");
    EXPECT_EQ(columns.shownColumns().size(), 7u);
    EXPECT_FALSE(columns.setDefaultColumns({}));
}

TEST(GfxColumnManager, ReadBackTakesIdsAndWidthsFromTheHeader) {
    CGfxColumnManager columns = mainColumns();
    columns.setDefaultColumns({0, 3, 4});
    ASSERT_TRUE(columns.readBack({{0, 0}, {4, 90}, {3, 33}}));
    EXPECT_EQ(columns.shownColumns(), (std::vector<int>{0, 4, 3}));
    EXPECT_EQ(columns.definitionById(4)->width, 90);
    EXPECT_EQ(columns.definitionById(3)->width, 33);
}

TEST(GfxColumnManager, MasksCoverShownColumnsOnly) {
    CGfxColumnManager columns = mainColumns();
    columns.setDefaultColumns({0, 1, 4, 42});  // 42 has no definition
    GfxColumnMasks masks = columns.masks();
    EXPECT_EQ(masks.mask(0x010), 1u << 4);
    EXPECT_EQ(masks.mask(0x100), (1u << 0) | (1u << 1));
    EXPECT_FALSE(masks.has(0x004, 3));  // defined but not shown
    EXPECT_FALSE(masks.has(0x004, 42));
}

}  // namespace
