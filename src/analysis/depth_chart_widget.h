#pragma once
// The depth chart on screen: paints what its source gives at the moment it paints, so it
// always shows the document as it is; a click on a bar reports that bar's point.
#include <QString>
#include <QWidget>
#include <functional>
#include <span>

#include "analysis/depth_chart_layout.h"

namespace fendal::analysis {

struct ChartSource {
    std::span<const data::MeasurePoint> points;
    int currentPoint = -1;
    QString title;
    QString emptyText;  // shown without points
};

class DepthChartWidget : public QWidget {
    Q_OBJECT
public:
    using Source = std::function<ChartSource()>;

    explicit DepthChartWidget(Source source, QWidget* parent = nullptr);

    // The chart as it stands now at the widget's size.
    DepthChartLayout layout() const;

    QSize sizeHint() const override { return {600, 220}; }
    QSize minimumSizeHint() const override { return {200, 120}; }

signals:
    void pointClicked(int point);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    Source source_;
};

}  // namespace fendal::analysis
