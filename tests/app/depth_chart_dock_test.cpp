// The depth chart dock in the running program: toggled from the View menu, following the
// current file, its edits and the list's selection, and choosing a point by a click; the
// status bar's statistics of the current file while the list has the focus.
#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <cstdlib>

#include "analysis/depth_chart_widget.h"
#include "app/depth_chart_dock.h"
#include "data/app_strings.h"
#include "frame_fixture.h"

using namespace fendal;
using namespace fendal::analysis;
using namespace fendal::app;
using namespace fendal::data;

namespace {

// Counts the paint events a widget gets.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

class DepthChartDockTest : public FrameFixture {
protected:
    DepthChartDock& dock() { return *frame().depthChart(); }
    DepthChartWidget& chart() { return *dock().chart(); }
    DepthChartLayout chartLayout() { return chart().layout(); }

    void showChart() {
        action(CommandId::ViewDepthChart)->trigger();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&chart()));
    }
    void clickRow(int row) {
        const QRect r = view().visualRect(view().model()->index(row, view().core().columnPosition(3)));
        QTest::mouseClick(view().viewport(), Qt::LeftButton, {}, r.center());
    }
    void clickBar(int bar) {
        const ChartRect r = chartLayout().bars.at(bar).rect;
        QTest::mouseClick(&chart(), Qt::LeftButton, {}, QPoint(int(r.left + r.width / 2), int(r.bottom() - 1)));
    }
    // With FENDAL_CHART_GRAB=DIR: the screen as the user sees it, for the README.
    void grabScreen(const char* name, QRect area = {}) {
        const char* dir = std::getenv("FENDAL_CHART_GRAB");
        if (!dir) return;
        QTest::qWait(200);
        if (area.isNull()) area = frame().screen()->geometry();
        frame()
            .screen()
            ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
            .save(QString("%1/%2.png").arg(dir, name));
    }
    // The point the list shows selected, as a group-wide row number; -1 for none.
    int selectedValue() {
        const int row = view().selectedRow();
        return row < 0 ? -1 : view().core().row(row).value;
    }
};

TEST_F(DepthChartDockTest, ViewMenuItemTogglesTheDock) {
    start();
    QMenu* viewMenu = frame().menuBar()->actions().at(2)->menu();
    ASSERT_EQ(viewMenu->actions().size(), 3);
    QAction* item = viewMenu->actions().at(2);
    EXPECT_EQ(item, action(CommandId::ViewDepthChart));
    EXPECT_EQ(item->text(), "裂缝深度图(&D)");
    EXPECT_EQ(viewMenu->actions().at(1)->text(), "状态栏(&S)");
    EXPECT_TRUE(item->isCheckable());
    EXPECT_FALSE(item->isChecked());
    EXPECT_TRUE(dock().isHidden());
    // Drawn as its neighbours are: the same height, the same text margin.
    viewMenu->popup(frame().menuBar()->mapToGlobal(
        frame().menuBar()->actionGeometry(frame().menuBar()->actions().at(2)).bottomLeft()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return viewMenu->isVisible(); }, 2000));
    EXPECT_EQ(viewMenu->actionGeometry(item).height(), viewMenu->actionGeometry(viewMenu->actions().at(0)).height());
    EXPECT_EQ(viewMenu->actionGeometry(item).left(), viewMenu->actionGeometry(viewMenu->actions().at(0)).left());
    grabScreen("chart_view_menu", QRect(viewMenu->geometry().topLeft() - QPoint(140, 45), QSize(420, 150)));
    viewMenu->close();

    showChart();
    EXPECT_EQ(dock().windowTitle(), "裂缝深度图");
    EXPECT_TRUE(item->isChecked());
    dock().close();  // its own close button
    EXPECT_FALSE(item->isChecked());
    item->trigger();
    EXPECT_TRUE(dock().isVisible());
    item->trigger();
    EXPECT_TRUE(dock().isHidden());
}

TEST_F(DepthChartDockTest, NextStartShowsTheChartAsTheLastExitLeftIt) {
    start();
    showChart();
    ASSERT_TRUE(frame().close());
    app.reset();
    start();
    EXPECT_TRUE(dock().isVisible());
    EXPECT_TRUE(action(CommandId::ViewDepthChart)->isChecked());

    action(CommandId::ViewDepthChart)->trigger();
    ASSERT_TRUE(frame().close());
    app.reset();
    start();
    EXPECT_TRUE(dock().isHidden());
}

