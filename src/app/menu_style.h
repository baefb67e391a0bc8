#pragma once
// Menu items show the toolbar picture of the same command in a 20 x 20 pixel cell; the rest of
// the drawing is the style's own.
#include <QProxyStyle>

namespace fendal::app {

class MenuStyle : public QProxyStyle {
public:
    static constexpr int kPictureCell = 20;

    using QProxyStyle::QProxyStyle;
    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;
};

}  // namespace fendal::app
