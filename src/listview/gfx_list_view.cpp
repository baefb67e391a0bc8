#include "listview/gfx_list_view.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QSignalBlocker>

#include "listview/gfx_column.h"
#include "listview/gfx_column_format_dlg.h"
#include "listview/gfx_customize_columns_dlg.h"
#include "listview/gfx_list_delegate.h"
#include "listview/gfx_list_model.h"
#include "listview/gfx_list_tip.h"
#include "listview/list_images.h"

namespace {
constexpr int kNarrowestDataColumn = 16;
}

CGfxListView::CGfxListView(QWidget* parent) : QTableView(parent) {
    model_ = new CGfxListModel(core_, itemImages_, headerImages_, this);
    setModel(model_);
    delegate_ = new CGfxListDelegate(this);
    setItemDelegate(delegate_);
    core_.setExtInfoFallback([this](GfxExtInfoRequest& request) { return extendedInfo(request); });

    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setWordWrap(false);
    setShowGrid(true);
    setGridStyle(Qt::DotLine);
    setMouseTracking(true);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

    QHeaderView* rows = verticalHeader();
    rows->hide();
    rows->setMinimumSectionSize(1);
    rows->setSectionResizeMode(QHeaderView::Fixed);

    QHeaderView* header = horizontalHeader();
    header->setMinimumSectionSize(0);  // column 0 may be 0 wide; data columns are held at 16 below
    header->setSectionsClickable(true);
    header->setHighlightSections(false);
    header->setStretchLastSection(false);
    header->setSectionsMovable(true);
    header->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(header, &QHeaderView::sectionClicked, this, &CGfxListView::onHeaderClicked);
    connect(header, &QHeaderView::sectionResized, this, &CGfxListView::onSectionResized);
    connect(header, &QHeaderView::customContextMenuRequested, this, &CGfxListView::showHeaderMenu);
    // Taken once the header has finished its drag.
    connect(header, &QHeaderView::sectionMoved, this, &CGfxListView::onSectionMoved, Qt::QueuedConnection);
}

CGfxListView::~CGfxListView() = default;

void CGfxListView::setItemImageList(QList<QPixmap> images) {
    itemImages_ = std::move(images);
    viewport()->update();
}

void CGfxListView::setHeaderImageList(QList<QPixmap> images) {
    headerImages_ = std::move(images);
    model_->headerChanged();
}

void CGfxListView::addStyle(unsigned bits) {
    core_.addStyle(bits);
    viewport()->update();
}

void CGfxListView::clearStyle(unsigned bits) {
    core_.clearStyle(bits);
    viewport()->update();
}

void CGfxListView::setRowHeightPixels(int pixels) {
    verticalHeader()->setDefaultSectionSize(pixels);
}

// --- rows

namespace {

// The rows are answered from the core, so a change of them is a cheap model reset.
template <typename Change>
void resetAround(CGfxListModel* model, Change change) {
    model->beginChange();
    change();
    model->endChange();
}

}  // namespace

void CGfxListView::afterReset() {
    syncHeader();
    refreshSpans();
}

void CGfxListView::setRows(std::vector<int> values) {
    resetAround(model_, [&] { core_.setRows(std::move(values)); });
    sortedColumnId_ = -1;  // new rows come in the owner's order: no sort indicator
    afterReset();
}

void CGfxListView::setCategoryMode(bool on) {
    resetAround(model_, [&] { core_.setCategoryMode(on); });
    afterReset();
}

void CGfxListView::toggleCategory(int index) {
    model_->toggleCategory(index);
    refreshSpans();
    viewport()->update();
    if (core_.style() & gfx::kStyleUpdateScrollBars) updateGeometries();
}

void CGfxListView::restoreCategoryStates() {
    resetAround(model_, [&] { core_.restoreCategoryStates(); });
    afterReset();
}

bool CGfxListView::selectRowWithValue(int value) {
    const int row = core_.rowOfValue(value);
    if (row < 0) return false;
    const int column = std::clamp(currentColumn_, 0, std::max(0, core_.columnCount() - 1));
    const QModelIndex index = model_->index(row, column);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index);
    return true;
}

