// The list's selection and focused row, by display row and by row item data.
#include <QItemSelectionModel>
#include <algorithm>

#include "listview/gfx_list_view.h"

namespace fendal::listview {

void CGfxListView::focusRow(int row, bool select) {
    const int column = std::clamp(currentColumn_, 0, std::max(0, core_.columnCount() - 1));
    const QModelIndex index = model()->index(row, column);
    if (!index.isValid()) return;
    selectionModel()->setCurrentIndex(index, select ? QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows
                                                    : QItemSelectionModel::NoUpdate);
    scrollTo(index);
}

GfxRowRef CGfxListView::rowRefAt(const QPoint& viewportPos) const {
    const QModelIndex index = indexAt(viewportPos);
    return index.isValid() ? core_.row(index.row()) : GfxRowRef{};
}

GfxRowRef CGfxListView::focusedRowRef() const {
    const QModelIndex current = currentIndex();
    return current.isValid() ? core_.row(current.row()) : GfxRowRef{};
}

int CGfxListView::selectedRow() const {
    const QModelIndex current = currentIndex();
    if (current.isValid() && selectionModel()->isRowSelected(current.row(), {})) return current.row();
    // From the selection's ranges: listing the selected rows of a long list would be slow.
    int first = -1;
    for (const QItemSelectionRange& range : selectionModel()->selection())
        if (first < 0 || range.top() < first) first = range.top();
    return first;
}

}  // namespace fendal::listview
