#pragma once
// The general list view: owner-described columns, virtual rows with collapsible categories,
// header sorting, in-place editors, tips for cut-off cells and the column dialogs.
#include <QList>
#include <QPixmap>
#include <QTableView>
#include <string>
#include <vector>

#include "listview/gfx_list_core.h"

class CGfxListModel;
class CGfxListDelegate;
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

    // --- rows
    void setRows(std::vector<int> values);
    void setCategoryMode(bool on);
    void toggleCategory(int index);
    bool rememberCategoryStates() { return core_.rememberCategoryStates(); }
    void restoreCategoryStates();
    // Selects and focuses the row whose item data is `value`; false when it is not shown.
    bool selectRowWithValue(int value);
    int columnIdAt(int position) const { return core_.columnId(position); }
    GfxRowRef rowRefAt(const QPoint& viewportPos) const;
    // The focused row if it is selected, else the first selected row; -1 when none.
    int selectedRow() const;

    // --- columns
    void applyColumns();  // rebuilds the header from the shown columns
    void readBackColumns();

    // --- header commands
    void sortColumn(int position, bool ascending);
    void onHeaderClicked(int position);
    void runCommand(int command);  // the header menu's commands on the header column
    void customizeColumns();
    void formatColumns();

    // Tip window for cut-off cell texts; null while none was shown.
    CGfxListTip* tip() const { return tip_; }

signals:
    void columnsChanged();

protected:
    // The owner window's answer to a request that has no callback; 0: default behaviour.
    virtual int extendedInfo(GfxExtInfoRequest& request);
    // Messages of the list (the customize dialog's refusal).
    virtual void showMessage(const std::string& text);
    // The focused row changed (by mouse, keys or a refill).
    virtual void focusedRowChanged() {}

    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyboardSearch(const QString& search) override;
    void commitData(QWidget* editor) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void leaveEvent(QEvent* event) override;

private:
    void afterReset();
    void syncHeader();
    void refreshSpans();
    void onSectionResized(int position, int oldSize, int newSize);
    void onSectionMoved(int logical, int from, int to);
    void showHeaderMenu(const QPoint& pos);
    void updateTip(const QPoint& viewportPos);
    void hideTip();
    bool openCurrentEditor();

    CGfxListCore core_;
    CGfxListModel* model_ = nullptr;
    CGfxListDelegate* delegate_ = nullptr;
    CGfxListTip* tip_ = nullptr;
    QList<QPixmap> itemImages_;
    QList<QPixmap> headerImages_;
    int headerColumn_ = -1;
    int currentColumn_ = 0;     // kept across refills
    int sortedColumnId_ = -1;   // the column whose sort direction the header shows
    bool applyingColumns_ = false;
    struct PendingEdit {
        bool pending = false;
        int row = -1;
        int column = -1;
        std::string text;
    } pendingEdit_;
};
