#pragma once
// The print canvas on a QPainter: printers, the print preview, PDF and the settings dialog.
#include <QColor>
#include <QFont>
#include <QPen>
#include <QPointF>
#include <QRectF>
#include <vector>

#include "print/print_canvas.h"

class QPainter;
class QPaintDevice;

namespace fendal::print {

class PdfTextRecorder;

class QPainterCanvas : public PrintCanvas {
public:
    // Device units per logical unit; a negative y scale turns a y-up logical space into the
    // painter's y-down one.
    QPainterCanvas(QPainter& painter, double scaleX, double scaleY);

    // A canvas in twips on the device (1/1440 inch, y upwards), origin at the painter's origin.
    static QPainterCanvas twips(QPainter& painter, const QPaintDevice& device);

    // Every text drawn from now on is also told to `recorder` (for a PDF's text maps).
    void recordTextInto(PdfTextRecorder* recorder) { recorder_ = recorder; }

    void save() override;
    void restore() override;
    void setFont(const CanvasFont& font) override;
    void setPen(const CanvasPen& pen) override;
    void setTextColor(Rgb color) override;
    void setTextBackgroundOpaque(bool opaque) override;
    void drawLine(CanvasPoint from, CanvasPoint to) override;
    void drawRectangle(const CanvasRect& rect, Rgb fill) override;
    void drawText(const std::string& utf8, const CanvasRect& rect, unsigned align) override;

    // The installed family that stands in for a face: the face itself, a known name of the same
    // font, or the nearest installed Chinese font of the same style.
    static QString familyFor(const std::string& face);

private:
    struct State {
        CanvasFont font;
        QPen pen;
        QColor textColor;
        bool opaque = false;
    };
    enum class PainterPen { Unknown, Line, Text };

    QPointF map(CanvasPoint p) const { return {p.x * sx_, p.y * sy_}; }
    QRectF placeEmBox(QRectF r, const QString& text, unsigned align) const;
    void useLinePen();
    void useTextPen();

    QPainter& painter_;
    double sx_;
    double sy_;
    State state_;
    std::vector<State> saved_;
    PainterPen painterPen_ = PainterPen::Unknown;
    PdfTextRecorder* recorder_ = nullptr;
};

}  // namespace fendal::print
