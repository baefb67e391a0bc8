#pragma once
// The list's header: shows the core's columns (order, widths, fixed dividers and the sort
// indicator), refuses the changes the columns do not allow, and turns clicks, divider drags,
// item drags and its context menu into the list's operations.
#include <QObject>

#include "listview/gfx_list_core.h"

class QHeaderView;

namespace fendal::listview {

class CGfxListView;

class CGfxListHeader : public QObject {
    Q_OBJECT
public:
    static constexpr int kNarrowestDataColumn = 16;

    CGfxListHeader(CGfxListView& list, QHeaderView& header);

    // After the columns or the rows were rebuilt.
    void sync();
    // The column id whose sort the indicator shows; -1 for none.
    void setSortedColumn(int id);
    // After a sort of a column id: the indicator shows it, or stays where it was when refused.
    void sorted(int id, GfxSortResult result);
    // The header item under the last right-click; -1 when none.
    int menuColumn() const { return menuColumn_; }

signals:
    // The user dragged a column to another place, and the core took the new order.
    void columnsMoved();

private:
    void showSortIndicator();
    void onClicked(int position);
    void onResized(int position, int oldSize, int newSize);
    void onMoved(int from, int to);
    void showMenu(const QPoint& pos);

    CGfxListView& list_;
    QHeaderView& header_;
    int menuColumn_ = -1;
    int sortedId_ = -1;
    bool applying_ = false;  // our own resizes are not the user's
};

}  // namespace fendal::listview
