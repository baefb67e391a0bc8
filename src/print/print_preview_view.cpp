#include "print/print_preview_view.h"

#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <climits>
#include <cmath>
#include <utility>

#include "print/preview_page_painter.h"

namespace fendal::print {

namespace {

const QColor kDesk(128, 128, 128);
const QColor kShadow(72, 72, 72);
constexpr int kShadowOffset = 3;
constexpr int kScrollStep = 40;

int toInt(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT_MIN, INT_MAX)); }

// The screen's pixels per point at real size: its logical dots per inch over 72.
double screenPixelsPerPoint(const QWidget* widget) {
    const QScreen* screen = widget->screen();
    return (screen ? screen->logicalDotsPerInchY() : 96.0) / 72.0;
}

}  // namespace

PrintPreviewView::PrintPreviewView(PreviewPagePainter& pages, QWidget* parent)
    : QAbstractScrollArea(parent),
      pages_(pages),
      layout_(pages.pageCount(), pages.geometry().paper, screenPixelsPerPoint(this)) {
    // Always there, so that fitting the width never makes the bar come and go.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    verticalScrollBar()->setSingleStep(kScrollStep);
    horizontalScrollBar()->setSingleStep(kScrollStep);
    setFocusPolicy(Qt::StrongFocus);
    updateScrollBars();
}

PageSpan PrintPreviewView::pagesInView() const {
    return layout_.pagesInView(verticalScrollBar()->value(), viewport()->height());
}

void PrintPreviewView::setCurrentPage(int page) {
    if (pageCount() == 0) return;
    page = std::clamp(page, 1, pageCount());
    const bool was = std::exchange(navigating_, true);
    verticalScrollBar()->setValue(toInt(layout_.scrollTopOf(page)));
    navigating_ = was;
    // The last pages cannot always reach the top; the page asked for is the current one anyway.
    if (page != currentPage_) {
        currentPage_ = page;
        emit currentPageChanged(page);
    }
}

void PrintPreviewView::setZoom(double zoom) { applyZoom(zoom, ZoomMode::Fixed); }
void PrintPreviewView::zoomIn() { setZoom(PreviewLayout::nextZoomStep(zoom(), 1)); }
void PrintPreviewView::zoomOut() { setZoom(PreviewLayout::nextZoomStep(zoom(), -1)); }
void PrintPreviewView::fitToWidth() { applyZoom(layout_.fitWidthZoom(viewport()->width()), ZoomMode::FitWidth); }

void PrintPreviewView::fitToPage() {
    applyZoom(layout_.fitPageZoom(viewport()->width(), viewport()->height()), ZoomMode::FitPage);
}

void PrintPreviewView::setFacingPages(bool facing) {
    const int columns = facing ? 2 : 1;
    if (columns == layout_.columns()) return;
    const int page = currentPage_;
    layout_.setColumns(columns);
    const bool was = std::exchange(navigating_, true);
    refit();
    updateScrollBars();
    navigating_ = was;
    setCurrentPage(page);
    viewport()->update();
}

// A fitting zoom follows the view's size and the pages in a row.
void PrintPreviewView::refit() {
    if (mode_ == ZoomMode::FitWidth) fitToWidth();
    if (mode_ == ZoomMode::FitPage) fitToPage();
}

void PrintPreviewView::applyZoom(double zoom, ZoomMode mode) {
    const ZoomMode modeBefore = std::exchange(mode_, mode);
    const double before = layout_.zoom();
    const double position = layout_.positionAt(verticalScrollBar()->value());
    layout_.setZoom(zoom);
    if (layout_.zoom() == before) {
        if (mode != modeBefore) emit zoomChanged(before);
        return;
    }
    pictures_.clear();
    const bool was = std::exchange(navigating_, true);
    updateScrollBars();
    verticalScrollBar()->setValue(toInt(layout_.topAt(position)));
    navigating_ = was;
    viewport()->update();
    emit zoomChanged(layout_.zoom());
}

