// The end of an in-place edit: the owner is asked and told once the editor has closed.
#include <algorithm>

#include "listview/gfx_list_delegate.h"
#include "listview/gfx_list_model.h"
#include "listview/gfx_list_view.h"

namespace fendal::listview {

bool CGfxListView::openCurrentEditor() {
    const QModelIndex current = currentIndex();
    if (!current.isValid() || !(model_->flags(current) & Qt::ItemIsEditable)) return false;
    scrollTo(current);
    return edit(current, QAbstractItemView::EditKeyPressed, nullptr);
}

void CGfxListView::commitData(QWidget* editor) {
    // Acted on once the editor has closed, since the owner may refill the list.
    const QModelIndex index = indexAt(editor->geometry().center());
    pendingEdit_ = {true, index.isValid() ? index.row() : currentIndex().row(),
                    index.isValid() ? index.column() : currentIndex().column(),
                    CGfxListDelegate::editorText(editor).toStdString()};
}

void CGfxListView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    QTableView::closeEditor(editor, hint);
    if (!pendingEdit_.pending) return;
    PendingEdit edit = std::move(pendingEdit_);
    pendingEdit_ = {};
    std::vector<int> rows{edit.row};
    if ((core_.style() & gfx::kStyleEditAllSelected) && selectionModel()->selectedRows().size() > 1) {
        rows.clear();
        for (const QModelIndex& index : selectionModel()->selectedRows()) rows.push_back(index.row());
        std::sort(rows.begin(), rows.end());
    }
    core_.endEdit(rows, edit.column, edit.text);
    model_->cellsChanged();
}

}  // namespace fendal::listview
