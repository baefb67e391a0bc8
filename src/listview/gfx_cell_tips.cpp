#include "listview/gfx_cell_tips.h"

#include <QApplication>

#include "listview/gfx_column.h"
#include "listview/gfx_list_delegate.h"
#include "listview/gfx_list_tip.h"
#include "listview/gfx_list_view.h"

namespace fendal::listview {

CGfxCellTips::CGfxCellTips(CGfxListView& list) : list_(list) {}

void CGfxCellTips::follow(const QPoint& viewportPos) {
    const CGfxListCore& core = list_.core();
    const QModelIndex index = list_.indexAt(viewportPos);
    const Qt::KeyboardModifiers modifiers = QApplication::keyboardModifiers();
    const bool allowed = (core.style() & gfx::kStyleTips) && QApplication::mouseButtons() == Qt::NoButton &&
                         !(modifiers & (Qt::ShiftModifier | Qt::ControlModifier)) && list_.hasFocus() &&
                         index.isValid() && !core.row(index.row()).isCategory() &&
                         !((core.style() & gfx::kStyleNoImageTips) && core.columnHas(index.column(), gfx::kImage));
    if (!allowed) {
        hide();
        return;
    }
    const QString text = QString::fromStdString(core.cellText(index.row(), index.column()));
    const QRect cell = list_.visualRect(index);
    if (text.isEmpty() ||
        list_.fontMetrics().horizontalAdvance(text) + 2 * CGfxListDelegate::kEditorInset <= cell.width()) {
        hide();
        return;
    }
    if (!tip_) tip_ = new CGfxListTip(&list_);
    tip_->setFont(list_.font());
    tip_->showText(text, list_.viewport()->mapToGlobal(cell.topLeft()), cell.height());
}

void CGfxCellTips::hide() {
    if (tip_ && tip_->isVisible()) tip_->hide();
}

}  // namespace fendal::listview
