// The Qt-free parts of the shell: filters, recent files, routing and the command tables.
#include <gtest/gtest.h>

#include <set>

#include "app/command_router.h"
#include "app/command_table.h"
#include "app/document_commands.h"
#include "app/file_filter.h"
#include "app/recent_file_list.h"
#include "support/sample_points.h"
#include "support/scripted_doc_ui.h"

using namespace fendal;
using namespace fendal::app;
using namespace fendal::data;

using Filters = std::vector<std::string>;

TEST(FileFilter, WindowsPairsBecomeQtEntriesWithoutRepeatingPatterns) {
    EXPECT_EQ(nameFiltersFromWindowsFilter("裂缝原始数据(*.fsy)|*.fsy|所有文件 (*.*)|*.*||"),
              (Filters{"裂缝原始数据(*.fsy)", "所有文件 (*.*)"}));
    EXPECT_EQ(nameFiltersFromWindowsFilter("裂缝原始数据 (*.fsy)|*.fsy||"), (Filters{"裂缝原始数据 (*.fsy)"}));
}

TEST(FileFilter, PatternsAreAddedWhereTheNameDoesNotCarryThem) {
    // Several patterns separated by ';' become Qt's space-separated list; a name whose own
    // brackets say something else gets the real patterns after it, which Qt then reads.
    EXPECT_EQ(nameFiltersFromWindowsFilter("数据|*.fsy;*.tem||"), (Filters{"数据 (*.fsy *.tem)"}));
    EXPECT_EQ(nameFiltersFromWindowsFilter("Text (*.txt)|*.csv||"), (Filters{"Text (*.txt) (*.csv)"}));
}

TEST(FileFilter, MalformedFiltersGiveWhatIsComplete) {
    EXPECT_TRUE(nameFiltersFromWindowsFilter("").empty());
    EXPECT_TRUE(nameFiltersFromWindowsFilter("||").empty());
    EXPECT_EQ(nameFiltersFromWindowsFilter("A|*.a|B"), (Filters{"A (*.a)"}));         // name without pattern
    EXPECT_EQ(nameFiltersFromWindowsFilter("A|*.a||B|*.b||"), (Filters{"A (*.a)"}));  // stops at "||"
    EXPECT_TRUE(nameFiltersFromWindowsFilter("A||").empty());                         // empty pattern
}

TEST(RecentFileList, NewestFirstWithoutDuplicatesAndAtMostItsSize) {
    platform::MemoryProfile profile;
    RecentFileList list(profile, 4);
    int changes = 0;
    list.setOnChange([&] { ++changes; });
    for (const char* p : {"/a.fsy", "/b.fsy", "/c.fsy", "/d.fsy", "/e.fsy"}) list.add(p);
    EXPECT_EQ(list.entries(), (Filters{"/e.fsy", "/d.fsy", "/c.fsy", "/b.fsy"}));
    list.add("/c.fsy");
    EXPECT_EQ(list.entries(), (Filters{"/c.fsy", "/e.fsy", "/d.fsy", "/b.fsy"}));
    list.add("");
    EXPECT_EQ(list.entries().size(), 4u);
    EXPECT_EQ(changes, 6);
}

TEST(RecentFileList, KeptInTheProfileUnderTheFrameworksKeys) {
    platform::MemoryProfile profile;
    {
        RecentFileList list(profile, 4);
        list.add("/data/一.fsy");
        list.add("/data/二.fsy");
    }
    EXPECT_EQ(profile.readString("Recent File List", "File1"), "/data/二.fsy");
    EXPECT_EQ(profile.readString("Recent File List", "File2"), "/data/一.fsy");
    EXPECT_EQ(profile.readString("Recent File List", "File3"), "");

    // Empty keys in the middle of a stored list leave no holes.
    profile.writeString("Recent File List", "File2", "");
    profile.writeString("Recent File List", "File4", "/x.fsy");
    RecentFileList again(profile, 4);
    EXPECT_EQ(again.entries(), (Filters{"/data/二.fsy", "/x.fsy"}));
}

namespace {
class Target : public CommandTarget {
public:
    Target(std::set<CommandId> ids, bool enabled) : ids_(std::move(ids)), enabled_(enabled) {}
    bool handles(CommandId id) const override { return ids_.count(id) != 0; }
    bool isEnabled(CommandId) const override { return enabled_; }
    void run(CommandId id) override { ran.push_back(id); }
    std::vector<CommandId> ran;

private:
    std::set<CommandId> ids_;
    bool enabled_;
};
}  // namespace

