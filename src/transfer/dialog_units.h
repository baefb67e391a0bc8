#pragma once
// Dialog layouts are given in dialog units: a quarter of the average character width across,
// an eighth of the character height down, so a layout follows the dialog's font.
#include <QRect>

class QWidget;

namespace fendal::transfer {

namespace dialog_units {

// The pixel rectangle of a dialog-unit rectangle in the font of `dialog`.
QRect toPixels(const QWidget* dialog, int x, int y, int width, int height);

}  // namespace dialog_units

}  // namespace fendal::transfer
