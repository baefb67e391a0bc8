// The File menu's CSV export as the user meets it: its place, when it can be chosen, the save
// dialog, the file it writes and what the user is told when it cannot.
#include <gtest/gtest.h>

#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <cstring>
#include <filesystem>

#include "app/qt_doc_ui.h"
#include "data/app_strings.h"
#include "frame_fixture.h"
#include "office/point_csv.h"

using namespace fendal;
using namespace fendal::app;
using namespace fendal::data;
using namespace fendal::office;

namespace {

std::string contents(const std::string& path) {
    const auto bytes = TempFolder::readAll(path);
    return {bytes.begin(), bytes.end()};
}

std::string csvOf(const FileGroup& group) {
    std::string out;
    CsvTextFault fault;
    EXPECT_TRUE(groupToCsv(group, out, fault));
    return out;
}

QMenu* fileMenu(CMainFrame& frame) { return frame.menuBar()->actions()[0]->menu(); }

class CsvExportTest : public FrameFixture {};

TEST_F(CsvExportTest, StandsBelowSaveAsAndCanBeChosenOnceAFileIsOpen) {
    start();
    QAction* exportCsv = action(CommandId::ExportCsv);
    ASSERT_NE(exportCsv, nullptr);
    const QList<QAction*> items = fileMenu(frame())->actions();
    const qsizetype saveAs = items.indexOf(action(CommandId::FileSaveAs));
    ASSERT_GE(saveAs, 0);
    EXPECT_EQ(items.value(saveAs + 1), exportCsv);
    EXPECT_EQ(exportCsv->text(), "导出CSV(&E)...");
    EXPECT_EQ(exportCsv->objectName(), "command32798");
    EXPECT_FALSE(exportCsv->isEnabled());

    openFiles({writeSample("a.fsy", 2)});
    EXPECT_TRUE(exportCsv->isEnabled());
    doc().setCurrent(-1, -1);  // every file of the group is exported, whichever is current
    frame().updateCommandStates();
    EXPECT_TRUE(exportCsv->isEnabled());
}

TEST_F(CsvExportTest, WritesEveryFileOfTheGroupWhereTheUserChose) {
    const std::string a = writeSample("a.fsy", 3), b = writeSample("b.fsy", 2, 10);
    start();
    openFiles({a, b});
    const std::string csv = folder.file("导出.csv");
    ui.saveChoices.push_back(csv);
    // Through the menu with the keyboard, as the user would: Alt+F, then E.
    QTimer::singleShot(0, [&] { QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_E); });
    QTest::keyClick(&frame(), Qt::Key_F, Qt::AltModifier);
    QTest::qWait(1);

    ASSERT_FALSE(ui.dialogs.empty());
    const FileDialogOptions& options = ui.dialogs.back();
    EXPECT_EQ(options.filter, "CSV文件(*.csv)|*.csv|所有文件 (*.*)|*.*||");
    EXPECT_EQ(options.defaultExt, "csv");
    EXPECT_TRUE(options.overwritePrompt);
    EXPECT_EQ(options.startPath, folder.file("a.csv"));  // beside the group's first file
    EXPECT_EQ(contents(csv), csvOf(doc().group));
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_FALSE(doc().isModified());

    // Cancel writes nothing.
    std::filesystem::remove(csv);
    action(CommandId::ExportCsv)->trigger();
    EXPECT_FALSE(std::filesystem::exists(csv));
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(CsvExportTest, TellsTheUserWhyNothingWasWritten) {
    start({"fendal", writeSample("a.fsy", 2)});
    const std::string missing = folder.file("gone/out.csv");
    ui.saveChoices.push_back(missing);
    action(CommandId::ExportCsv)->trigger();
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].caption, kAppTitle);
    EXPECT_EQ(ui.shown[0].icon, MsgIcon::Warning);
    EXPECT_EQ(ui.shown[0].text, "无法导出CSV文件“" + missing + "”:\n" +
                                    std::make_error_code(std::errc::no_such_file_or_directory).message());

    // A note that is not GBK (written by another program) would not come back: refused by place.
    std::strcpy(doc().group.files[0].points[1].note, "\xFF");
    const std::string csv = folder.file("out.csv");
    ui.saveChoices.push_back(csv);
    action(CommandId::ExportCsv)->trigger();
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_EQ(ui.shown[1].text,
              "无法导出CSV文件“" + csv + "”:\n文件“" + folder.file("a.fsy") + "”的第2个测点的备注不是有效的GBK文字");
    EXPECT_FALSE(std::filesystem::exists(csv));

    // Chosen over the open file itself (with "所有文件"): the file on disk is kept.
    const std::string fsy = doc().group.files[0].path;
    const auto before = TempFolder::readAll(fsy);
    ui.saveChoices.push_back(fsy);
    action(CommandId::ExportCsv)->trigger();
    ASSERT_EQ(ui.shown.size(), 3u);
    EXPECT_EQ(ui.shown[2].text, "无法导出CSV文件“" + fsy + "”:\n它是打开的测深数据文件之一");
    EXPECT_EQ(TempFolder::readAll(fsy), before);
}

// The real save dialog, set up as the program's other file dialogs are.
TEST(CsvExportDialog, OffersCsvFilesAndAddsTheExtension) {
    TempFolder folder;
    CrackDataFile f = sampleFile(4, folder.file("桥墩.fsy"));
    ASSERT_TRUE(writeCrackFile(f));
    platform::MemoryProfile profile;
    RecentFileList recent{profile, kRecentFileCount};
    QtDocUi ui{recent};
    CFendalApp app(profile, ui, recent);
    app.initInstance({"fendal", f.path});

    bool shown = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        shown = true;
        EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
        EXPECT_EQ(dialog->nameFilters(), (QStringList{"CSV文件(*.csv)", "所有文件 (*.*)"}));
        EXPECT_EQ(dialog->directory().absolutePath(), QString::fromStdString(folder.path().string()));
        auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        EXPECT_EQ(name->text(), "桥墩.csv");
        name->setText("结果");
        static_cast<QDialog*>(dialog)->accept();
    });
    app.mainFrame()->action(CommandId::ExportCsv)->trigger();
    ASSERT_TRUE(shown);
    EXPECT_EQ(contents(folder.file("结果.csv")), csvOf(app.document().group));
}

}  // namespace
