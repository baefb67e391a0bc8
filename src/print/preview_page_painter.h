#pragma once
// One printed page drawn at the print preview's scale: the table's own page drawing through the
// QPainter canvas, on paper of the printer's size with the printer's margins, so that a page
// looks on screen as it comes out of the printer.
#include "print/preview_layout.h"
#include "print/print_table.h"

class QPageLayout;
class QPainter;

namespace fendal::print {

// Paper and printable area in points, as the printer has them.
struct PaperGeometry {
    PaperSize paper;
    double printableLeft = 0, printableTop = 0;
    double printableWidth = 595.0, printableHeight = 842.0;

    static PaperGeometry of(const QPageLayout& layout);
};

class PreviewPagePainter {
public:
    // `table` is prepared; `info` is the job it was prepared for. Both must outlive the painter.
    PreviewPagePainter(PrintTable& table, const PrintInfo& info, const PaperGeometry& paper);

    int pageCount() const { return info_.maxPage; }
    const PaperGeometry& geometry() const { return paper_; }

    // Page `page` on white paper whose corner is at the painter's origin, at `pixelsPerPoint`
    // painter units per point. Like a printer, nothing is drawn outside the printable area.
    void paint(QPainter& painter, int page, double pixelsPerPoint);

    // How many pages have been drawn so far.
    int pagesPainted() const { return painted_; }

private:
    PrintTable& table_;
    const PrintInfo& info_;
    PaperGeometry paper_;
    int painted_ = 0;
};

}  // namespace fendal::print
