#include "app/message_box_width.h"

#include <QApplication>
#include <QEvent>
#include <QGridLayout>
#include <QMessageBox>

namespace fendal::app {

namespace {
constexpr char kFittedCaption[] = "fendalFittedCaption";
}

bool MessageBoxWidth::eventFilter(QObject* watched, QEvent* event) {
    // Before the box's own show handling, which fixes its size from its layout.
    if (event->type() == QEvent::Show)
        if (auto* box = qobject_cast<QMessageBox*>(watched)) fit(*box);
    return false;
}

void MessageBoxWidth::fit(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid || box.property(kFittedCaption).toBool()) return;
    box.setProperty(kFittedCaption, true);
    // The font Qt measures a caption with; a spacer row holds the box at least that wide.
    const QFontMetrics title(QApplication::font("QMdiSubWindowTitleBar"));
    const int width = title.horizontalAdvance(box.windowTitle()) + kTitleBarRoom - 2 * grid->contentsMargins().left();
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Fixed, QSizePolicy::Minimum), grid->rowCount(), 0, 1,
                  grid->columnCount());
}

}  // namespace fendal::app
