#include "analysis/depth_chart_widget.h"

#include <QMouseEvent>
#include <QPainter>

#include "analysis/depth_chart_painter.h"

namespace fendal::analysis {

DepthChartWidget::DepthChartWidget(Source source, QWidget* parent) : QWidget(parent), source_(std::move(source)) {
    // A click chooses a point for the list; the list keeps the keyboard focus.
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

DepthChartLayout DepthChartWidget::layout() const {
    const ChartSource s = source_();
    return layoutDepthChart(s.points, s.currentPoint, ChartRect{0, 0, double(width()), double(height())});
}

void DepthChartWidget::paintEvent(QPaintEvent*) {
    const ChartSource s = source_();
    QPainter painter(this);
    paintDepthChart(painter, layout(), s.title, s.emptyText);
}

void DepthChartWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPointF at = event->position();
    const int point = layout().pointAt(at.x(), at.y());
    if (point >= 0) emit pointClicked(point);
    event->accept();
}

}  // namespace fendal::analysis
