// Save, Save As and the save prompt: nothing the user asked to keep may be lost.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>

#include <filesystem>

#include "data/app_strings.h"
#include "data/crack_file_io.h"
#include "data/fendal_doc.h"
#include "support/sample_points.h"
#include "support/scripted_doc_ui.h"
#include "support/temp_folder.h"

using namespace fendal;
using namespace fendal::data;

namespace {

class SaveTest : public ::testing::Test {
protected:
    void openGroup(int files) {
        std::vector<std::string> paths;
        for (int i = 0; i < files; ++i) {
            CrackDataFile f = sampleFile(2, dir.file("g" + std::to_string(i) + ".fsy"), i * 10);
            ASSERT_TRUE(writeCrackFile(f));
            paths.push_back(f.path);
        }
        ui.openChoices.push_back(paths);
        doc.onFileOpen();
    }
    void edit() {
        doc.selectFlat(0);
        doc.group.files[0].points[0].velocity = 1234;
        doc.setModifiedFlag();
    }
    int velocityOnDisk(const std::string& path) {
        CrackDataFile f;
        EXPECT_TRUE(readCrackFile(path, f));
        return f.pointCount() ? f.points[0].velocity : -1;
    }

    TempFolder dir;
    ScriptedDocUi ui;
    CFendalDoc doc{ui};
};

TEST_F(SaveTest, SaveWritesEveryFileInPlace) {
    openGroup(2);
    edit();
    doc.onFileSave();
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(velocityOnDisk(dir.file("g0.fsy")), 1234);
    EXPECT_TRUE(ui.dialogs.size() == 1);  // only the open dialog
}

TEST_F(SaveTest, SaveFallsBackToSaveAsWhenAFolderIsGone) {
    openGroup(1);
    edit();
    doc.group.files[0].path = dir.file("gone/g0.fsy");
    ui.saveChoices.push_back(std::nullopt);  // the user cancels Save As
    doc.onFileSave();
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(velocityOnDisk(dir.file("g0.fsy")), 3000);

    ui.saveChoices.push_back(dir.file("new.fsy"));
    doc.onFileSave();
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(velocityOnDisk(dir.file("new.fsy")), 1234);
    EXPECT_EQ(doc.group.files[0].path, dir.file("new.fsy"));
    EXPECT_EQ(doc.title(), "new.fsy");
    EXPECT_EQ(ui.dialogs.back().defaultExt, "fsy");
    EXPECT_EQ(ui.dialogs.back().filter, kCrackFilter);
}

TEST_F(SaveTest, UnwritableTargetIsReportedWithTheReasonAndChangesStayUnsaved) {
    openGroup(1);
    edit();
    ui.saveChoices.push_back(dir.file("missing-folder/x.fsy"));
    doc.onFileSaveAs();
    EXPECT_TRUE(doc.isModified());
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "无法保存文件“" + dir.file("missing-folder/x.fsy") + "”：" +
                                    std::make_error_code(std::errc::no_such_file_or_directory).message());
    EXPECT_EQ(doc.group.files[0].path, dir.file("g0.fsy"));
}