GfxRowRef CGfxListView::rowRefAt(const QPoint& viewportPos) const {
    const QModelIndex index = indexAt(viewportPos);
    return index.isValid() ? core_.row(index.row()) : GfxRowRef{};
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

void CGfxListView::refreshSpans() {
    clearSpans();
    const CGfxCategoryManager* categories = core_.categories();
    const int columns = core_.columnCount();
    if (!categories || columns < 3) return;
    for (int k = 0; k < categories->categoryCount(); ++k)
        setSpan(categories->displayRowOfCategory(k), 1, 1, columns - 1);
}

// --- columns

void CGfxListView::applyColumns() {
    resetAround(model_, [&] { core_.applyColumns(); });
    afterReset();
}

void CGfxListView::readBackColumns() {
    core_.readBackColumns();
}

void CGfxListView::syncHeader() {
    QHeaderView* header = horizontalHeader();
    if (header->sectionsMoved()) {
        // The core holds the order; the header shows its columns in it.
        const QSignalBlocker quiet(header);
        for (int i = 0; i < header->count(); ++i) header->moveSection(header->visualIndex(i), i);
    }
    applyingColumns_ = true;
    for (int i = 0; i < core_.columnCount(); ++i) {
        header->setSectionResizeMode(
            i, core_.columnHas(i, gfx::kFixedWidth) ? QHeaderView::Fixed : QHeaderView::Interactive);
        header->resizeSection(i, core_.columns()[i].width);
    }
    applyingColumns_ = false;
    const int sorted = core_.columnPosition(sortedColumnId_);
    header->setSortIndicatorShown(sorted >= 0);
    if (sorted >= 0)
        header->setSortIndicator(sorted, core_.sortState(sortedColumnId_).value_or(true) ? Qt::AscendingOrder
                                                                                          : Qt::DescendingOrder);
}

void CGfxListView::onSectionResized(int position, int oldSize, int newSize) {
    if (applyingColumns_) return;
    QHeaderView* header = horizontalHeader();
    int size = newSize;
    if (core_.columnHas(position, gfx::kFixedWidth))
        size = oldSize;  // the divider of a fixed column does not move
    else if (position > 0 && newSize < kNarrowestDataColumn)
        size = kNarrowestDataColumn;
    if (size != newSize) {
        applyingColumns_ = true;
        header->resizeSection(position, size);
        applyingColumns_ = false;
    }
    core_.setColumnWidth(position, size);
}

void CGfxListView::onSectionMoved(int, int from, int to) {
    // The core takes the new order and the header goes back to showing columns in it.
    const bool moved = core_.moveColumn(from, to);
    resetAround(model_, [] {});
    afterReset();
    if (moved) emit columnsChanged();
}

// --- sorting and the header menu

void CGfxListView::sortColumn(int position, bool ascending) {
    const GfxRowRef focused = core_.row(currentIndex().row());
    const int id = core_.columnId(position);
    bool sorted = false;
    resetAround(model_, [&] { sorted = core_.sortByColumn(position, ascending); });
    if (sorted) sortedColumnId_ = id;
    afterReset();
    if (currentIndex().isValid() || focused.isCategory() || focused.value < 0) return;
    // Keep the focused point focused and in view.
    selectRowWithValue(focused.value);
}

void CGfxListView::onHeaderClicked(int position) {
    if (!(core_.style() & gfx::kStyleHeaderSort)) {
        syncHeader();
        return;
    }
    sortColumn(position, !core_.sortState(core_.columnId(position)).value_or(false));
}

void CGfxListView::showHeaderMenu(const QPoint& pos) {
    headerColumn_ = horizontalHeader()->logicalIndexAt(pos);
    const QList<QIcon> images = listimages::headerMenuImages();
    QMenu menu(this);
    auto add = [&](const QIcon& image, const char* text, int command) {
        connect(menu.addAction(image, QString::fromUtf8(text)), &QAction::triggered, this,
                [this, command] { runCommand(command); });
    };
    add(images[0], "Sort ascending", kCmdSortAscending);
    add(images[1], "Sort descending", kCmdSortDescending);
    menu.addSeparator();
    add(images[2], "Customize header", kCmdCustomizeHeader);
    add(images[3], "Header format", kCmdHeaderFormat);
    menu.exec(horizontalHeader()->mapToGlobal(pos));
}

void CGfxListView::runCommand(int command) {
    switch (command) {
        case kCmdSortAscending:
        case kCmdSortDescending:
            if (headerColumn_ >= 0) sortColumn(headerColumn_, command == kCmdSortAscending);
            break;
        case kCmdCustomizeHeader: customizeColumns(); break;
        case kCmdHeaderFormat: formatColumns(); break;
        default: break;
    }
}

void CGfxListView::customizeColumns() {
    readBackColumns();
    CGfxCustomizeColumnsDlg dialog(columnManager(), [this](const std::string& text) { showMessage(text); }, this);
    if (dialog.exec() != QDialog::Accepted) return;
    applyColumns();
    emit columnsChanged();
}

void CGfxListView::formatColumns() {
    readBackColumns();
    CGfxColumnFormatDlg dialog(columnManager(), this);
    if (dialog.exec() != QDialog::Accepted) return;
    applyColumns();
    emit columnsChanged();
}

// --- owner answers

int CGfxListView::extendedInfo(GfxExtInfoRequest&) {
    return 0;
}

void CGfxListView::showMessage(const std::string& text) {
    QMessageBox::warning(this, QApplication::applicationDisplayName(), QString::fromStdString(text));
}

// --- mouse and keys

void CGfxListView::mousePressEvent(QMouseEvent* event) {
    hideTip();
    if (!hasFocus()) setFocus(Qt::MouseFocusReason);
    const QModelIndex index = indexAt(event->position().toPoint());
    const GfxRowRef ref = index.isValid() ? core_.row(index.row()) : GfxRowRef{};
    if (event->button() == Qt::LeftButton && ref.isCategory() && index.column() == 0) {
        toggleCategory(ref.category);  // a click on the box
        event->accept();
        return;
    }
    QTableView::mousePressEvent(event);
}

void CGfxListView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (!hasFocus()) setFocus(Qt::MouseFocusReason);
    const QModelIndex index = indexAt(event->position().toPoint());
    const GfxRowRef ref = index.isValid() ? core_.row(index.row()) : GfxRowRef{};
    if (event->button() == Qt::LeftButton && ref.isCategory()) {
        // On the box column the first click of the two has already done it.
        if (index.column() != 0) toggleCategory(ref.category);
        event->accept();
        return;
    }
    QTableView::mouseDoubleClickEvent(event);
}

