#include "analysis/depth_chart_file.h"

#include <QFile>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cctype>

#include "analysis/depth_chart_painter.h"
#include "platform/staged_file.h"
#include "platform/text.h"
#include "print/pdf_text_maps.h"
#include "print/pdf_text_recorder.h"

namespace fendal::analysis {

namespace {

const ChartRect kPictureArea{0, 0, kChartPictureWidth, kChartPictureHeight};

bool writePng(const std::string& scratch, std::span<const data::MeasurePoint> points, const QString& title,
              std::string& error) {
    QImage image(kChartPictureWidth, kChartPictureHeight, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    paintDepthChart(painter, layoutDepthChart(points, -1, kPictureArea), title);
    painter.end();
    if (image.save(QFile::decodeName(scratch.c_str()), "PNG")) return true;
    error = "cannot write the picture";
    return false;
}

// An A4 landscape page inside margins of 10 mm, filled by the chart.
bool writePdf(const std::string& scratch, std::span<const data::MeasurePoint> points, const QString& title,
              std::string& error) {
    print::PdfTextRecorder recorder;
    {
        QPdfWriter writer(QFile::decodeName(scratch.c_str()));
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(10, 10, 10, 10),
                                         QPageLayout::Millimeter));
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Fendal"));
        QPainter painter;
        if (!painter.begin(&writer)) {
            error = "cannot write the PDF";
            return false;
        }
        // The picture's width in layout units, its height as the page has room.
        const QRect page = painter.viewport();
        const int height = kChartPictureWidth * page.height() / std::max(1, page.width());
        painter.setWindow(0, 0, kChartPictureWidth, height);
        paintDepthChart(painter,
                        layoutDepthChart(points, -1, ChartRect{0, 0, double(kChartPictureWidth), double(height)}),
                        title, {}, &recorder);
        if (!painter.end()) {
            error = "cannot write the PDF";
            return false;
        }
    }
    // So that the texts read back (search, copy, pdftotext) as drawn.
    return print::correctPdfTextMaps(scratch, recorder.drawnText(), error);
}

}  // namespace

ChartFormat chartFormatOf(const std::string& path) {
    if (path.size() < 4) return ChartFormat::None;
    std::string ending = path.substr(path.size() - 4);
    std::transform(ending.begin(), ending.end(), ending.begin(), [](unsigned char c) { return std::tolower(c); });
    if (ending == ".png") return ChartFormat::Png;
    if (ending == ".pdf") return ChartFormat::Pdf;
    return ChartFormat::None;
}

bool writeDepthChartFile(const std::string& path, std::span<const data::MeasurePoint> points, const QString& title,
                         std::string& error) {
    const ChartFormat format = chartFormatOf(path);
    if (format == ChartFormat::None) {
        error = platform::text::displayPath(path) + ": not a .png or .pdf file";
        return false;
    }
    return platform::writeStagedFile(
        path, "chart",
        [&](const std::string& scratch, std::string& why) {
            const bool ok = format == ChartFormat::Png ? writePng(scratch, points, title, why)
                                                       : writePdf(scratch, points, title, why);
            for (std::size_t at; (at = why.find(scratch)) != std::string::npos;)
                why.replace(at, scratch.size(), platform::text::displayPath(path));
            return ok;
        },
        error);
}

}  // namespace fendal::analysis
