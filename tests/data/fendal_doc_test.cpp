#include <gtest/gtest.h>

#include <cstring>

#include "data/app_strings.h"
#include "data/crack_file_io.h"
#include "data/fendal_doc.h"
#include "support/sample_points.h"
#include "support/scripted_doc_ui.h"
#include "support/temp_folder.h"

using namespace fendal;
using namespace fendal::data;

namespace {

struct RecordingView : DocObserver {
    std::vector<UpdateHint> hints;
    void onDocumentUpdate(UpdateHint hint) override { hints.push_back(hint); }
};

class DocTest : public ::testing::Test {
protected:
    DocTest() { doc.addObserver(&view); }

    // Writes files of the given sizes and opens them as a group.
    void openGroup(std::vector<int> sizes) {
        std::vector<std::string> paths;
        for (std::size_t i = 0; i < sizes.size(); ++i) {
            CrackDataFile f = sampleFile(sizes[i], dir.file("f" + std::to_string(i) + ".fsy"), int(i) * 100);
            ASSERT_TRUE(writeCrackFile(f));
            paths.push_back(f.path);
        }
        ui.openChoices.push_back(paths);
        doc.onFileOpen();
    }

    TempFolder dir;
    ScriptedDocUi ui;
    CFendalDoc doc{ui};
    RecordingView view;
};

TEST_F(DocTest, GroupOfTwoFilesIsAddressedFlat) {
    openGroup({2, 3});
    EXPECT_EQ(doc.title(), kGroupTitle);
    EXPECT_EQ(doc.currentFile(), -1);
    EXPECT_EQ(ui.recent.size(), 2u);
    EXPECT_EQ(view.hints, std::vector<UpdateHint>{UpdateHint::Reloaded});
    EXPECT_EQ(ui.dialogs.at(0).title, "打开(支持多选)");

    int file = -9, point = -9;
    ASSERT_TRUE(doc.flatToFilePoint(3, file, point));
    EXPECT_EQ(file, 1);
    EXPECT_EQ(point, 1);
    EXPECT_FALSE(doc.flatToFilePoint(5, file, point));
    int flat = -1;
    ASSERT_TRUE(doc.filePointToFlat(flat, 1, 2));
    EXPECT_EQ(flat, 4);
    EXPECT_FALSE(doc.filePointToFlat(flat, 0, 2));
    EXPECT_EQ(doc.pointsBefore(1), 2);
    EXPECT_EQ(doc.pointsBefore(-1), 5);

    doc.selectFlat(2);
    EXPECT_EQ(doc.currentFile(), 1);
    EXPECT_EQ(doc.currentPoint(), 0);
    doc.selectFlat(7);
    EXPECT_EQ(doc.currentFile(), -1);
    EXPECT_EQ(doc.currentPoint(), -1);
}

TEST_F(DocTest, OneFileBecomesCurrentAndNamesTheDocument) {
    openGroup({2});
    EXPECT_EQ(doc.title(), "f0.fsy");
    EXPECT_EQ(doc.currentFile(), 0);
    EXPECT_FALSE(doc.isModified());
}

TEST_F(DocTest, UnreadableFileInGroupStaysEmpty) {
    ui.openChoices.push_back(std::vector<std::string>{dir.file("missing.fsy")});
    doc.onFileOpen();
    ASSERT_EQ(doc.group.fileCount(), 1);
    EXPECT_TRUE(doc.group.files[0].path.empty());
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(DocTest, DeleteAsksAndDeletingTheLastPointEmptiesTheFile) {
    openGroup({1});
    doc.setCurrent(doc.currentFile(), 0);
    ui.answers = {MsgAnswer::No};
    doc.onDeletePoint();
    EXPECT_EQ(doc.group.files[0].pointCount(), 1);

    ui.answers = {MsgAnswer::Yes};
    doc.onDeletePoint();
    EXPECT_EQ(ui.shown.back().text, "是否要删除数据？");
    EXPECT_EQ(doc.group.files[0].pointCount(), 0);
    EXPECT_EQ(doc.group.files[0].receivedCount(), 1);
    EXPECT_EQ(doc.currentPoint(), -1);
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(view.hints.back(), UpdateHint::PointsEdited);

    doc.onAddPoint();
    ASSERT_EQ(doc.group.files[0].pointCount(), 1);
    const MeasurePoint empty{};
    EXPECT_EQ(0, std::memcmp(&doc.group.files[0].points[0], &empty, sizeof empty));
    EXPECT_EQ(doc.currentPoint(), 0);

    ui.answers = {MsgAnswer::Yes};
    doc.setCurrent(doc.currentFile(), 5);
    doc.onDeletePoint();
    EXPECT_EQ(ui.shown.back().text, "删除失败");
}

TEST_F(DocTest, InsertDuplicatesAboveAndAddCopiesTheLast) {
    openGroup({5});
    doc.setCurrent(doc.currentFile(), 2);
    doc.onInsertPoint();
    auto& pts = doc.group.files[0].points;
    ASSERT_EQ(pts.size(), 6u);
    EXPECT_EQ(0, std::memcmp(&pts[2], &pts[3], sizeof(MeasurePoint)));
    EXPECT_EQ(doc.currentPoint(), 3);

    pts.back().depth = 120;
    doc.onAddPoint();
    EXPECT_EQ(pts.size(), 7u);
    EXPECT_EQ(pts.back().depth, 120);
    EXPECT_EQ(doc.currentPoint(), 6);

    doc.setCurrent(-1, doc.currentPoint());
    doc.onAddPoint();
    EXPECT_EQ(ui.shown.back().text, "添加失败");
}

TEST_F(DocTest, RestoreBringsBackTheReceivedListAfterAsking) {
    openGroup({3});
    auto received = doc.group.files[0].receivedPoints;
    doc.setCurrent(doc.currentFile(), 0);
    doc.onAddPoint();
    platform::text::setField(doc.group.files[0].points[0].note, "edited");
    doc.setModifiedFlag(false);

    ui.answers = {MsgAnswer::No};
    doc.onFileRestore();
    EXPECT_EQ(doc.group.files[0].pointCount(), 4);
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(ui.shown.back().text, "确实要还原文件“" + doc.group.files[0].path + "”?");

    ui.answers = {MsgAnswer::Yes};
    doc.onFileRestore();
    ASSERT_EQ(doc.group.files[0].pointCount(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(0, std::memcmp(&doc.group.files[0].points[i], &received[i], sizeof(MeasurePoint)));
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(doc.currentPoint(), -1);  // the point that was current is gone

    doc.setCurrent(-1, doc.currentPoint());
    doc.onFileRestore();
    EXPECT_EQ(ui.shown.back().text, "请选择要还原的文件！");
}

TEST_F(DocTest, SetPointReplacesTheWholeRecordWithoutMarkingModified) {
    openGroup({2, 2});
    MeasurePoint p = samplePoint(42);
    EXPECT_FALSE(doc.setPoint(-2, -2, p));
    doc.selectFlat(3);
    EXPECT_TRUE(doc.setPoint(-2, -2, p));
    EXPECT_EQ(0, std::memcmp(&doc.group.files[1].points[1], &p, sizeof p));
    EXPECT_FALSE(doc.isModified());
    EXPECT_FALSE(doc.setPoint(1, 2, p));
}

TEST_F(DocTest, EnableRulesFollowTheSelection) {
    EXPECT_FALSE(doc.canSave());
    EXPECT_FALSE(doc.canDeletePoint());
    EXPECT_FALSE(doc.canAddPoint());
    openGroup({1, 0});
    EXPECT_TRUE(doc.canSave());
    EXPECT_TRUE(doc.canPrint());
    EXPECT_FALSE(doc.canRestore());
    doc.setCurrent(1, doc.currentPoint());
    EXPECT_TRUE(doc.canAddPoint());
    EXPECT_FALSE(doc.canDeletePoint());
    doc.selectFlat(0);
    EXPECT_TRUE(doc.canDeletePoint());
    EXPECT_TRUE(doc.canInsertPoint());
    EXPECT_TRUE(doc.canRestore());
}

// A file holds at most 99999 points: the 100000th is refused, since a file with more would
// read back as empty.
TEST_F(DocTest, AddAndInsertStopAtTheLargestCount) {
    openGroup({1});
    doc.group.files[0].points.resize(kMaxFileCount - 1, samplePoint(5));
    doc.setCurrent(doc.currentFile(), 0);
    doc.onAddPoint();
    EXPECT_EQ(doc.group.files[0].pointCount(), kMaxFileCount);
    EXPECT_TRUE(ui.shown.empty());
    doc.onAddPoint();
    doc.setCurrent(doc.currentFile(), 3);
    doc.onInsertPoint();
    EXPECT_EQ(ui.texts(), (std::vector<std::string>{"添加失败", "插入失败"}));
    EXPECT_EQ(doc.group.files[0].pointCount(), kMaxFileCount);
    EXPECT_EQ(doc.currentPoint(), 3);

    doc.onFileSave();
    CrackDataFile back;
    ASSERT_TRUE(readCrackFile(dir.file("f0.fsy"), back));
    EXPECT_EQ(back.pointCount(), kMaxFileCount);
}

TEST_F(DocTest, SingleFileReadKeepsTheGroupWhenTheFileIsMissing) {
    openGroup({2, 2});
    EXPECT_FALSE(doc.readSingleFile(dir.file("gone.fsy")));
    EXPECT_EQ(doc.group.fileCount(), 2);
    EXPECT_FALSE(doc.openRecentFile(dir.file("gone.fsy")));
    EXPECT_EQ(doc.group.fileCount(), 2);

    EXPECT_TRUE(doc.openRecentFile(dir.file("f1.fsy")));
    EXPECT_EQ(doc.group.fileCount(), 1);
    EXPECT_EQ(doc.currentFile(), 0);
    EXPECT_EQ(doc.title(), "f1.fsy");
}

}  // namespace

// Observers that leave while being told, themselves or another one (whose object may be gone
// by then), must not break the loop or be called after leaving, on any of the three notices.
TEST_F(DocTest, ObserversMayLeaveWhileBeingTold) {
    struct Leaving : DocObserver {
        CFendalDoc* doc = nullptr;
        DocObserver* alsoRemove = nullptr;
        int updates = 0, states = 0;
        void leave() {
            doc->removeObserver(this);
            if (alsoRemove) doc->removeObserver(alsoRemove);
        }
        void onDocumentUpdate(UpdateHint) override { ++updates, leave(); }
        void onDocumentStateChanged() override { ++states, leave(); }
    };
    for (int notice = 0; notice < 3; ++notice) {
        CFendalDoc fresh{ui};
        Leaving first, second;
        first.doc = second.doc = &fresh;
        first.alsoRemove = &second;
        fresh.addObserver(&first);
        fresh.addObserver(&second);
        if (notice == 0) fresh.updateAllViews(UpdateHint::Reloaded);
        if (notice == 1) fresh.setModifiedFlag(true);
        if (notice == 2) fresh.setTitle("t");
        EXPECT_EQ(first.updates + first.states, 1) << notice;
        EXPECT_EQ(second.updates + second.states, 0) << notice;
        fresh.updateAllViews(UpdateHint::Reloaded);  // both are gone
        EXPECT_EQ(first.updates + first.states, 1) << notice;
    }
}

// A new document empties the group and the selection, and nothing is left to save.
TEST_F(DocTest, NewDocumentForgetsTheGroupAndItsChanges) {
    openGroup({2});
    doc.setCurrent(0, 1);
    ASSERT_TRUE(doc.editCurrentPoint([](MeasurePoint& p) {
        p.depth = 5;
        return true;
    }));
    ASSERT_TRUE(doc.isModified());
    EXPECT_FALSE(doc.editCurrentPoint([](MeasurePoint&) { return false; }));  // refused: no notice
    EXPECT_EQ(view.hints.back(), UpdateHint::PointsEdited);
    doc.newDocument();
    EXPECT_FALSE(doc.hasFiles());
    EXPECT_EQ(doc.currentFile(), -1);
    EXPECT_EQ(doc.currentPoint(), -1);
    EXPECT_EQ(doc.title(), "");
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(view.hints.back(), UpdateHint::Reloaded);
    EXPECT_FALSE(doc.editCurrentPoint([](MeasurePoint&) { return true; }));
}
