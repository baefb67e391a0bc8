#pragma once
// Draws the list's cells (category rows with their expand box, the current cell) and makes
// its in-place editors: edit box, drop list or drop-down list, chosen by the column's masks.
#include <QStyledItemDelegate>

namespace fendal::listview {

class CGfxListView;

class CGfxListDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    static constexpr int kEditorInset = 6;        // the editor lies this far inside the cell
    static constexpr int kNarrowestEditable = 5;  // narrower columns get no editor

    explicit CGfxListDelegate(CGfxListView* list);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const override {}
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

    // The text an editor ends with.
    static QString editorText(const QWidget* editor);

private:
    void paintCategory(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const;
    void applyOwnerFormat(QWidget* editor, const QModelIndex& index) const;

    CGfxListView* list_;
};

}  // namespace fendal::listview
