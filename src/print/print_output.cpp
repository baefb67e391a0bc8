#include "print/print_output.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <algorithm>

#include "platform/staged_file.h"
#include "platform/text.h"
#include "print/pdf_text_maps.h"
#include "print/pdf_text_recorder.h"
#include "print/qpainter_canvas.h"

namespace fendal::print {

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
    return QFile::encodeName(printer->outputFileName()).toStdString();
}

// Pages into a PDF file, then its text maps put right, so that its text reads as drawn.
bool paintPdf(QPagedPaintDevice& device, const std::string& path, PrintTable& table, PrintInfo& info, int from, int to,
              const PageProgress& progress, std::string& error) {
    PdfTextRecorder recorder;
    if (!paintInto(device, table, info, from, to, progress, &recorder)) {
        error = "cannot write " + path;
        return false;
    }
    return correctPdfTextMaps(path, recorder.drawnText(), error);
}

// `paint` writes a PDF at the scratch path it is given, which reaches `path` only when whole;
// messages name `path`, not the scratch file.
bool writeStagedPdf(const std::string& path, const platform::MakeStagedFile& paint, std::string& error) {
    return platform::writeStagedFile(
        path, "print",
        [&](const std::string& scratch, std::string& why) {
            if (paint(scratch, why)) return true;
            for (std::size_t at; (at = why.find(scratch)) != std::string::npos;)
                why.replace(at, scratch.size(), platform::text::displayPath(path));
            return false;
        },
        error);
}

}  // namespace

bool paintPages(QPagedPaintDevice& device, PrintTable& table, PrintInfo& info, int from, int to,
                const PageProgress& progress) {
    const std::string pdf = pdfFileOf(device);
    if (pdf.empty()) return paintInto(device, table, info, from, to, progress, nullptr);
    auto& printer = static_cast<QPrinter&>(device);
    std::string error;
    const bool ok = writeStagedPdf(
        pdf,
        [&](const std::string& scratch, std::string& why) {
            printer.setOutputFileName(QFile::decodeName(scratch.c_str()));
            return paintPdf(device, scratch, table, info, from, to, progress, why);
        },
        error);
    printer.setOutputFileName(QFile::decodeName(pdf.c_str()));
    return ok;
}

bool writeTablePdf(const std::string& path, PrintTable& table, PrintInfo& info, std::string& error,
                   const PageProgress& progress) {
    return writeStagedPdf(
        path,
        [&](const std::string& scratch, std::string& why) {
            QPdfWriter writer(QFile::decodeName(scratch.c_str()));
            writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
            writer.setTitle(QString::fromUtf8(kPrintTitle));
            writer.setCreator(QStringLiteral("Fendal"));
            return paintPdf(writer, scratch, table, info, 1, info.maxPage, progress, why);
        },
        error);
}

}  // namespace fendal::print
