// Keys of the list: the arrows left and right move the current column, Home and End go to the
// first and last row, Enter expands a category or opens the current cell's editor.
#include <QKeyEvent>
#include <algorithm>

#include "listview/gfx_cell_tips.h"
#include "listview/gfx_list_model.h"
#include "listview/gfx_list_view.h"

namespace fendal::listview {

void CGfxListView::keyPressEvent(QKeyEvent* event) {
    tips_->hide();
    const QModelIndex current = currentIndex();
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right: {
        // The arrows move the current column, not the view.
        if (current.isValid()) {
            const int step = event->key() == Qt::Key_Left ? -1 : 1;
            const int column = std::clamp(current.column() + step, 0, core_.columnCount() - 1);
            const QModelIndex next = model_->index(current.row(), column);
            selectionModel()->setCurrentIndex(next, QItemSelectionModel::NoUpdate);
            scrollTo(next);
        }
        event->accept();
        return;
    }
    case Qt::Key_Home:
    case Qt::Key_End: {
        // As in any list: the first or last row, in the current column.
        if (event->modifiers() != Qt::NoModifier || core_.rowCount() == 0) break;
        const int row = event->key() == Qt::Key_Home ? 0 : core_.rowCount() - 1;
        const int column = current.isValid() ? current.column() : std::max(0, currentColumn_);
        const QModelIndex next = model_->index(row, std::min(column, core_.columnCount() - 1));
        selectionModel()->setCurrentIndex(next, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        scrollTo(next);
        event->accept();
        return;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (core_.style() & (gfx::kStyleEnterEdits | gfx::kStyleEnterToggles)) {
            const GfxRowRef ref = current.isValid() ? core_.row(current.row()) : GfxRowRef{};
            if (ref.isCategory())
                toggleCategory(ref.category);
            else if (core_.style() & gfx::kStyleEnterEdits)
                openCurrentEditor();
            event->accept();
            return;
        }
        break;
    default: break;
    }
    QTableView::keyPressEvent(event);
}

void CGfxListView::keyboardSearch(const QString&) {
    // No search by typing: it would read the text of every row of a long list, and a typed
    // character on an editable cell starts its editor instead.
}

}  // namespace fendal::listview
