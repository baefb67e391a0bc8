// The main window as the user meets it: commands, texts, enable rules, keys, recent files,
// the command line and closing.
#include <gtest/gtest.h>

#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QMenuBar>
#include <QShortcut>
#include <QStatusBar>
#include <QToolBar>

#include "app/about_dialog.h"
#include "data/app_strings.h"
#include "frame_fixture.h"
#include "print/print_preview_dialog.h"

using namespace fendal;
using namespace fendal::app;
using namespace fendal::data;
using namespace fendal::print;

namespace {

class MainFrameTest : public FrameFixture {
protected:
    void pressRestoreKeys(int& before) {
        before = static_cast<int>(ui.shown.size());
        frame().view()->setFocus();  // the keys work wherever the focus is in the window
        QTest::keyClick(frame().view(), Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(frame().view(), Qt::Key_Backspace, Qt::AltModifier);
    }
};

QStringList texts(const QList<QAction*>& actions) {
    QStringList t;
    for (auto* a : actions)
        if (a->isVisible()) t << (a->isSeparator() ? QString("-") : a->text());
    return t;
}

}  // namespace

TEST_F(MainFrameTest, StartsMaximisedWithEveryCommandAndItsTexts) {
    start();
    EXPECT_TRUE(frame().windowState() & Qt::WindowMaximized);
    EXPECT_EQ(frame().companyPane()->text(), "Tesmar科技集团");
    EXPECT_EQ(frame().messagePane()->text(), "--Tesmar科技仪器 服务于中国建设");
    EXPECT_EQ(frame().windowTitle(), "无标题[*] - Tesmar科技缝深检测分析软件V1.0");

    for (const auto& info : commandTable()) {
        QAction* a = action(info.id);
        ASSERT_NE(a, nullptr) << static_cast<int>(info.id);
        EXPECT_EQ(a->statusTip(), QString::fromUtf8(info.prompt));
        EXPECT_EQ(a->toolTip(), QString::fromUtf8(info.tooltip));
    }
    EXPECT_EQ(action(CommandId::FileOpen)->text(), "打开(&O)...\tCtrl+O");
    EXPECT_EQ(action(CommandId::FileRestore)->text(), "文件还原(&U)\tCtrl+Z");
    EXPECT_EQ(action(CommandId::DataTransfer)->statusTip(), "将机内数据上传");

    QList<QAction*> menus = frame().menuBar()->actions();
    EXPECT_EQ(texts(menus), (QStringList{"文件(&F)", "编辑(&E)", "查看(&V)", "工具(&T)", "帮助(&H)"}));
    EXPECT_EQ(
        texts(menus[0]->menu()->actions()),
        (QStringList{"打开(&O)...\tCtrl+O", "保存(&S)\tCtrl+S", "另存为(&A)...", "导出CSV(&E)...", "-",
                     "打印(&P)...\tCtrl+P", "打印预览(&V)", "打印设置(&R)...", "-", "最近文件", "-", "退出(&X)"}));
    QStringList edit{"文件还原(&U)\tCtrl+Z",
                     "-",
                     "剪切(&T)\tCtrl+X",
                     "复制(&C)\tCtrl+C",
                     "粘贴(&P)\tCtrl+V",
                     "-",
                     "删除(&D)",
                     "插入(&I)",
                     "添加(&A)"};
    EXPECT_EQ(texts(menus[1]->menu()->actions()), edit);
    EXPECT_EQ(texts(frame().contextMenu()->actions()), edit);
    EXPECT_EQ(frame().contextMenu()->actions()[0], action(CommandId::FileRestore));  // the same command
    EXPECT_EQ(texts(menus[3]->menu()->actions()), (QStringList{"数据传输(&T)", "-", "生成报告(&W)", "生成报表(&E)"}));
    EXPECT_EQ(texts(menus[4]->menu()->actions()), (QStringList{"帮助主题(&H)", "-", "关于本软件(&A)..."}));

    // Toolbar pictures are the menus' pictures: one action per command.
    QStringList bar;
    for (auto* a : frame().toolBar()->actions())
        bar << (a->isSeparator() ? QString("0") : QString::number(a->objectName().mid(7).toInt()));
    EXPECT_EQ(bar.join(","),
              "57601,57603,0,32787,32788,0,57635,57634,57637,0,32790,32791,32792,0,57643,0,"
              "57606,57609,57607,0,32796,0,57664");
    for (auto* a : frame().toolBar()->actions()) {
        if (a->isSeparator()) continue;
        EXPECT_FALSE(a->icon().isNull()) << a->toolTip().toStdString();
    }
}

TEST_F(MainFrameTest, EmptyGroupDisablesEverythingThatNeedsFilesOrAPoint) {
    start();
    for (CommandId id :
         {CommandId::FileSave, CommandId::FileSaveAs, CommandId::FilePrint, CommandId::FilePrintPreview,
          CommandId::ReportWord, CommandId::ReportExcel, CommandId::DeletePoint, CommandId::InsertPoint,
          CommandId::AddPoint, CommandId::EditCut, CommandId::EditCopy, CommandId::EditPaste, CommandId::FileRestore})
        EXPECT_FALSE(action(id)->isEnabled()) << static_cast<int>(id);
    EXPECT_FALSE(recentAction(0)->isEnabled());  // the empty list's place
    for (CommandId id : {CommandId::FileNew, CommandId::FileOpen, CommandId::FilePrintSetup, CommandId::DataTransfer,
                         CommandId::AppAbout, CommandId::AppExit, CommandId::HelpTopics, CommandId::ViewToolBar,
                         CommandId::ViewStatusBar})
        EXPECT_TRUE(action(id)->isEnabled()) << static_cast<int>(id);
    EXPECT_TRUE(action(CommandId::ViewToolBar)->isChecked());
    EXPECT_TRUE(action(CommandId::ViewStatusBar)->isChecked());

    // Keys of disabled commands do nothing: no save dialog for an empty group.
    QTest::keyClick(&frame(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(ui.dialogs.empty());
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(MainFrameTest, ToolbarAndStatusBarCanBeHiddenAndShownAgain) {
    start();
    action(CommandId::ViewToolBar)->trigger();
    EXPECT_TRUE(frame().toolBar()->isHidden());
    EXPECT_FALSE(action(CommandId::ViewToolBar)->isChecked());
    action(CommandId::ViewStatusBar)->trigger();
    EXPECT_TRUE(frame().statusBar()->isHidden());
    action(CommandId::ViewToolBar)->trigger();
    action(CommandId::ViewStatusBar)->trigger();
    EXPECT_FALSE(frame().toolBar()->isHidden());
    EXPECT_TRUE(action(CommandId::ViewStatusBar)->isChecked());
}

TEST_F(MainFrameTest, RestoreKeysExplainThatAFileMustBeChosen) {
    start();
    int before = 0;
    pressRestoreKeys(before);
    ASSERT_EQ(ui.shown.size(), before + 2u);
    for (std::size_t i = before; i < ui.shown.size(); ++i) {
        EXPECT_EQ(ui.shown[i].text, "请选择要还原的文件！");
        EXPECT_EQ(ui.shown[i].caption, kAppTitle);
    }
}

TEST_F(MainFrameTest, OpeningAGroupEnablesItsCommandsAndRestoreAsksFirst) {
    start();
    std::string a = writeSample("a.fsy", 3), b = writeSample("b.fsy", 2, 10);
    ui.openChoices.push_back(std::vector<std::string>{a, b});
    QTest::keyClick(&frame(), Qt::Key_O, Qt::ControlModifier);

    ASSERT_EQ(doc().group.fileCount(), 2);
    EXPECT_EQ(ui.recent, (std::vector<std::string>{a, b}));
    EXPECT_TRUE(frame().windowTitle().startsWith("成组文件[*] - "));
    for (CommandId id : {CommandId::FileSave, CommandId::FileSaveAs, CommandId::FilePrint, CommandId::ReportExcel})
        EXPECT_TRUE(action(id)->isEnabled()) << static_cast<int>(id);
    EXPECT_FALSE(action(CommandId::FileRestore)->isEnabled());  // no current file yet

    // A point becomes current: the point commands follow at once.
    doc().selectFlat(1);
    emit frame().view()->currentChanged();
    EXPECT_TRUE(action(CommandId::FileRestore)->isEnabled());
    EXPECT_TRUE(action(CommandId::DeletePoint)->isEnabled());
    EXPECT_TRUE(action(CommandId::EditCopy)->isEnabled());

    // Answering No to the restore question keeps the edited points and the modified flag.
    doc().group.files[0].points[1].depth = 999;
    doc().setModifiedFlag(true);
    EXPECT_TRUE(frame().isWindowModified());
    ui.answers.push_back(MsgAnswer::No);
    QTest::keyClick(&frame(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(ui.shown.back().text, "确实要还原文件“" + a + "”?");
    EXPECT_EQ(ui.shown.back().buttons, MsgButtons::YesNoCancel);
    EXPECT_EQ(doc().group.files[0].points[1].depth, 999);
    EXPECT_TRUE(doc().isModified());

    // Yes restores the received points.
    ui.answers.push_back(MsgAnswer::Yes);
    QTest::keyClick(&frame(), Qt::Key_Backspace, Qt::AltModifier);
    EXPECT_EQ(doc().group.files[0].points[1].depth, samplePoint(1).depth);
}

TEST_F(MainFrameTest, RecentFilesOpenAndAMissingOneChangesNothing) {
    TempFolder other;
    std::string a = writeSample("a.fsy", 3);
    std::string gone = other.file("gone.fsy");
    recent.add(gone);
    recent.add(a);
    start();
    EXPECT_TRUE(recentAction(0)->text().endsWith("a.fsy"));
    EXPECT_TRUE(recentAction(0)->text().startsWith("&1 "));
    EXPECT_TRUE(recentAction(1)->isEnabled());

    recentAction(0)->trigger();
    ASSERT_EQ(doc().group.fileCount(), 1);
    EXPECT_EQ(doc().currentFile(), 0);
    EXPECT_EQ(doc().title(), "a.fsy");
    EXPECT_TRUE(action(CommandId::FileRestore)->isEnabled());

    recentAction(1)->trigger();  // the file that no longer exists
    EXPECT_EQ(doc().group.fileCount(), 1);
    EXPECT_EQ(doc().group.files[0].path, a);
    EXPECT_EQ(recent.entries().size(), 2u);  // the entry stays
}

TEST_F(MainFrameTest, FileOnTheCommandLineOpensAsOneFileGroup) {
    std::string a = writeSample("一号.fsy", 4);
    start({"fendal", a});
    ASSERT_EQ(doc().group.fileCount(), 1);
    EXPECT_EQ(doc().group.files[0].pointCount(), 4);
    EXPECT_EQ(frame().windowTitle(), "一号.fsy[*] - Tesmar科技缝深检测分析软件V1.0");
    EXPECT_FALSE(frame().isWindowModified());
    EXPECT_EQ(recent.entries().front(), a);
}

TEST_F(MainFrameTest, CommandLineFileNamedInBytesThatAreNotUtf8Opens) {
    std::string a = writeSample("\xd2\xbb\xba\xc5.fsy", 4);  // 一号 in GBK, as copied from Windows
    start({"fendal", a});
    ASSERT_EQ(doc().group.fileCount(), 1);
    EXPECT_EQ(doc().group.files[0].path, a);
    EXPECT_EQ(frame().windowTitle(), "一号.fsy[*] - Tesmar科技缝深检测分析软件V1.0");
}

TEST_F(MainFrameTest, RelativeCommandLinePathIsKeptAbsolute) {
    std::string a = writeSample("a.fsy", 1);
    QString before = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(folder.path().string()));
    start({"fendal", "a.fsy"});
    QDir::setCurrent(before);
    ASSERT_EQ(doc().group.fileCount(), 1);
    EXPECT_EQ(doc().group.files[0].path, a);
    EXPECT_EQ(recent.entries().front(), a);
}

TEST_F(MainFrameTest, UnreadableCommandLineFileStartsEmptyWithoutAMessage) {
    start({"fendal", folder.file("missing.fsy")});
    EXPECT_EQ(doc().group.fileCount(), 0);
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_TRUE(frame().isVisible());
}

TEST_F(MainFrameTest, ClosingAsksToSaveAndCancelKeepsTheProgramRunning) {
    start({"fendal", writeSample("a.fsy", 2)});
    doc().setModifiedFlag(true);
    ui.answers.push_back(MsgAnswer::Cancel);
    EXPECT_FALSE(frame().close());
    EXPECT_EQ(ui.shown.back().text, "将改动文件保存？");
    EXPECT_TRUE(frame().isVisible());

    ui.answers.push_back(MsgAnswer::No);
    EXPECT_TRUE(frame().close());
}

TEST_F(MainFrameTest, NewEmptiesTheGroupOnlyAfterTheSavePrompt) {
    start({"fendal", writeSample("a.fsy", 2)});
    doc().setModifiedFlag(true);
    ui.answers.push_back(MsgAnswer::Cancel);
    QTest::keyClick(&frame(), Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(doc().group.fileCount(), 1);
    EXPECT_TRUE(doc().isModified());

    ui.answers.push_back(MsgAnswer::No);
    QTest::keyClick(&frame(), Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(doc().group.fileCount(), 0);
    EXPECT_FALSE(doc().isModified());
    EXPECT_FALSE(action(CommandId::FileSave)->isEnabled());
}

TEST_F(MainFrameTest, AboutBoxShowsTheProgramAndClosesWithItsButton) {
    start();
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* about = qobject_cast<CAboutDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(about, nullptr);
        seen = true;
        EXPECT_EQ(about->windowTitle(), "关于本软件");
        QStringList labels;
        for (auto* l : about->findChildren<QLabel*>()) labels << l->text();
        EXPECT_TRUE(labels.contains("Tesmar科技缝深检测分析软件V1.0"));
        auto buttons = about->findChildren<QPushButton*>();
        ASSERT_EQ(buttons.size(), 1);
        EXPECT_EQ(buttons[0]->text(), "关闭");
        buttons[0]->click();
    });
    action(CommandId::AppAbout)->trigger();
    EXPECT_TRUE(seen);
}

TEST_F(MainFrameTest, SaveAsStartsInTheFilesOwnFolder) {
    const std::string a = writeSample("a.fsy", 2);
    start({"fendal", a});
    action(CommandId::FileSaveAs)->trigger();  // cancelled by the script
    ASSERT_FALSE(ui.dialogs.empty());
    EXPECT_EQ(ui.dialogs.back().startPath, a);

    const std::string b = writeSample("b.fsy", 2), c = writeSample("c.fsy", 1);
    openFiles({b, c});
    action(CommandId::FileSaveAs)->trigger();
    EXPECT_EQ(ui.dialogs.back().startPath, b);  // the group dialog, in the first file's folder
}

TEST_F(MainFrameTest, PrintPreviewCoversTheFrame) {
    start({"fendal", writeSample("a.fsy", 3)});
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* preview = qobject_cast<PrintPreviewDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(preview, nullptr);
        seen = true;
        EXPECT_TRUE(preview->windowState() & Qt::WindowMaximized);
        EXPECT_GE(preview->width(), frame().width());
        EXPECT_GE(preview->height(), frame().height());
        preview->reject();
    });
    action(CommandId::FilePrintPreview)->trigger();
    EXPECT_TRUE(seen);
}

TEST_F(MainFrameTest, MessageBoxesAreWideEnoughForTheirCaption) {
    start();
    for (const char* caption : {"DEBUG418", kAppTitle}) {
        QMessageBox box(QMessageBox::Critical, QString::fromUtf8(caption), "x", QMessageBox::Ok, &frame());
        int width = 0;
        QTimer::singleShot(0, [&] {
            width = box.width();
            box.accept();
        });
        box.exec();
        // The caption and, beside it, a title bar's icon and buttons.
        const QFontMetrics title(QApplication::font("QMdiSubWindowTitleBar"));
        EXPECT_GE(width, title.horizontalAdvance(QString::fromUtf8(caption)) + 100) << caption;
    }
}
