// The chart widget: it paints what its source holds at the time, and a click reports the point
// of the bar's column.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <vector>

#include "analysis/depth_chart_widget.h"

using namespace fendal;
using namespace fendal::analysis;
using namespace fendal::data;

namespace {

class DepthChartWidgetTest : public testing::Test {
protected:
    DepthChartWidgetTest() : widget([this] { return ChartSource{points, current, {}, {}}; }) {
        for (int d : {100, 300, 200}) {
            MeasurePoint p{};
            p.depth = d;
            points.push_back(p);
        }
        widget.resize(600, 300);
    }

    QPoint centreOf(int bar) {
        const ChartRect r = widget.layout().bars.at(bar).rect;
        return QPoint(int(r.left + r.width / 2), int(r.bottom() - 2));
    }
    QRgb colourAt(const QPoint& at) { return widget.grab().toImage().pixel(at); }

    std::vector<MeasurePoint> points;
    int current = -1;
    DepthChartWidget widget;
};

TEST_F(DepthChartWidgetTest, ClickOnABarReportsItsPoint) {
    QSignalSpy clicked(&widget, &DepthChartWidget::pointClicked);
    QTest::mouseClick(&widget, Qt::LeftButton, {}, centreOf(2));
    QTest::mouseClick(&widget, Qt::LeftButton, {}, QPoint(2, 2));  // the margin: no point
    QTest::mouseClick(&widget, Qt::RightButton, {}, centreOf(0));
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked.at(0).at(0).toInt(), 2);
}

TEST_F(DepthChartWidgetTest, PaintsTheSourceAsItIsNow) {
    const QPoint second = centreOf(1);
    const QRgb plain = colourAt(second);
    current = 1;
    const QRgb highlighted = colourAt(second);
    EXPECT_NE(highlighted, plain);
    EXPECT_EQ(colourAt(centreOf(0)), plain);

    // A point deleted at the source is gone from the next picture: three bars become two.
    points.pop_back();
    current = -1;
    EXPECT_EQ(widget.layout().bars.size(), 2u);
    points.clear();
    EXPECT_TRUE(widget.layout().bars.empty());
    widget.grab();  // paints "no points" without touching a bar
}

}  // namespace
