// The current file and point stay where the user put them while the keyboard focus leaves the
// point list and comes back: through a dialog, a menu and another window, as the window
// system delivers those changes (offscreen, and on a real X server with and without a window
// manager).
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "app/about_dialog.h"
#include "data/app_strings.h"
#include "frame_fixture.h"
#include "listview/gfx_list_model.h"

using namespace fendal;
using namespace fendal::app;
using namespace fendal::data;

namespace {

class FrameFocusTest : public FrameFixture {
protected:
    // Waits until the frame is active again with the keyboard focus back in the list.
    void waitForListFocus() {
        frame().activateWindow();
        EXPECT_TRUE(QTest::qWaitFor([&] { return frame().isActiveWindow() && view().hasFocus(); }, 5000));
        QTest::qWait(20);  // let the window system's late focus events arrive as well
    }

    // The About box, shown and closed with its button once it has the focus.
    void throughAboutBox() {
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* about = qobject_cast<CAboutDialog*>(QApplication::activeModalWidget());
            if (!about || !about->isActiveWindow()) return;
            poll.stop();
            about->findChild<QPushButton*>()->click();
        });
        poll.start();
        action(CommandId::AppAbout)->trigger();
        waitForListFocus();
    }

    // The File menu, opened from the menu bar and closed again.
    void throughMenu() {
        QMenu* menu = frame().menuBar()->actions().at(0)->menu();
        menu->popup(frame().mapToGlobal(QPoint(20, 20)));
        EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activePopupWidget() == menu; }, 5000));
        QTest::qWait(20);
        menu->close();
        waitForListFocus();
    }

    // Another window of the desktop takes the focus, then the user comes back to the frame.
    void throughOtherWindow() {
        QWidget other;
        other.resize(200, 100);
        other.show();
        other.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&other));
        other.close();
        waitForListFocus();
    }

    // Every kind of focus change in turn, with `check` after each.
    void focusAwayAndBack(const std::function<void(const char*)>& check) {
        throughAboutBox();
        check("after the About box");
        throughMenu();
        check("after a menu");
        throughOtherWindow();
        check("after another window");
    }

    void clickRow(int row, int column) {
        QTest::mouseClick(view().viewport(), Qt::LeftButton, {},
                          view().visualRect(view().model()->index(row, column)).center());
    }
};

TEST_F(FrameFocusTest, SaveAndFocusChangesKeepThePointTheUserClicked) {
    start();
    std::string a = writeSample("a.fsy", 3), b = writeSample("b.fsy", 3, 10), c = writeSample("c.fsy", 3, 20);
    openFiles({a, b, c});
    ASSERT_EQ(doc().group.fileCount(), 3);
    clickRow(1, 0);  // the box of b: rows #a, #b, b0, b1, b2, #c
    clickRow(2, view().core().columnPosition(3));
    ASSERT_EQ(doc().title(), "b.fsy");
    ASSERT_EQ(doc().currentFile(), 1);
    ASSERT_EQ(doc().currentPoint(), 0);

    QTest::keyClick(&frame(), Qt::Key_S, Qt::ControlModifier);  // Save refills the list
    focusAwayAndBack([&](const char* when) {
        EXPECT_EQ(doc().title(), "b.fsy") << when;
        EXPECT_EQ(doc().currentFile(), 1) << when;
        EXPECT_EQ(doc().currentPoint(), 0) << when;
    });

    // The commands act on the file the user chose.
    action(CommandId::AddPoint)->trigger();
    EXPECT_EQ(doc().group.files[0].pointCount(), 3);
    EXPECT_EQ(doc().group.files[1].pointCount(), 4);
    ui.answers.push_back(MsgAnswer::No);
    QTest::keyClick(&frame(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(ui.shown.back().text, "确实要还原文件“" + b + "”?");
}

TEST_F(FrameFocusTest, GroupOfSeveralFilesHasNoCurrentFileUntilTheUserChoosesOne) {
    start();
    openFiles({writeSample("a.fsy", 2), writeSample("b.fsy", 2, 10)});
    ASSERT_EQ(doc().group.fileCount(), 2);
    focusAwayAndBack([&](const char* when) {
        EXPECT_EQ(doc().currentFile(), -1) << when;
        EXPECT_EQ(doc().title(), kGroupTitle) << when;
        EXPECT_TRUE(frame().windowTitle().startsWith(QString(kGroupTitle) + "[*]")) << when;
        EXPECT_FALSE(action(CommandId::FileRestore)->isEnabled()) << when;
    });
    const std::size_t before = ui.shown.size();
    QTest::keyClick(&frame(), Qt::Key_Z, Qt::ControlModifier);
    ASSERT_EQ(ui.shown.size(), before + 1);
    EXPECT_EQ(ui.shown.back().text, "请选择要还原的文件！");
}

TEST_F(FrameFocusTest, OneOpenedFileStaysCurrentForAddAndRestore) {
    start();
    const std::string a = writeSample("a.fsy", 2);
    openFiles({a});
    ASSERT_EQ(doc().currentFile(), 0);
    focusAwayAndBack([&](const char* when) {
        EXPECT_EQ(doc().currentFile(), 0) << when;
        EXPECT_TRUE(action(CommandId::AddPoint)->isEnabled()) << when;
        EXPECT_TRUE(action(CommandId::FileRestore)->isEnabled()) << when;
    });
    action(CommandId::AddPoint)->trigger();
    EXPECT_EQ(doc().group.files[0].pointCount(), 3);
}

TEST_F(FrameFocusTest, RecentFileOpenedAfterAMenuStaysCurrent) {
    const std::string a = writeSample("a.fsy", 2);
    recent.add(a);
    start();
    throughMenu();
    recentAction(0)->trigger();
    ASSERT_EQ(doc().group.fileCount(), 1);
    EXPECT_EQ(doc().currentFile(), 0);
    focusAwayAndBack([&](const char* when) {
        EXPECT_EQ(doc().currentFile(), 0) << when;
        EXPECT_TRUE(action(CommandId::AddPoint)->isEnabled()) << when;
    });
}

}  // namespace
