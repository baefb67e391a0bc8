// The document's questions and file choosers as real Qt dialogs, answered by a script.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QTest>
#include <QTreeView>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "app/command_table.h"
#include "app/file_dialog_setup.h"
#include "app/qt_doc_ui.h"
#include "support/temp_folder.h"

using namespace fendal;
using namespace fendal::app;
using namespace fendal::data;

namespace {

// Runs `answer` on the first modal dialog of type T once it shows.
template <class T>
void whenShown(std::function<void(T&)> answer) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            answer(*dialog);
            if (dialog->isVisible()) {  // never leave the test waiting on a dialog
                ADD_FAILURE() << "the dialog did not take the answer";
                dialog->reject();
            }
        }
    });
    timer->start(10);
}

struct Ui {
    platform::MemoryProfile profile;
    RecentFileList recent{profile, kRecentFileCount};
    QtDocUi ui{recent};
};

}  // namespace

TEST(QtDocUi, MessageBoxShowsTheCallsTextCaptionIconAndButtons) {
    Ui u;
    whenShown<QMessageBox>([](QMessageBox& box) {
        EXPECT_EQ(box.windowTitle(), "Tesmar科技缝深检测分析软件V1.3");
        EXPECT_EQ(box.text(), "是否要删除数据？");
        EXPECT_EQ(box.icon(), QMessageBox::Warning);
        EXPECT_EQ(box.standardButtons(), QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.button(QMessageBox::No)->click();
    });
    EXPECT_EQ(u.ui.messageBox("是否要删除数据？", "Tesmar科技缝深检测分析软件V1.3", MsgButtons::YesNoCancel,
                              MsgIcon::Warning),
              MsgAnswer::No);

    // Closing a box counts as its way out.
    whenShown<QMessageBox>([](QMessageBox& box) { box.reject(); });
    EXPECT_EQ(u.ui.messageBox("?", "c", MsgButtons::YesNoCancel, MsgIcon::Question), MsgAnswer::Cancel);
    whenShown<QMessageBox>([](QMessageBox& box) { box.button(QMessageBox::Ok)->click(); });
    EXPECT_EQ(u.ui.messageBox("!", "c", MsgButtons::Ok, MsgIcon::Error), MsgAnswer::Ok);
}

TEST(QtDocUi, OpenDialogTakesTheProgramsFilterAndGivesNativePaths) {
    Ui u;
    TempFolder folder;
    TempFolder::writeAll(folder.file("一.fsy"), {1});
    TempFolder::writeAll(folder.file("二.fsy"), {2});
    FileDialogOptions options;
    options.title = "打开(支持多选)";
    options.filter = "裂缝原始数据(*.fsy)|*.fsy|所有文件 (*.*)|*.*||";
    options.allowMultiSelect = true;
    whenShown<QFileDialog>([&](QFileDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "打开(支持多选)");
        EXPECT_EQ(dialog.nameFilters(), (QStringList{"裂缝原始数据(*.fsy)", "所有文件 (*.*)"}));
        EXPECT_EQ(dialog.fileMode(), QFileDialog::ExistingFiles);
        dialog.setDirectory(QString::fromStdString(folder.path().string()));
        dialog.findChild<QLineEdit*>("fileNameEdit")->setText("\"一.fsy\" \"二.fsy\"");
        static_cast<QDialog&>(dialog).accept();
    });
    auto paths = u.ui.chooseOpenFiles(options);
    ASSERT_TRUE(paths.has_value());
    std::sort(paths->begin(), paths->end());
    EXPECT_EQ(*paths, (std::vector<std::string>{folder.file("一.fsy"), folder.file("二.fsy")}));

    whenShown<QFileDialog>([](QFileDialog& dialog) { dialog.reject(); });
    EXPECT_FALSE(u.ui.chooseOpenFiles(options).has_value());
}

TEST(QtDocUi, SaveDialogAddsTheDefaultExtension) {
    Ui u;
    TempFolder folder;
    FileDialogOptions options;
    options.defaultExt = "fsy";
    options.filter = "裂缝原始数据(*.fsy)|*.fsy|所有文件 (*.*)|*.*||";
    whenShown<QFileDialog>([&](QFileDialog& dialog) {
        EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
        EXPECT_TRUE(dialog.testOption(QFileDialog::DontConfirmOverwrite));  // the caller did not ask
        dialog.setDirectory(QString::fromStdString(folder.path().string()));
        dialog.findChild<QLineEdit*>("fileNameEdit")->setText("桥墩");
        static_cast<QDialog&>(dialog).accept();
    });
    EXPECT_EQ(u.ui.chooseSaveFile(options), folder.file("桥墩.fsy"));
}

TEST(QtDocUi, SaveDialogStartsOnTheFileAndShowsItsTypeSizeAndDate) {
    Ui u;
    TempFolder folder;
    const std::string file = folder.file("桥墩一号.fsy");
    TempFolder::writeAll(file, std::vector<unsigned char>(123'456, 1));
    FileDialogOptions options;
    options.defaultExt = "fsy";
    options.filter = "裂缝原始数据(*.fsy)|*.fsy|所有文件 (*.*)|*.*||";
    options.startPath = file;
    whenShown<QFileDialog>([&](QFileDialog& dialog) {
        EXPECT_EQ(dialog.directory().absolutePath(), QString::fromStdString(folder.path().string()));
        EXPECT_EQ(dialog.findChild<QLineEdit*>("fileNameEdit")->text(), "桥墩一号.fsy");
        auto* details = dialog.findChild<QTreeView*>("treeView");
        auto* files = dialog.findChild<QFileSystemModel*>();
        ASSERT_TRUE(details && files);
        const QModelIndex name = files->index(QString::fromStdString(file));
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return !files->index(name.row(), 2, name.parent()).data().toString().isEmpty(); }));
        EXPECT_EQ(files->index(name.row(), 2, name.parent()).data().toString(), crackFileTypeName());
        EXPECT_NE(crackFileTypeName(), "unknown");
        // Size and date are not cut off.
        const QFontMetrics metrics(details->font());
        for (int column : {1, 2, 3}) {
            const QString text = files->index(name.row(), column, name.parent()).data().toString();
            EXPECT_GE(details->header()->sectionSize(column), metrics.horizontalAdvance(text) + 8)
                << text.toStdString();
        }
        dialog.reject();
    });
    u.ui.chooseSaveFile(options);

    // A file whose folder has gone: the dialog opens in the nearest folder that is left.
    options.startPath = folder.file("gone/deeper/a.fsy");
    whenShown<QFileDialog>([&](QFileDialog& dialog) {
        EXPECT_EQ(dialog.directory().absolutePath(), QString::fromStdString(folder.path().string()));
        dialog.reject();
    });
    u.ui.chooseSaveFile(options);
}

TEST(QtDocUi, OpenedPathsReachTheRecentFileList) {
    Ui u;
    u.ui.addToRecentFiles("/a.fsy");
    EXPECT_EQ(u.recent.entries(), std::vector<std::string>{"/a.fsy"});
}
