#include "transfer/dialog_units.h"

#include <QFontMetrics>
#include <QWidget>

namespace fendal::transfer {

namespace dialog_units {

QRect toPixels(const QWidget* dialog, int x, int y, int width, int height) {
    const QFontMetrics metrics(dialog->font());
    // The classic base unit: the average width of the Latin letters, and the line height.
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int baseX = (metrics.horizontalAdvance(letters) / 26 + 1) / 2;
    const int baseY = metrics.height();
    auto across = [&](int units) { return (units * baseX + 2) / 4; };
    auto down = [&](int units) { return (units * baseY + 4) / 8; };
    return QRect(across(x), down(y), across(width), down(height));
}

}  // namespace dialog_units

}  // namespace fendal::transfer