void CGfxListView::mouseMoveEvent(QMouseEvent* event) {
    QTableView::mouseMoveEvent(event);
    updateTip(event->position().toPoint());
}

void CGfxListView::leaveEvent(QEvent* event) {
    hideTip();
    QTableView::leaveEvent(event);
}

void CGfxListView::keyPressEvent(QKeyEvent* event) {
    hideTip();
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

bool CGfxListView::openCurrentEditor() {
    const QModelIndex current = currentIndex();
    if (!current.isValid() || !(model_->flags(current) & Qt::ItemIsEditable)) return false;
    scrollTo(current);
    return edit(current, QAbstractItemView::EditKeyPressed, nullptr);
}

void CGfxListView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (current.isValid()) currentColumn_ = current.column();
    if (current.row() != previous.row()) focusedRowChanged();
}

// --- the end of an edit

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

// --- tips

void CGfxListView::updateTip(const QPoint& viewportPos) {
    const Qt::KeyboardModifiers modifiers = QApplication::keyboardModifiers();
    const QModelIndex index = indexAt(viewportPos);
    const bool allowed = (core_.style() & gfx::kStyleTips) && QApplication::mouseButtons() == Qt::NoButton &&
                         !(modifiers & (Qt::ShiftModifier | Qt::ControlModifier)) && hasFocus() && index.isValid() &&
                         !core_.row(index.row()).isCategory() &&
                         !((core_.style() & gfx::kStyleNoImageTips) && core_.columnHas(index.column(), gfx::kImage));
    if (!allowed) {
        hideTip();
        return;
    }
    const QString text = QString::fromStdString(core_.cellText(index.row(), index.column()));
    const QRect cell = visualRect(index);
    if (text.isEmpty() || fontMetrics().horizontalAdvance(text) + 2 * CGfxListDelegate::kEditorInset <= cell.width()) {
        hideTip();
        return;
    }
    if (!tip_) tip_ = new CGfxListTip(this);
    tip_->setFont(font());
    tip_->showText(text, viewport()->mapToGlobal(cell.topLeft()), cell.height());
}

void CGfxListView::hideTip() {
    if (tip_ && tip_->isVisible()) tip_->hide();
}
