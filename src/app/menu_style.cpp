#include "app/menu_style.h"

#include <QMenu>

namespace fendal::app {

int MenuStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const {
    if (metric == PM_SmallIconSize && qobject_cast<const QMenu*>(widget)) return kPictureCell;
    return QProxyStyle::pixelMetric(metric, option, widget);
}

}  // namespace fendal::app
