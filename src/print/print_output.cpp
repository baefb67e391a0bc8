#include "print/print_output.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>

#include "print/qpainter_canvas.h"

bool paintPages(QPagedPaintDevice& device, PrintTable& table, PrintInfo& info, int from, int to,
                const PageProgress& progress) {
    const int last = std::min(to, info.maxPage);
    QPainter painter;
    if (!painter.begin(&device)) return false;
    painter.setRenderHint(QPainter::TextAntialiasing);
    for (int page = std::max(from, 1); page <= last; ++page) {
        if (progress && !progress(page, info.maxPage)) {
            painter.end();
            return false;
        }
        if (page > std::max(from, 1)) device.newPage();
        info.currentPage = page;
        QPainterCanvas canvas = QPainterCanvas::twips(painter, device);
        table.printPage(canvas, info);
    }
    return painter.end();
}

bool writeTablePdf(const std::string& path, PrintTable& table, PrintInfo& info, std::string& error,
                   const PageProgress& progress) {
    QPdfWriter writer(QString::fromStdString(path));
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    writer.setTitle(QString::fromUtf8(kPrintTitle));
    writer.setCreator(QStringLiteral("Fendal"));
    if (!paintPages(writer, table, info, 1, info.maxPage, progress)) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}
