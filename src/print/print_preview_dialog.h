#pragma once
// The print preview window: the pages, one or two side by side, with zoom and page navigation,
// and the way on to printing. Printing itself is the caller's: it answers printRequested.
#include <QDialog>

class QAction;
class QComboBox;
class QLabel;
class QSpinBox;

namespace fendal::print {

class PreviewPagePainter;
class PrintPreviewView;

class PrintPreviewDialog : public QDialog {
    Q_OBJECT
public:
    explicit PrintPreviewDialog(PreviewPagePainter& pages, QWidget* parent = nullptr);

    PrintPreviewView* view() const { return view_; }
    // The toolbar's commands by name: fitWidth, fitPage, zoomOut, zoomIn, firstPage,
    // previousPage, nextPage, lastPage, singlePage, facingPages, print, close.
    QAction* command(const char* name) const;
    QSpinBox* pageNumber() const { return pageNumber_; }

signals:
    void printRequested();

private:
    QAction* addCommand(const char* name, const QString& text, const QIcon& icon);
    void showPage(int page);
    void showZoom(double zoom);
    void takeZoomText();

    PrintPreviewView* view_;
    QComboBox* zoomBox_;
    QSpinBox* pageNumber_;
    QLabel* pageTotal_;
};

}  // namespace fendal::print
