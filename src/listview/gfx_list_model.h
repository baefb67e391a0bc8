#pragma once
// Qt's view of a CGfxListCore: every row and cell is answered from the core on demand,
// so the model holds nothing per row. It resets when the core says that what it shows
// changed, and only then.
#include <QAbstractTableModel>
#include <QList>
#include <QPixmap>

#include "listview/gfx_list_core.h"

namespace fendal::listview {

class CGfxListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // Item data of a row (int); for a category row, the category index in kCategoryRole.
    static constexpr int kValueRole = Qt::UserRole + 1;
    static constexpr int kCategoryRole = Qt::UserRole + 2;

    CGfxListModel(CGfxListCore& core, const QList<QPixmap>& itemImages, const QList<QPixmap>& headerImages,
                  QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The column of a category row that carries its caption.
    int captionColumn() const { return core_.columnCount() > 1 ? 1 : 0; }

    // Expands or collapses a category, inserting or removing its member rows in place.
    void toggleCategory(int index);

    // Texts changed in rows that stayed.
    void cellsChanged() {
        if (rowCount() > 0 && columnCount() > 0)
            emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    }
    void headerChanged() {
        if (columnCount() > 0) emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
    }

private:
    static Qt::Alignment alignment(int align);

    CGfxListCore& core_;
    const QList<QPixmap>& itemImages_;
    const QList<QPixmap>& headerImages_;
};

}  // namespace fendal::listview