TEST(CommandRouter, FirstTargetThatHandlesACommandTakesItAndItsEnableRule) {
    Target document({CommandId::FileOpen}, false);
    Target application({CommandId::FileOpen, CommandId::FileNew}, true);
    CommandRouter router;
    router.addTarget(document);
    router.addTarget(application);

    EXPECT_EQ(router.targetFor(CommandId::FileOpen), &document);
    EXPECT_FALSE(router.isEnabled(CommandId::FileOpen));
    EXPECT_FALSE(router.run(CommandId::FileOpen));
    EXPECT_TRUE(router.run(CommandId::FileOpen, true));
    EXPECT_TRUE(router.run(CommandId::FileNew));
    EXPECT_EQ(document.ran, std::vector<CommandId>{CommandId::FileOpen});
    EXPECT_EQ(application.ran, std::vector<CommandId>{CommandId::FileNew});

    EXPECT_FALSE(router.isEnabled(CommandId::AppAbout));
    EXPECT_FALSE(router.run(CommandId::AppAbout, true));
}

TEST(CommandTable, EveryMenuToolbarAndAcceleratorCommandIsDescribed) {
    std::set<CommandId> described;
    std::set<std::string> pictures;
    for (const auto& c : commandTable()) {
        EXPECT_TRUE(described.insert(c.id).second) << static_cast<int>(c.id);
        // One picture means one command, in the toolbar and in the menus alike.
        if (c.picture) {
            EXPECT_TRUE(pictures.insert(c.picture).second) << c.picture;
        }
    }
    auto known = [&](CommandId id) { return id == CommandId::Separator || isRecentFile(id) || described.count(id); };
    for (const auto& menu : mainMenu())
        for (auto id : menu.items) EXPECT_TRUE(known(id)) << static_cast<int>(id);
    for (auto id : toolBarButtons()) {
        EXPECT_TRUE(known(id)) << static_cast<int>(id);
        if (id != CommandId::Separator) {
            EXPECT_NE(findCommand(id)->picture, nullptr) << static_cast<int>(id);
        }
    }
    for (const auto& a : accelerators()) EXPECT_TRUE(known(a.id)) << a.keys;
    EXPECT_EQ(findCommand(CommandId::DataTransfer)->prompt, std::string("将机内数据上传"));
    EXPECT_EQ(findCommand(CommandId::DataTransfer)->tooltip, std::string("数据传输"));
}

TEST(DocumentCommands, FollowTheDocumentsRulesAndMakeTheTransferDialogWhenRun) {
    ScriptedDocUi ui;
    CFendalDoc doc(ui);
    struct CountedTransfer : TransferRunner {
        explicit CountedTransfer(int& runs) : runs_(runs) {}
        bool runTransfer() override { return ++runs_, false; }
        int& runs_;
    };
    int made = 0, runs = 0;
    DocumentCommands commands(doc, [&]() -> std::unique_ptr<TransferRunner> {
        ++made;
        return std::make_unique<CountedTransfer>(runs);
    });
    CommandRouter router;
    router.addTarget(commands);

    for (auto id : {CommandId::FileSave, CommandId::FileSaveAs, CommandId::DeletePoint, CommandId::InsertPoint,
                    CommandId::AddPoint})
        EXPECT_FALSE(router.isEnabled(id)) << static_cast<int>(id);
    EXPECT_TRUE(router.isEnabled(CommandId::FileOpen));
    EXPECT_FALSE(commands.handles(CommandId::FileRestore));  // the frame's

    doc.group.files.push_back(sampleFile(2, "/tmp/a.fsy"));
    doc.setCurrent(0, 1);
    for (auto id : {CommandId::FileSave, CommandId::DeletePoint, CommandId::InsertPoint, CommandId::AddPoint})
        EXPECT_TRUE(router.isEnabled(id)) << static_cast<int>(id);

    // A transfer that did not end with OK leaves the group as it was.
    EXPECT_TRUE(router.run(CommandId::DataTransfer));
    EXPECT_EQ(made, 1);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(doc.group.fileCount(), 1);

    ui.answers.push_back(MsgAnswer::Yes);
    EXPECT_TRUE(router.run(CommandId::DeletePoint));
    EXPECT_EQ(ui.shown.back().text, "是否要删除数据？");
    EXPECT_EQ(doc.group.files[0].pointCount(), 1);
}
