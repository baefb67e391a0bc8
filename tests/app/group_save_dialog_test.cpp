// The group save-as dialog: the check list beside the file dialog, names edited through the
// file-name field, and the document's Save As running on it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>
#include <filesystem>

#include "app/command_table.h"
#include "app/group_save_dialog.h"
#include "app/qt_doc_ui.h"
#include "data/crack_file_io.h"
#include "data/fendal_doc.h"
#include "support/sample_points.h"
#include "support/temp_folder.h"

using namespace fendal;
using namespace fendal::app;
using namespace fendal::data;

namespace {

// Runs `drive` on the dialog as soon as it is shown modally.
void whenDialogShows(std::function<void(CGroupSaveDialog&)> drive) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, drive] {
        if (auto* dialog = qobject_cast<CGroupSaveDialog*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            drive(*dialog);
            if (dialog->isVisible()) {  // never leave the test waiting on a dialog
                ADD_FAILURE() << "the dialog did not close";
                dialog->reject();
            }
        }
    });
    timer->start(10);
}

}  // namespace

TEST(GroupSaveDialog, ListSitsBesideTheFilesAndShowsNamesWithChecks) {
    CGroupSaveDialog dialog(FileDialogOptions{});
    dialog.setLines({"a.fsy", "b.fsy", "c.fsy"}, {true, false, true});
    EXPECT_EQ(dialog.fileList()->count(), 3);
    EXPECT_EQ(dialog.fileList()->item(1)->checkState(), Qt::Unchecked);
    ASSERT_NE(dialog.fileNameField(), nullptr);
    EXPECT_TRUE(dialog.testOption(QFileDialog::DontUseNativeDialog));
    EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);

    dialog.resize(800, 500);
    dialog.show();
    QApplication::processEvents();
    QWidget* files = dialog.findChild<QWidget*>("treeView");  // the detail view is shown first
    ASSERT_TRUE(files && files->isVisible());
    QPoint listAt = dialog.fileList()->mapTo(&dialog, QPoint(0, 0));
    EXPECT_GE(listAt.x(), files->mapTo(&dialog, QPoint(files->width(), 0)).x());
    EXPECT_GE(dialog.fileList()->width(), CGroupSaveDialog::kListWidth);
}

TEST(GroupSaveDialog, SelectingCopiesTheNameAndEditingRenamesTheSelectedLine) {
    CGroupSaveDialog dialog(FileDialogOptions{});
    dialog.setLines({"a.fsy", "b.fsy"}, {true, false});
    QListWidget* list = dialog.fileList();
    QLineEdit* field = dialog.fileNameField();

    field->setText("x.fsy");  // nothing selected: no line changes
    list->setCurrentRow(1);
    EXPECT_EQ(field->text(), "b.fsy");

    field->setText("新名.fsy");
    EXPECT_EQ(list->item(1)->text(), "新名.fsy");
    EXPECT_EQ(list->item(1)->checkState(), Qt::Unchecked);
    EXPECT_EQ(list->currentRow(), 1);
    EXPECT_TRUE(list->item(1)->isSelected());

    // A cleared field or a folder path leaves the name; a path keeps only its file name.
    field->clear();
    field->setText("sub/");
    EXPECT_EQ(list->item(1)->text(), "新名.fsy");
    field->setText("sub/c.fsy");
    EXPECT_EQ(list->item(1)->text(), "c.fsy");

    list->setCurrentRow(0);
    EXPECT_EQ(field->text(), "a.fsy");
    std::vector<std::string> names;
    std::vector<bool> checks;
    dialog.readLines(names, checks);
    EXPECT_EQ(names, (std::vector<std::string>{"a.fsy", "c.fsy"}));
    EXPECT_EQ(checks, (std::vector<bool>{true, false}));
}

TEST(GroupSaveDialog, SaveAsWritesOnlyCheckedFilesUnderTheirEditedNamesIntoTheChosenFolder) {
    TempFolder source, target;
    platform::MemoryProfile profile;
    RecentFileList recent(profile, kRecentFileCount);
    QtDocUi ui(recent);
    CFendalDoc doc(ui);
    doc.group.files.push_back(sampleFile(3, source.file("a.fsy")));
    doc.group.files.push_back(sampleFile(2, source.file("b.fsy"), 10));
    doc.group.files.push_back(sampleFile(1, source.file("c.fsy"), 20));
    doc.setModifiedFlag(true);

    QString chosenFolder = QString::fromStdString(target.path().string());
    whenDialogShows([&](CGroupSaveDialog& dialog) {
        EXPECT_EQ(dialog.fileList()->count(), 3);
        dialog.setDirectory(chosenFolder);
        dialog.fileList()->setCurrentRow(0);
        dialog.fileNameField()->setText("甲.fsy");
        dialog.fileList()->item(1)->setCheckState(Qt::Unchecked);
        dialog.fileList()->setCurrentRow(2);     // the field now names c.fsy, the chosen path
        static_cast<QDialog&>(dialog).accept();  // OK, as the button does
    });
    doc.onFileSaveAs();

    std::set<std::string> written;
    for (const auto& e : std::filesystem::directory_iterator(target.path())) written.insert(e.path().filename());
    EXPECT_EQ(written, (std::set<std::string>{"甲.fsy", "c.fsy"}));
    EXPECT_FALSE(std::filesystem::exists(source.file("a.fsy")));  // nothing went to the old folder

    CrackDataFile back;
    ASSERT_TRUE(readCrackFile(target.file("甲.fsy"), back));
    ASSERT_EQ(back.pointCount(), 3);
    EXPECT_EQ(back.points[2].depth, samplePoint(2).depth);
    EXPECT_EQ(doc.group.files[0].path, target.file("甲.fsy"));
    EXPECT_EQ(doc.group.files[1].path, source.file("b.fsy"));
    EXPECT_FALSE(doc.isModified());
}

TEST(GroupSaveDialog, CancelWritesNothing) {
    TempFolder source;
    platform::MemoryProfile profile;
    RecentFileList recent(profile, kRecentFileCount);
    QtDocUi ui(recent);
    CFendalDoc doc(ui);
    doc.group.files.push_back(sampleFile(1, source.file("a.fsy")));
    doc.group.files.push_back(sampleFile(1, source.file("b.fsy")));
    doc.setModifiedFlag(true);
    whenDialogShows([](CGroupSaveDialog& dialog) { dialog.reject(); });
    doc.onFileSaveAs();
    EXPECT_TRUE(std::filesystem::is_empty(source.path()));
    EXPECT_TRUE(doc.isModified());
}
