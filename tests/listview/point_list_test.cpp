#include <gtest/gtest.h>

#include "data/app_strings.h"
#include "doc_fixture.h"
#include "listview/point_list.h"

using namespace fendal;
using namespace fendal::data;
using namespace fendal::listview;

namespace {

using namespace pointlist;

struct Counter : DocObserver {
    std::vector<UpdateHint> hints;
    void onDocumentUpdate(UpdateHint hint) override { hints.push_back(hint); }
};

struct PointListTest : ::testing::Test {
    ScriptedUi ui;
    CFendalDoc doc{ui};
    Counter views;
    void SetUp() override {
        fillGroup(doc, {3, 2});
        doc.addObserver(&views);
    }
};

TEST_F(PointListTest, RowTextsCountTheIndexWithinEachFile) {
    EXPECT_EQ(rowText(doc, 0, kIndex), "1");
    EXPECT_EQ(rowText(doc, 3, kIndex), "1");  // first point of the second file
    EXPECT_EQ(rowText(doc, 4, kNumber), "P4");
    EXPECT_EQ(rowText(doc, 4, kVelocity), "1004");
    EXPECT_EQ(rowText(doc, 4, kDepth), "4");
    EXPECT_EQ(rowText(doc, 4, kImage), "0");
    EXPECT_EQ(rowText(doc, 4, kBlank), "");
    EXPECT_EQ(rowText(doc, 5, kNumber), "");  // beyond the group
    EXPECT_EQ(rowText(doc, 5, kImage), "0");
}

TEST_F(PointListTest, EveryFileHasItsCategoryAlsoWithoutPoints) {
    fillGroup(doc, {3, 0, 2, 0});
    CGfxCategoryManager m;
    m.setCategorizeAll([&](CGfxCategoryManager& c) { categorizeGroup(doc, c); });
    m.build({0, 1, 2, 3, 4, 5});  // 5: no such point, in no category
    ASSERT_EQ(m.categoryCount(), 4);
    EXPECT_EQ(m.caption(0), "文件目录: /data/file0.fsy (数据个数: 3)");
    EXPECT_EQ(m.caption(1), "文件目录: /data/file1.fsy (数据个数: 0)");
    EXPECT_EQ(m.caption(2), "文件目录: /data/file2.fsy (数据个数: 2)");
    EXPECT_EQ(m.caption(3), "文件目录: /data/file3.fsy (数据个数: 0)");
    for (int k = 0; k < 4; ++k) EXPECT_EQ(fileOfCategory(m, k), k);
    EXPECT_EQ(fileOfCategory(m, 4), -1);
    EXPECT_EQ(m.findCategory(3), 2);  // the first point after the empty file is the third file's

    // Built again in another order (a sort), the categories stay and take their rows anew.
    CGfxCategoryManager sorted = m.withoutMembers();
    sorted.build({4, 3, 2, 1, 0});
    ASSERT_EQ(sorted.categoryCount(), 4);
    EXPECT_EQ(sorted.category(0).rows, (std::vector<int>{2, 1, 0}));
    EXPECT_EQ(sorted.category(2).rows, (std::vector<int>{4, 3}));
}

TEST_F(PointListTest, LeadingIntegerForVelocityAndDepth) {
    doc.selectFlat(1);
    EXPECT_EQ(writeEdit(doc, kVelocity, "123abc"), EditResult::Stored);
    EXPECT_EQ(doc.group.files[0].points[1].velocity, 123);
    EXPECT_EQ(writeEdit(doc, kDepth, "mm"), EditResult::Stored);
    EXPECT_EQ(doc.group.files[0].points[1].depth, 0);
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(views.hints, (std::vector<UpdateHint>{UpdateHint::PointsEdited, UpdateHint::PointsEdited}));
}

TEST_F(PointListTest, NumberAndNoteLimitsAreGbkBytes) {
    doc.selectFlat(3);
    MeasurePoint& p = doc.group.files[1].points[0];
    EXPECT_EQ(writeEdit(doc, kNumber, std::string(31, '1')), EditResult::Stored);
    EXPECT_EQ(platform::text::fieldText(p.number), std::string(31, '1'));
    EXPECT_EQ(writeEdit(doc, kNumber, "测点一二三四五六七八九十甲乙丙丁"), EditResult::TooLong);  // 32 GBK bytes
    EXPECT_EQ(platform::text::fieldText(p.number), std::string(31, '1'));
    EXPECT_EQ(writeEdit(doc, kNumber, "测点一二三四五六七八九十甲乙丙"), EditResult::Stored);  // 30 bytes
    EXPECT_EQ(platform::text::gbkToUtf8(platform::text::fieldText(p.number)), "测点一二三四五六七八九十甲乙丙");

    std::string note199(199, 'n');
    EXPECT_EQ(writeEdit(doc, kNote, note199), EditResult::Stored);
    EXPECT_EQ(writeEdit(doc, kNote, note199 + "n"), EditResult::TooLong);
    EXPECT_EQ(writeEdit(doc, kNote, "emoji 😀"), EditResult::NotGbk);
    EXPECT_EQ(platform::text::fieldText(p.note), note199);
    EXPECT_EQ(views.hints.size(), 3u);  // refused edits tell nobody

    EXPECT_NE(refusalMessage(EditResult::TooLong, kNumber, "").find("31"), std::string::npos);
    EXPECT_NE(refusalMessage(EditResult::NotGbk, kNote, "").find("“备注”"), std::string::npos);
    // A header the user renamed is the name the message uses.
    EXPECT_NE(refusalMessage(EditResult::TooLong, kNote, "说明").find("“说明”"), std::string::npos);
}

TEST_F(PointListTest, NoCurrentPointWritesNothing) {
    doc.selectFlat(-1);
    EXPECT_EQ(writeEdit(doc, kVelocity, "5"), EditResult::NoTarget);
    doc.setCurrent(1, 2);  // beyond the file
    EXPECT_EQ(writeEdit(doc, kVelocity, "5"), EditResult::NoTarget);
    EXPECT_FALSE(doc.isModified());
    EXPECT_TRUE(views.hints.empty());
}

}  // namespace