TEST_F(DepthChartDockTest, ChartFollowsEditsAndTheListsSelection) {
    const std::string path = writeSample("five.fsy", 5);  // depths 100..104
    start({"fendal", path});                              // read with no current file, until the list is clicked
    showChart();
    EXPECT_TRUE(chartLayout().bars.empty());

    clickRow(2);
    ASSERT_EQ(chartLayout().bars.size(), 5u);
    EXPECT_EQ(chartLayout().currentBar, 2);
    PaintCounter counter;
    chart().installEventFilter(&counter);
    QTest::keyClick(&view(), Qt::Key_Down);
    EXPECT_EQ(chartLayout().currentBar, 3);
    EXPECT_TRUE(QTest::qWaitFor([&] { return counter.paints > 0; }, 2000));  // shown, not only known

    action(CommandId::AddPoint)->trigger();
    ASSERT_EQ(chartLayout().bars.size(), 6u);
    EXPECT_EQ(chartLayout().currentBar, 5);
    counter.paints = 0;
    ASSERT_TRUE(doc().editCurrentPoint([](MeasurePoint& p) {
        p.depth = 5000;
        return true;
    }));
    EXPECT_EQ(chartLayout().bars[5].depth, 5000);
    EXPECT_TRUE(QTest::qWaitFor([&] { return counter.paints > 0; }, 2000));

    ui.answers.push_back(MsgAnswer::Yes);
    QTest::keyClick(&view(), Qt::Key_Delete);
    EXPECT_EQ(chartLayout().bars.size(), 5u);
    EXPECT_EQ(chartLayout().currentBar, -1);

    doc().newDocument();
    EXPECT_TRUE(chartLayout().bars.empty());
}

TEST_F(DepthChartDockTest, ClickOnABarSelectsItsPointInTheList) {
    const std::string a = writeSample("a.fsy", 3);
    const std::string b = writeSample("b.fsy", 4, 10);
    start();
    showChart();
    openFiles({a, b});
    EXPECT_EQ(doc().currentFile(), -1);
    EXPECT_TRUE(chartLayout().bars.empty());  // no current file

    view().setFocus();
    clickRow(1);  // b's category row, closed: rows #a, #b
    ASSERT_EQ(doc().currentFile(), 1);
    ASSERT_EQ(chartLayout().bars.size(), 4u);
    EXPECT_FALSE(action(CommandId::EditCut)->isEnabled());

    clickBar(2);
    EXPECT_EQ(doc().currentFile(), 1);
    EXPECT_EQ(doc().currentPoint(), 2);
    EXPECT_EQ(selectedValue(), 3 + 2);  // b's category was opened to show the row
    EXPECT_EQ(chartLayout().currentBar, 2);
    EXPECT_TRUE(view().hasFocus());  // the list keeps the keyboard
    EXPECT_TRUE(action(CommandId::EditCut)->isEnabled());

    clickBar(0);
    EXPECT_EQ(doc().currentPoint(), 0);
    EXPECT_EQ(selectedValue(), 3);
    // The key moves on from the chosen row, as from one clicked in the list.
    QTest::keyClick(&view(), Qt::Key_Down);
    EXPECT_EQ(doc().currentPoint(), 1);
}

TEST_F(DepthChartDockTest, StatusBarShowsStatisticsWhileTheListHasTheFocus) {
    CrackDataFile measured = sampleFile(5, folder.file("five.fsy"));
    const int velocities[] = {3100, 3600, 2900, 3400, 3500};
    const int depths[] = {120, 340, 80, 260, 200};
    for (int i = 0; i < 5; ++i) {
        measured.points[i].velocity = velocities[i];
        measured.points[i].depth = depths[i];
    }
    ASSERT_TRUE(writeCrackFile(measured));
    const std::string five = measured.path;
    const std::string other = writeSample("other.fsy", 2);
    start();
    openFiles({five});
    showChart();
    view().setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return view().hasFocus(); }, 2000));
    // Means 3300 and 200; squared deviations 340000 and 44000 over 5 points.
    EXPECT_EQ(frame().messagePane()->text(),
              "测点数 5  声速(m/s) 最小 2900 最大 3600 平均 3300.0 标准差 260.8  "
              "缝深(mm) 最小 80 最大 340 平均 200.0 标准差 93.8");

    clickRow(1);
    action(CommandId::AddPoint)->trigger();  // a copy of the last point, 3500 / 200
    EXPECT_TRUE(frame().messagePane()->text().startsWith("测点数 6  声速(m/s) 最小 2900 最大 3600 平均 3333.3"));

    // Elsewhere the idle text stands.
    QLineEdit elsewhere;
    elsewhere.show();
    elsewhere.activateWindow();
    elsewhere.setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return elsewhere.hasFocus(); }, 2000));
    EXPECT_EQ(frame().messagePane()->text(), kIdlePrompt);
    elsewhere.close();
    frame().activateWindow();
    view().setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return view().hasFocus(); }, 2000));
    EXPECT_TRUE(frame().messagePane()->text().startsWith("测点数 6"));

    // A group without a current file: the idle text, also in the list.
    ui.answers.push_back(MsgAnswer::No);  // the save prompt
    openFiles({five, other});
    ASSERT_EQ(doc().currentFile(), -1);
    EXPECT_EQ(frame().messagePane()->text(), kIdlePrompt);
}

}  // namespace
