#include "listview/gfx_list_view.h"

#include <QHeaderView>
#include <QMouseEvent>

#include "listview/gfx_cell_tips.h"
#include "listview/gfx_kept_selection.h"
#include "listview/gfx_list_delegate.h"
#include "listview/gfx_list_header.h"
#include "listview/gfx_list_model.h"

namespace fendal::listview {

CGfxListView::CGfxListView(QWidget* parent) : QTableView(parent) {
    model_ = new CGfxListModel(core_, itemImages_, headerImages_, this);
    setModel(model_);
    delegate_ = new CGfxListDelegate(this);
    setItemDelegate(delegate_);
    header_ = std::make_unique<CGfxListHeader>(*this, *horizontalHeader());
    tips_ = std::make_unique<CGfxCellTips>(*this);
    core_.setExtInfoFallback([this](GfxExtInfoRequest& request) { return extendedInfo(request); });
    // Every rebuild of rows or columns: the header and the category rows' spans follow.
    connect(model_, &QAbstractItemModel::modelReset, this, &CGfxListView::afterReset);
    connect(header_.get(), &CGfxListHeader::columnsMoved, this, &CGfxListView::columnsChanged);

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

void CGfxListView::setRowHeightPixels(int pixels) { verticalHeader()->setDefaultSectionSize(pixels); }

CGfxListTip* CGfxListView::tip() const { return tips_->window(); }

// --- rows

bool CGfxListView::fillRows(std::vector<int> values, GfxCategories categories) {
    if (core_.fillRows(std::move(values), categories)) {
        header_->setSortedColumn(-1);  // new rows come in the owner's order
        return true;
    }
    model_->cellsChanged();
    return false;
}

void CGfxListView::toggleCategory(int index) {
    model_->toggleCategory(index);
    refreshSpans();
    viewport()->update();
    if (core_.style() & gfx::kStyleUpdateScrollBars) updateGeometries();
}

void CGfxListView::afterReset() {
    header_->sync();
    refreshSpans();
}

void CGfxListView::refreshSpans() {
    clearSpans();
    const CGfxCategoryManager* categories = core_.categories();
    const int columns = core_.columnCount();
    if (!categories || columns < 3) return;
    for (int k = 0; k < categories->categoryCount(); ++k)
        setSpan(categories->displayRowOfCategory(k), 1, 1, columns - 1);
}

// --- columns and sorting

void CGfxListView::applyColumns() { core_.applyColumns(); }

void CGfxListView::sortColumn(int position, bool ascending) {
    sortWith(position, [&] { return core_.sortByColumn(position, ascending); });
}

void CGfxListView::toggleSort(int position) {
    sortWith(position, [&] { return core_.toggleSort(position); });
}

void CGfxListView::sortWith(int position, const std::function<GfxSortResult()>& sort) {
    // Rows that only change places stay selected and focused.
    const GfxKeptSelection kept(*this);
    const GfxSortResult result = sort();
    header_->sorted(core_.columnId(position), result);
    if (result == GfxSortResult::Reordered) kept.restore(*this);
}

int CGfxListView::extendedInfo(GfxExtInfoRequest&) { return 0; }

// --- mouse and focus

void CGfxListView::mousePressEvent(QMouseEvent* event) {
    tips_->hide();
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
    tips_->follow(event->position().toPoint());
}

void CGfxListView::leaveEvent(QEvent* event) {
    tips_->hide();
    QTableView::leaveEvent(event);
}

void CGfxListView::focusInEvent(QFocusEvent* event) {
    // Qt makes the first row current when the list gets the focus without a current row. The
    // user did not choose it: an editor opened with a typed key, or the current-cell frame,
    // would stand on a row that is not the document's current one.
    const bool hadCurrent = currentIndex().isValid();
    QTableView::focusInEvent(event);
    if (!hadCurrent && currentIndex().isValid()) selectionModel()->clearCurrentIndex();
}

void CGfxListView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (current.isValid()) currentColumn_ = current.column();
}

}  // namespace fendal::listview
