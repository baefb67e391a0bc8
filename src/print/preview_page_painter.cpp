#include "print/preview_page_painter.h"

#include <QPageLayout>
#include <QPainter>

#include "print/qpainter_canvas.h"

namespace fendal::print {

namespace {
constexpr double kTwipsPerPoint = 20.0;
}

PaperGeometry PaperGeometry::of(const QPageLayout& layout) {
    const QRectF full = layout.fullRectPoints();
    const QRectF printable = layout.paintRectPoints();
    return {{full.width(), full.height()}, printable.left(), printable.top(), printable.width(), printable.height()};
}

PreviewPagePainter::PreviewPagePainter(PrintTable& table, const PrintInfo& info, const PaperGeometry& paper)
    : table_(table), info_(info), paper_(paper) {}

void PreviewPagePainter::paint(QPainter& painter, int page, double pixelsPerPoint) {
    ++painted_;
    painter.save();
    painter.fillRect(QRectF(0, 0, paper_.paper.width * pixelsPerPoint, paper_.paper.height * pixelsPerPoint),
                     Qt::white);
    // A printer's painter starts at the printable area's corner and cannot reach beyond it.
    painter.translate(paper_.printableLeft * pixelsPerPoint, paper_.printableTop * pixelsPerPoint);
    painter.setClipRect(QRectF(0, 0, paper_.printableWidth * pixelsPerPoint, paper_.printableHeight * pixelsPerPoint),
                        Qt::IntersectClip);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const double perTwip = pixelsPerPoint / kTwipsPerPoint;
    QPainterCanvas canvas(painter, perTwip, -perTwip);
    PrintInfo info = info_;
    info.currentPage = page;
    table_.printPage(canvas, info);
    painter.restore();
}

}  // namespace fendal::print
