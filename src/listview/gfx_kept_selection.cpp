#include "listview/gfx_kept_selection.h"

#include <QItemSelectionModel>
#include <algorithm>

#include "listview/gfx_list_view.h"

namespace fendal::listview {

GfxKeptSelection::GfxKeptSelection(const CGfxListView& list) {
    const CGfxListCore& core = list.core();
    focused_ = list.focusedRowRef();
    column_ = list.currentIndex().column();
    // From the selection's ranges: asking row by row would be slow for a long list.
    for (const QItemSelectionRange& range : list.selectionModel()->selection()) {
        for (int row = range.top(); row <= range.bottom(); ++row) {
            const GfxRowRef ref = core.row(row);
            if (ref.isCategory())
                categories_.insert(ref.category);
            else if (ref.value >= 0)
                values_.insert(ref.value);
        }
    }
}

void GfxKeptSelection::restore(CGfxListView& list) const {
    const CGfxListCore& core = list.core();
    QAbstractItemModel* model = list.model();
    const int lastColumn = model->columnCount() - 1;
    const bool focused = focused_.isCategory() || focused_.value >= 0;
    if (lastColumn < 0 || (!focused && values_.empty() && categories_.empty())) return;
    QItemSelection selection;
    int focusedRow = -1;
    int first = -1;  // start of the run of selected rows being collected
    const int rows = core.rowCount();
    for (int row = 0; row <= rows; ++row) {
        bool selected = false;
        if (row < rows) {
            const GfxRowRef ref = core.row(row);
            selected = ref.isCategory() ? categories_.count(ref.category) > 0 : values_.count(ref.value) > 0;
            if (focused && ref.category == focused_.category && ref.value == focused_.value) focusedRow = row;
        }
        if (selected && first < 0) first = row;
        if (!selected && first >= 0) {
            selection.select(model->index(first, 0), model->index(row - 1, lastColumn));
            first = -1;
        }
    }
    QItemSelectionModel* selectionModel = list.selectionModel();
    selectionModel->select(selection, QItemSelectionModel::ClearAndSelect);
    if (focusedRow < 0) return;
    const QModelIndex current = model->index(focusedRow, std::clamp(column_, 0, lastColumn));
    selectionModel->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
    list.scrollTo(current);
}

}  // namespace fendal::listview
