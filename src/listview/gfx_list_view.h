#pragma once
// The general list view: owner-described columns, virtual rows with collapsible categories,
// header sorting, in-place editors, tips for cut-off cells and the column dialogs. What the
// list shows lives in its core; the header, the tips and the kept selection are helpers of
// their own, and keys, editing and the dialogs have their own source files.
#include <QList>
#include <QPixmap>
#include <QTableView>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "listview/gfx_list_core.h"

namespace fendal::listview {

class CGfxListModel;
class CGfxListDelegate;
class CGfxListHeader;
class CGfxCellTips;
class CGfxListTip;

class CGfxListView : public QTableView {
    Q_OBJECT
public:
    // Header menu commands.
    static constexpr int kCmdCustomizeHeader = 32802;
    static constexpr int kCmdSortAscending = 32803;
    static constexpr int kCmdSortDescending = 32804;
    static constexpr int kCmdHeaderFormat = 32805;

    explicit CGfxListView(QWidget* parent = nullptr);
    ~CGfxListView() override;

    CGfxListCore& core() { return core_; }
    const CGfxListCore& core() const { return core_; }
    CGfxColumnManager& columnManager() { return core_.columnManager(); }

    void setItemImageList(QList<QPixmap> images);
    void setHeaderImageList(QList<QPixmap> images);

    unsigned listStyle() const { return core_.style(); }
    void addStyle(unsigned bits);
    void clearStyle(unsigned bits);
    void setRowHeightPixels(int pixels);
    void setCallbacks(GfxListCallbacks callbacks) { core_.setCallbacks(std::move(callbacks)); }

    // --- rows (gfx_list_view.cpp)
    // Fills the list; rows that stay as they were keep their selection and focus. False when
    // the list shows what it showed before (with new texts).
    bool fillRows(std::vector<int> values, GfxCategories categories = GfxCategories::None);
    void toggleCategory(int index);
    int columnIdAt(int position) const { return core_.columnId(position); }

    // --- selection (gfx_list_selection.cpp)
    // Focuses a display row, selecting it or not.
    void focusRow(int row, bool select);
    GfxRowRef rowRefAt(const QPoint& viewportPos) const;
    GfxRowRef focusedRowRef() const;
    // The focused row if it is selected, else the first selected row; -1 when none.
    int selectedRow() const;

    // --- columns and the header
    void applyColumns();  // rebuilds the header from the shown columns
    void readBackColumns() { core_.readBackColumns(); }
    void sortColumn(int position, bool ascending);
    void toggleSort(int position);  // a click on the header

    // --- commands and dialogs (gfx_list_dialogs.cpp)
    void runCommand(int command);  // the header menu's commands on the header column
    void customizeColumns();
    void formatColumns();

    // Tip window for cut-off cell texts; null while none was shown.
    CGfxListTip* tip() const;

signals:
    void columnsChanged();

protected:
    // The owner window's answer to a request that has no callback; 0: default behaviour.
    virtual int extendedInfo(GfxExtInfoRequest& request);
    // Messages of the list (the customize dialog's refusal).
    virtual void showMessage(const std::string& text);

    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;  // gfx_list_keys.cpp
    void keyboardSearch(const QString& search) override;
    void commitData(QWidget* editor) override;  // gfx_list_editing.cpp
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    void afterReset();
    void refreshSpans();
    void sortWith(int position, const std::function<GfxSortResult()>& sort);
    bool openCurrentEditor();

    CGfxListCore core_;
    QList<QPixmap> itemImages_;
    QList<QPixmap> headerImages_;
    CGfxListModel* model_ = nullptr;
    CGfxListDelegate* delegate_ = nullptr;
    std::unique_ptr<CGfxListHeader> header_;
    std::unique_ptr<CGfxCellTips> tips_;
    int currentColumn_ = 0;  // kept across refills
    struct PendingEdit {
        bool pending = false;
        int row = -1;
        int column = -1;
        std::string text;
    } pendingEdit_;
};

}  // namespace fendal::listview
