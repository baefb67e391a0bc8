#pragma once
// The print preview's pages scrolling down in rows of one page or two facing pages. Only the
// pages in view are drawn, each when it comes into view; the last few drawn are kept as pictures
// for scrolling back.
#include <QAbstractScrollArea>
#include <QImage>

#include "print/preview_layout.h"
#include "print/recent_page_cache.h"

namespace fendal::print {

class PreviewPagePainter;

class PrintPreviewView : public QAbstractScrollArea {
    Q_OBJECT
public:
    enum class ZoomMode { FitWidth, FitPage, Fixed };

    // Memory the kept page pictures may take beyond the pages in view; a page whose picture
    // would be larger than kLargestPicture is drawn straight onto the screen instead.
    static constexpr std::size_t kPictureBudget = 64u << 20;
    static constexpr std::size_t kLargestPicture = 32u << 20;

    explicit PrintPreviewView(PreviewPagePainter& pages, QWidget* parent = nullptr);

    int pageCount() const { return layout_.pageCount(); }
    int currentPage() const { return currentPage_; }
    double zoom() const { return layout_.zoom(); }
    ZoomMode zoomMode() const { return mode_; }
    const PreviewLayout& layout() const { return layout_; }
    // The pages the viewport shows now.
    PageSpan pagesInView() const;
    int keptPictures() const { return static_cast<int>(pictures_.size()); }

public slots:
    // Scrolls `page` (clamped to the pages) to the top of the view.
    void setCurrentPage(int page);
    void setZoom(double zoom);
    void zoomIn();
    void zoomOut();
    void fitToWidth();
    void fitToPage();
    // Two pages side by side, or one; the current page stays in view.
    void setFacingPages(bool facing);

signals:
    void currentPageChanged(int page);
    void zoomChanged(double zoom);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void applyZoom(double zoom, ZoomMode mode);
    void refit();
    void updateScrollBars();
    void updateCurrentPage();
    void paintPage(QPainter& painter, int page, const QRect& target, const QRect& exposed);
    std::size_t pictureBytes() const;

    PreviewPagePainter& pages_;
    PreviewLayout layout_;
    ZoomMode mode_ = ZoomMode::FitWidth;
    int currentPage_ = 1;
    bool navigating_ = false;  // scrolling for a page or a zoom, not the user's own
    RecentPageCache<QImage> pictures_;
    double picturesRatio_ = 0;  // device pixel ratio the kept pictures were drawn at
};

}  // namespace fendal::print