void PrintPreviewView::updateScrollBars() {
    const QSize view = viewport()->size();
    verticalScrollBar()->setRange(0, toInt(std::max<int64_t>(0, layout_.contentHeight() - view.height())));
    verticalScrollBar()->setPageStep(std::max(1, view.height()));
    horizontalScrollBar()->setRange(0, toInt(std::max<int64_t>(0, layout_.contentWidth() - view.width())));
    horizontalScrollBar()->setPageStep(std::max(1, view.width()));
}

void PrintPreviewView::updateCurrentPage() {
    const int page = layout_.pageAt(verticalScrollBar()->value(), viewport()->height());
    if (page == currentPage_ || page == 0) return;
    currentPage_ = page;
    emit currentPageChanged(page);
}

void PrintPreviewView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    const bool was = std::exchange(navigating_, true);
    refit();
    updateScrollBars();
    navigating_ = was;
}

void PrintPreviewView::scrollContentsBy(int dx, int dy) {
    viewport()->scroll(dx, dy);
    if (!navigating_) updateCurrentPage();
}

void PrintPreviewView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Home) return setCurrentPage(1);
    if (event->key() == Qt::Key_End) return setCurrentPage(pageCount());
    QAbstractScrollArea::keyPressEvent(event);
}

void PrintPreviewView::wheelEvent(QWheelEvent* event) {
    if (!(event->modifiers() & Qt::ControlModifier)) return QAbstractScrollArea::wheelEvent(event);
    const int turn = event->angleDelta().y();
    if (turn > 0) zoomIn();
    if (turn < 0) zoomOut();
    event->accept();
}

std::size_t PrintPreviewView::pictureBytes() const {
    const double ratio = viewport()->devicePixelRatioF();
    const auto w = static_cast<std::size_t>(std::ceil(static_cast<double>(layout_.pageWidth()) * ratio));
    const auto h = static_cast<std::size_t>(std::ceil(static_cast<double>(layout_.pageHeight()) * ratio));
    return w * h * 4;
}

void PrintPreviewView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QRect exposed = event->rect();
    painter.fillRect(exposed, kDesk);
    const double ratio = viewport()->devicePixelRatioF();
    if (ratio != picturesRatio_) {
        pictures_.clear();
        picturesRatio_ = ratio;
    }
    const int64_t top = verticalScrollBar()->value(), left = horizontalScrollBar()->value();
    const PageSpan span = pagesInView();
    for (int page = span.first; page <= span.last; ++page) {
        const PixelRect r = layout_.pageRect(page, viewport()->width());
        const QRect target(toInt(r.x - left), toInt(r.y - top), toInt(r.width), toInt(r.height));
        if (!target.adjusted(0, 0, kShadowOffset, kShadowOffset).intersects(exposed)) continue;
        painter.fillRect(target.translated(kShadowOffset, kShadowOffset), kShadow);
        paintPage(painter, page, target, exposed);
    }
    // The pages in view always stay, whatever they cost.
    pictures_.trim(std::max(kPictureBudget, pictureBytes() * static_cast<std::size_t>(span.count())));
}

void PrintPreviewView::paintPage(QPainter& painter, int page, const QRect& target, const QRect& exposed) {
    const std::size_t bytes = pictureBytes();
    if (bytes > kLargestPicture) {
        // Too big to keep: drawn where it shows, within the exposed part only.
        painter.save();
        painter.setClipRect(target & exposed);
        painter.translate(target.topLeft());
        pages_.paint(painter, page, layout_.pixelsPerPoint());
        painter.restore();
        return;
    }
    QImage* picture = pictures_.find(page);
    if (!picture) {
        const double ratio = viewport()->devicePixelRatioF();
        QImage image(static_cast<int>(std::ceil(target.width() * ratio)),
                     static_cast<int>(std::ceil(target.height() * ratio)), QImage::Format_RGB32);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::white);
        QPainter onImage(&image);
        pages_.paint(onImage, page, layout_.pixelsPerPoint());
        onImage.end();
        picture = &pictures_.insert(page, std::move(image), bytes);
    }
    painter.drawImage(target.topLeft(), *picture);
}

}  // namespace fendal::print
