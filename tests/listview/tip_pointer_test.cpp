// The tip of a cut-off cell met by the real pointer on a real X server: the pointer is moved by
// the server (xdotool), so the list sees the crossing events a tip window may cause.
#include <gtest/gtest.h>

#include <QTest>
#include <cstdlib>
#include <functional>
#include <string>

#include "doc_fixture.h"
#include "listview/fendal_view.h"
#include "listview/gfx_list_tip.h"
#include "listview/point_list.h"
#include "qt_helpers.h"

using namespace fendal;
using namespace fendal::data;
using namespace fendal::listview;

namespace {

bool onPath(const char* program) {
    return std::system((std::string("command -v ") + program + " >/dev/null 2>&1").c_str()) == 0;
}

// Moves the pointer to a place in the list until `reached` holds: a window manager may still
// be placing the window when the first move is made.
bool pointerUntil(QWidget& at, const std::function<QPoint()>& where, const std::function<bool()>& reached) {
    return QTest::qWaitFor(
        [&] {
            const QPoint global = at.mapToGlobal(where());
            const std::string command = "xdotool mousemove --sync " + std::to_string(global.x()) + " " +
                                        std::to_string(global.y());
            return std::system(command.c_str()) == 0 && QTest::qWaitFor(reached, 200);
        },
        5000);
}

// Counts the Leave events a widget gets.
struct LeaveCounter : QObject {
    int leaves = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Leave) ++leaves;
        return false;
    }
};

TEST(TipUnderTheRealPointer, StaysWhileThePointerRestsOnTheCellAndGoesWhenItLeaves) {
    qtApp();
    if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "needs a real X server";
    if (!onPath("xdotool")) GTEST_SKIP() << "xdotool moves the pointer";

    ScriptedUi ui;
    CFendalDoc doc(ui);
    fillGroup(doc, {2});
    platform::text::setField(doc.group.files[0].points[1].note, std::string(120, 'x'));
    platform::MemoryProfile profile;
    CFendalView view(doc, profile);
    view.onInitialUpdate();
    const int note = view.core().columnPosition(pointlist::kNote);
    view.horizontalHeader()->resizeSection(note, 60);
    view.resize(800, 300);
    view.move(40, 40);
    view.show();
    view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    view.setFocus();
    LeaveCounter counter;
    view.viewport()->installEventFilter(&counter);

    const QRect cell = view.visualRect(view.model()->index(1, note));
    auto shown = [&] { return view.tip() && view.tip()->isVisible(); };
    ASSERT_TRUE(pointerUntil(
        *view.viewport(), [&] { return cell.center(); }, shown));
    counter.leaves = 0;
    QTest::qWait(300);  // whatever the shown tip makes the server send has arrived by now
    EXPECT_TRUE(view.tip()->isVisible());
    EXPECT_EQ(counter.leaves, 0);
    EXPECT_EQ(view.tip()->text(), QString(120, 'x'));
    EXPECT_EQ(view.tip()->geometry().topLeft(), view.viewport()->mapToGlobal(cell.topLeft()));

    // A cell whose text fits has no tip; leaving the list takes the tip away.
    auto hidden = [&] { return !view.tip()->isVisible(); };
    const QRect fits = view.visualRect(view.model()->index(0, note));
    EXPECT_TRUE(pointerUntil(
        *view.viewport(), [&] { return fits.center(); }, hidden));
    ASSERT_TRUE(pointerUntil(
        *view.viewport(), [&] { return cell.center(); }, shown));
    EXPECT_TRUE(pointerUntil(
        view, [&] { return QPoint(view.width() + 100, view.height() + 100); }, hidden));
}

}  // namespace
