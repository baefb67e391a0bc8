#include "print/print_output.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <algorithm>

#include "print/pdf_text_maps.h"
#include "print/pdf_text_recorder.h"
#include "print/qpainter_canvas.h"

namespace {

bool paintInto(QPagedPaintDevice& device, PrintTable& table, PrintInfo& info, int from, int to,
               const PageProgress& progress, PdfTextRecorder* recorder) {
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
        canvas.recordTextInto(recorder);
        table.printPage(canvas, info);
    }
    return painter.end();
}

// The PDF file a printer writes when the user prints to a file; empty for anything else.
std::string pdfFileOf(const QPagedPaintDevice& device) {
    const auto* printer = dynamic_cast<const QPrinter*>(&device);
    if (!printer || printer->outputFormat() != QPrinter::PdfFormat) return {};
    return printer->outputFileName().toStdString();
}

// Pages into a PDF file, then its text maps put right, so that its text reads as drawn.
bool paintPdf(QPagedPaintDevice& device, const std::string& path, PrintTable& table, PrintInfo& info, int from,
              int to, const PageProgress& progress, std::string& error) {
    PdfTextRecorder recorder;
    if (!paintInto(device, table, info, from, to, progress, &recorder)) {
        error = "cannot write " + path;
        return false;
    }
    return correctPdfTextMaps(path, recorder.drawnText(), error);
}

}  // namespace

bool paintPages(QPagedPaintDevice& device, PrintTable& table, PrintInfo& info, int from, int to,
                const PageProgress& progress) {
    const std::string pdf = pdfFileOf(device);
    if (pdf.empty()) return paintInto(device, table, info, from, to, progress, nullptr);
    std::string error;
    return paintPdf(device, pdf, table, info, from, to, progress, error);
}

bool writeTablePdf(const std::string& path, PrintTable& table, PrintInfo& info, std::string& error,
                   const PageProgress& progress) {
    QPdfWriter writer(QString::fromStdString(path));
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    writer.setTitle(QString::fromUtf8(kPrintTitle));
    writer.setCreator(QStringLiteral("Fendal"));
    return paintPdf(writer, path, table, info, 1, info.maxPage, progress, error);
}
