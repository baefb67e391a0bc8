#include "office/point_clipboard.h"

#include <gtest/gtest.h>

#include <cstring>

#include "data/fendal_doc.h"
#include "fake_clipboard.h"
#include "office/point_block.h"
#include "support/sample_points.h"
#include "support/scripted_doc_ui.h"

using namespace fendal;
using namespace fendal::data;
using namespace fendal::office;

namespace {

struct HintLog : DocObserver {
    std::vector<UpdateHint> hints;
    void onDocumentUpdate(UpdateHint hint) override { hints.push_back(hint); }
};

class PointClipboardTest : public ::testing::Test {
protected:
    void SetUp() override {
        doc.group.files.push_back(sampleFile(3, "/data/a.fsy"));
        doc.group.files.push_back(sampleFile(2, "/data/b.fsy", 10));
        doc.addObserver(&log);
    }
    void select(int file, int point) { doc.setCurrent(file, point); }
    bool samePoint(const MeasurePoint& a, const MeasurePoint& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

    ScriptedDocUi ui;
    CFendalDoc doc{ui};
    HintLog log;
    FakeClipboard clipboard;
};

TEST_F(PointClipboardTest, CopyThenPasteIntoAnotherFileReplacesTheWholePoint) {
    select(0, 1);
    ASSERT_TRUE(office::copyCurrentPoint(doc, clipboard));
    EXPECT_FALSE(doc.isModified());  // copying changes nothing

    select(1, 1);  // the last point of the second file
    ASSERT_TRUE(office::pasteOverCurrentPoint(doc, clipboard));
    EXPECT_TRUE(samePoint(doc.group.files[1].points[1], doc.group.files[0].points[1]));
    EXPECT_EQ(doc.group.files[0].pointCount(), 3);
    EXPECT_EQ(doc.group.files[1].pointCount(), 2);
    EXPECT_EQ(doc.currentPoint(), 1);
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(log.hints, std::vector<UpdateHint>{UpdateHint::PointsEdited});
    // The clipboard keeps the point: it can be pasted again.
    select(1, 0);
    EXPECT_TRUE(office::pasteOverCurrentPoint(doc, clipboard));
    EXPECT_TRUE(samePoint(doc.group.files[1].points[0], doc.group.files[0].points[1]));
}

TEST_F(PointClipboardTest, NothingHappensWithoutACurrentPoint) {
    select(0, 1);
    ASSERT_TRUE(office::copyCurrentPoint(doc, clipboard));
    const auto before = clipboard.data;
    for (auto [file, point] : {std::pair{-1, -1}, {0, 3}, {2, 0}, {0, -1}}) {
        select(file, point);
        EXPECT_FALSE(office::copyCurrentPoint(doc, clipboard));
        EXPECT_FALSE(office::cutCurrentPoint(doc, clipboard));
        EXPECT_FALSE(office::pasteOverCurrentPoint(doc, clipboard));
        EXPECT_FALSE(office::canPastePoint(doc, clipboard));
    }
    EXPECT_EQ(clipboard.data, before);
    EXPECT_FALSE(doc.isModified());
    EXPECT_TRUE(log.hints.empty());
}

TEST_F(PointClipboardTest, CutDeletesThePointOnceItIsOnTheClipboard) {
    const MeasurePoint cut = doc.group.files[0].points[1];
    select(0, 1);
    ASSERT_TRUE(office::cutCurrentPoint(doc, clipboard));
    EXPECT_EQ(doc.group.files[0].pointCount(), 2);
    EXPECT_EQ(doc.currentPoint(), -1);
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(log.hints, std::vector<UpdateHint>{UpdateHint::PointsEdited});

    select(1, 0);
    ASSERT_TRUE(office::pasteOverCurrentPoint(doc, clipboard));
    EXPECT_TRUE(samePoint(doc.group.files[1].points[0], cut));
}

TEST_F(PointClipboardTest, CutWithABusyClipboardKeepsThePoint) {
    clipboard.busy = true;
    select(0, 2);
    EXPECT_FALSE(office::cutCurrentPoint(doc, clipboard));
    EXPECT_EQ(doc.group.files[0].pointCount(), 3);
    EXPECT_EQ(doc.currentPoint(), 2);
    EXPECT_FALSE(doc.isModified());
    EXPECT_TRUE(log.hints.empty());
}

TEST_F(PointClipboardTest, PasteRefusesABlockOfAnotherSize) {
    select(0, 0);
    const PointBlock good = encodePointBlock(samplePoint(42));
    clipboard.present = true;
    clipboard.data.assign(good.begin(), good.end() - 1);
    const MeasurePoint before = doc.group.files[0].points[0];

    EXPECT_FALSE(office::canPastePoint(doc, clipboard));
    EXPECT_FALSE(office::pasteOverCurrentPoint(doc, clipboard));
    EXPECT_TRUE(samePoint(doc.group.files[0].points[0], before));
    EXPECT_FALSE(doc.isModified());
}

TEST_F(PointClipboardTest, PasteEnableRuleFollowsTheClipboard) {
    select(0, 0);
    EXPECT_FALSE(office::canPastePoint(doc, clipboard));  // empty or other formats only
    ASSERT_TRUE(office::copyCurrentPoint(doc, clipboard));
    EXPECT_TRUE(office::canPastePoint(doc, clipboard));
    clipboard.busy = true;  // cannot be opened to look: stays enabled, and paste does nothing
    EXPECT_TRUE(office::canPastePoint(doc, clipboard));
    EXPECT_FALSE(office::pasteOverCurrentPoint(doc, clipboard));
    EXPECT_FALSE(doc.isModified());
}

}  // namespace
