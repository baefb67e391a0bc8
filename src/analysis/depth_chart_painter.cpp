#include "analysis/depth_chart_painter.h"

#include <QPainter>
#include <algorithm>

#include "print/pdf_text_recorder.h"

namespace fendal::analysis {

namespace {

const QColor kBarColour(70, 120, 180);
const QColor kDeepestColour(170, 195, 225);  // a bar of many points up to its deepest
const QColor kCurrentColour(230, 120, 20);
const QColor kMeanColour(200, 30, 30);
const QColor kGridColour(225, 225, 225);

class ChartText {
public:
    ChartText(QPainter& painter, print::PdfTextRecorder* recorder) : painter_(painter), recorder_(recorder) {}

    void draw(const QRectF& box, int flags, const QString& text) {
        painter_.drawText(box, flags, text);
        if (recorder_) recorder_->record(painter_.font(), text);
    }

private:
    QPainter& painter_;
    print::PdfTextRecorder* recorder_;
};

QRectF qrect(const ChartRect& r) { return QRectF(r.left, r.top, r.width, r.height); }

}  // namespace

void paintDepthChart(QPainter& painter, const DepthChartLayout& layout, const QString& title, const QString& emptyText,
                     print::PdfTextRecorder* recorder) {
    painter.save();
    ChartText text(painter, recorder);
    const ChartRect& plot = layout.plot;
    painter.fillRect(qrect(layout.area), Qt::white);

    QFont font = painter.font();
    font.setPixelSize(12);
    painter.setFont(font);
    if (!title.isEmpty()) {
        QFont bold = font;
        bold.setPixelSize(14);
        bold.setBold(true);
        painter.setFont(bold);
        text.draw(QRectF(plot.left, layout.area.top, plot.width, DepthChartLayout::kTopMargin), Qt::AlignCenter, title);
        painter.setFont(font);
    }

    // Depth axis: grid lines and labels.
    for (const ChartTick& tick : layout.depthTicks) {
        painter.setPen(QPen(kGridColour, 0));
        painter.drawLine(QPointF(plot.left, tick.position), QPointF(plot.right(), tick.position));
        painter.setPen(Qt::black);
        text.draw(QRectF(layout.area.left, tick.position - 8, DepthChartLayout::kLeftMargin - 6, 16),
                  Qt::AlignRight | Qt::AlignVCenter, QString::number(tick.value));
    }
    painter.save();
    painter.translate(layout.area.left + 4, plot.top + plot.height / 2);
    painter.rotate(-90);
    text.draw(QRectF(-plot.height / 2, 0, plot.height, 14), Qt::AlignCenter, QStringLiteral("缝深(mm)"));
    painter.restore();

    if (layout.bars.empty()) {
        text.draw(qrect(plot), Qt::AlignCenter, emptyText.isEmpty() ? QString::fromUtf8(kChartNoPoints) : emptyText);
    } else {
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(Qt::NoPen);
        const bool aggregated = layout.aggregated();
        for (std::size_t i = 0; i < layout.bars.size(); ++i) {
            if (static_cast<int>(i) == layout.currentBar) continue;  // drawn last, over its neighbours
            const ChartBar& bar = layout.bars[i];
            if (aggregated) painter.fillRect(qrect(bar.rect), kDeepestColour);
            painter.fillRect(qrect(aggregated ? bar.meanRect : bar.rect), kBarColour);
        }
        if (layout.currentBar >= 0) {
            // A bar of no height or less than a pixel wide is still seen when current.
            QRectF bar = qrect(layout.bars[layout.currentBar].rect);
            if (bar.width() < 3) bar.adjust(-(3 - bar.width()) / 2, 0, (3 - bar.width()) / 2, 0);
            if (bar.height() < 2) bar.adjust(0, -1, 0, 1);
            painter.fillRect(bar, kCurrentColour);
        }
        painter.setPen(QPen(kMeanColour, 1.5, Qt::DashLine));
        painter.drawLine(QPointF(plot.left, layout.meanY), QPointF(plot.right(), layout.meanY));
        // The label stands on a white ground so that bars behind it do not hide it.
        const QString meanText = QStringLiteral("平均 %1").arg(layout.mean, 0, 'f', 1);
        const double labelWidth = painter.fontMetrics().horizontalAdvance(meanText) + 6;
        const QRectF label(plot.right() - labelWidth - 2, std::max(plot.top, layout.meanY - 17), labelWidth, 15);
        painter.fillRect(label, QColor(255, 255, 255, 220));
        painter.setPen(kMeanColour);
        text.draw(label, Qt::AlignCenter, meanText);
    }

    // Zero line, the axis frame and the point numbers.
    painter.setPen(QPen(Qt::black, 0));
    painter.drawLine(QPointF(plot.left, layout.zeroY), QPointF(plot.right(), layout.zeroY));
    painter.drawLine(QPointF(plot.left, plot.top), QPointF(plot.left, plot.bottom()));
    for (const ChartTick& tick : layout.pointTicks) {
        painter.drawLine(QPointF(tick.position, plot.bottom()), QPointF(tick.position, plot.bottom() + 4));
        // Centred under its tick, but kept inside the chart at the right end.
        const QString number = QString::number(tick.value);
        const double width = painter.fontMetrics().horizontalAdvance(number) + 2;
        const double left = std::min(tick.position - width / 2, layout.area.right() - width);
        text.draw(QRectF(left, plot.bottom() + 5, width, 14), Qt::AlignHCenter | Qt::AlignTop, number);
    }
    painter.restore();
}

}  // namespace fendal::analysis
