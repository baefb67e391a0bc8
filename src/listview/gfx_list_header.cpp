#include "listview/gfx_list_header.h"

#include <QHeaderView>
#include <QMenu>
#include <QSignalBlocker>

#include "listview/gfx_column.h"
#include "listview/gfx_list_view.h"
#include "listview/list_images.h"

namespace fendal::listview {

CGfxListHeader::CGfxListHeader(CGfxListView& list, QHeaderView& header) : list_(list), header_(header) {
    header_.setMinimumSectionSize(0);  // column 0 may be 0 wide; data columns are held at 16 below
    header_.setSectionsClickable(true);
    header_.setHighlightSections(false);
    header_.setStretchLastSection(false);
    header_.setSectionsMovable(true);
    header_.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&header_, &QHeaderView::sectionClicked, this, &CGfxListHeader::onClicked);
    connect(&header_, &QHeaderView::sectionResized, this, &CGfxListHeader::onResized);
    connect(&header_, &QHeaderView::customContextMenuRequested, this, &CGfxListHeader::showMenu);
    // Taken once the header has finished its drag.
    connect(
        &header_, &QHeaderView::sectionMoved, this, [this](int, int from, int to) { onMoved(from, to); },
        Qt::QueuedConnection);
}

void CGfxListHeader::sync() {
    const CGfxListCore& core = list_.core();
    if (header_.sectionsMoved()) {
        // The core holds the order; the header shows its columns in it.
        const QSignalBlocker quiet(&header_);
        for (int i = 0; i < header_.count(); ++i) header_.moveSection(header_.visualIndex(i), i);
    }
    applying_ = true;
    for (int i = 0; i < core.columnCount(); ++i) {
        header_.setSectionResizeMode(
            i, core.columnHas(i, gfx::kFixedWidth) ? QHeaderView::Fixed : QHeaderView::Interactive);
        header_.resizeSection(i, core.columns()[i].width);
    }
    applying_ = false;
    showSortIndicator();
}

void CGfxListHeader::setSortedColumn(int id) {
    sortedId_ = id;
    showSortIndicator();
}

void CGfxListHeader::sorted(int id, GfxSortResult result) {
    if (result == GfxSortResult::Refused)
        showSortIndicator();  // a click moves the indicator by itself
    else
        setSortedColumn(id);
}

void CGfxListHeader::showSortIndicator() {
    const CGfxListCore& core = list_.core();
    const int position = core.columnPosition(sortedId_);
    header_.setSortIndicatorShown(position >= 0);
    if (position >= 0)
        header_.setSortIndicator(position,
                                 core.sortState(sortedId_).value_or(true) ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void CGfxListHeader::onClicked(int position) {
    if (list_.core().style() & gfx::kStyleHeaderSort)
        list_.toggleSort(position);
    else
        showSortIndicator();
}

void CGfxListHeader::onResized(int position, int oldSize, int newSize) {
    if (applying_) return;
    CGfxListCore& core = list_.core();
    // The divider of a fixed column does not move, and a data column narrower than 16 pixels
    // is refused: the column keeps the width it had.
    const bool refused = core.columnHas(position, gfx::kFixedWidth) || (position > 0 && newSize < kNarrowestDataColumn);
    if (refused) {
        applying_ = true;
        header_.resizeSection(position, oldSize);
        applying_ = false;
        return;
    }
    core.setColumnWidth(position, newSize);
}

void CGfxListHeader::onMoved(int from, int to) {
    // The core takes the new order (it resets the list, which syncs the header); a refused
    // move still needs the header put back.
    if (list_.core().moveColumn(from, to))
        emit columnsMoved();
    else
        sync();
}

void CGfxListHeader::showMenu(const QPoint& pos) {
    menuColumn_ = header_.logicalIndexAt(pos);
    const QList<QIcon> images = listimages::headerMenuImages();
    QMenu menu(&header_);
    auto add = [&](const QIcon& image, const char* text, int command) {
        connect(menu.addAction(image, QString::fromUtf8(text)), &QAction::triggered, this,
                [this, command] { list_.runCommand(command); });
    };
    add(images[0], "Sort ascending", CGfxListView::kCmdSortAscending);
    add(images[1], "Sort descending", CGfxListView::kCmdSortDescending);
    menu.addSeparator();
    add(images[2], "Customize header", CGfxListView::kCmdCustomizeHeader);
    add(images[3], "Header format", CGfxListView::kCmdHeaderFormat);
    menu.exec(header_.mapToGlobal(pos));
}

}  // namespace fendal::listview