// Save writes the file the user opened: through its link, keeping its mode, and its check of
// writability creates, truncates and follows nothing.
TEST_F(SaveTest, SaveReachesTheFileThroughItsLinkAndKeepsItsMode) {
    std::filesystem::create_directory(dir.file("real"));
    CrackDataFile f = sampleFile(2, dir.file("real/data.fsy"));
    ASSERT_TRUE(writeCrackFile(f));
    ::chmod(f.path.c_str(), 0600);
    std::filesystem::create_symlink("real/data.fsy", dir.file("link.fsy"));
    ui.openChoices.push_back(std::vector<std::string>{dir.file("link.fsy")});
    doc.onFileOpen();
    edit();
    doc.onFileSave();
    EXPECT_FALSE(doc.isModified());
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.fsy")));
    EXPECT_EQ(velocityOnDisk(dir.file("real/data.fsy")), 1234);
    struct stat st {};
    ASSERT_EQ(::stat(f.path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(SaveTest, TheWritabilityCheckFollowsNoPlantedLink) {
    openGroup(1);
    edit();
    const std::string victim = dir.file("victim.txt");
    TempFolder::writeAll(victim, {'v', 'v'});
    // The file is gone from disk; a link waits where the old check put its probe file.
    std::filesystem::remove(dir.file("g0.fsy"));
    std::filesystem::create_symlink(victim, dir.file("g0.fsy.fendal-probe"));
    std::filesystem::create_symlink(victim, dir.file("g0.fsy.fendal-tmp"));
    doc.onFileSave();
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(TempFolder::readAll(victim), (std::vector<unsigned char>{'v', 'v'}));
    EXPECT_EQ(velocityOnDisk(dir.file("g0.fsy")), 1234);
}

TEST_F(SaveTest, GroupSaveAsWritesCheckedFilesUnderEditedNames) {
    openGroup(3);
    edit();
    std::filesystem::create_directory(dir.file("out"));
    ui.groupSaveChoices.push_back([&](GroupSaveRequest& r) {
        EXPECT_EQ(r.names, (std::vector<std::string>{"g0.fsy", "g1.fsy", "g2.fsy"}));
        EXPECT_EQ(r.options.filter, kGroupSaveFilter);
        r.names[0] = "first.fsy";
        r.checks[1] = false;
        r.chosenPath = dir.file("out/whatever.fsy");
        return true;
    });
    doc.onFileSaveAs();
    EXPECT_FALSE(doc.isModified());
    EXPECT_TRUE(std::filesystem::exists(dir.file("out/first.fsy")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("out/g1.fsy")));
    EXPECT_TRUE(std::filesystem::exists(dir.file("out/g2.fsy")));
    EXPECT_EQ(velocityOnDisk(dir.file("out/first.fsy")), 1234);
    EXPECT_EQ(doc.group.files[0].path, dir.file("out/first.fsy"));
    EXPECT_EQ(doc.group.files[1].path, dir.file("g1.fsy"));
}

TEST_F(SaveTest, GroupSaveAsWithNothingCheckedAsksAgain) {
    openGroup(2);
    edit();
    auto uncheckAll = [&](GroupSaveRequest& r) {
        r.checks.assign(r.checks.size(), false);
        r.chosenPath = dir.file("x.fsy");
        return true;
    };
    ui.groupSaveChoices = {uncheckAll, uncheckAll};
    ui.answers = {MsgAnswer::Yes, MsgAnswer::No};
    doc.onFileSaveAs();
    EXPECT_EQ(ui.shown.size(), 2u);
    EXPECT_EQ(ui.shown[0].text, "未选择任何文件，是否重新定义？");
    EXPECT_TRUE(doc.isModified());  // nothing was written, so nothing is marked saved
    EXPECT_EQ(velocityOnDisk(dir.file("g0.fsy")), 3000);
}

TEST_F(SaveTest, SavePromptCancelStopsTheOpen) {
    openGroup(2);
    edit();
    ui.answers = {MsgAnswer::Cancel};
    doc.onFileOpen();
    EXPECT_EQ(ui.shown.at(0).text, "将改动文件保存？");
    EXPECT_EQ(ui.shown.at(0).caption, kAppTitle);
    EXPECT_EQ(ui.shown.at(0).buttons, MsgButtons::YesNoCancel);
    EXPECT_EQ(ui.dialogs.size(), 1u);  // no second open dialog
    EXPECT_TRUE(doc.isModified());

    ui.answers = {MsgAnswer::No};
    EXPECT_TRUE(doc.canCloseFrame());
    ui.answers = {MsgAnswer::Yes};
    EXPECT_TRUE(doc.canCloseFrame());
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(velocityOnDisk(dir.file("g0.fsy")), 1234);
}

TEST_F(SaveTest, SavePromptYesWithCancelledSaveAsKeepsTheWindowOpen) {
    openGroup(1);
    edit();
    doc.group.files[0].path.clear();
    ui.answers = {MsgAnswer::Yes};
    EXPECT_FALSE(doc.canCloseFrame());
    EXPECT_TRUE(doc.isModified());
}

}  // namespace
