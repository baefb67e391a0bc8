#include "listview/gfx_list_model.h"

#include "listview/gfx_column.h"
#include "listview/gfx_sort_key.h"

namespace fendal::listview {

CGfxListModel::CGfxListModel(CGfxListCore& core, const QList<QPixmap>& itemImages, const QList<QPixmap>& headerImages,
                             QObject* parent)
    : QAbstractTableModel(parent), core_(core), itemImages_(itemImages), headerImages_(headerImages) {
    core_.setResetObserver([this] { beginResetModel(); }, [this] { endResetModel(); });
}

int CGfxListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : core_.rowCount(); }

int CGfxListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : core_.columnCount(); }

Qt::Alignment CGfxListModel::alignment(int align) {
    switch (align) {
    case gfx::kAlignRight: return Qt::AlignRight | Qt::AlignVCenter;
    case gfx::kAlignCenter: return Qt::AlignCenter;
    default: return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

QVariant CGfxListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const GfxRowRef ref = core_.row(index.row());
    const int column = index.column();
    if (ref.isCategory()) {
        if (role == kCategoryRole) return ref.category;
        if (role == Qt::DisplayRole && column == captionColumn())
            return QString::fromStdString(core_.categories()->caption(ref.category));
        return {};
    }
    const bool image = core_.columnHas(column, gfx::kImage);
    switch (role) {
    case kValueRole: return ref.value;
    case kCategoryRole: return -1;
    case Qt::DisplayRole:
    case Qt::EditRole:
        if (image) return {};
        return QString::fromStdString(core_.cellText(index.row(), column));
    case Qt::DecorationRole: {
        if (!image) return {};
        // An image cell's text is its image index.
        const auto i = gfx::leadingInteger(core_.cellText(index.row(), column));
        return i >= 0 && i < itemImages_.size() ? QVariant(itemImages_[i]) : QVariant();
    }
    case Qt::TextAlignmentRole: return QVariant::fromValue(alignment(core_.columns()[column].align));
    default: return {};
    }
}

QVariant CGfxListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= core_.columnCount()) return {};
    const GfxAppliedColumn& column = core_.columns()[section];
    switch (role) {
    case Qt::DisplayRole: return QString::fromStdString(column.text);
    case Qt::DecorationRole:
        return column.image >= 0 && column.image < headerImages_.size() ? QVariant(headerImages_[column.image])
                                                                        : QVariant();
    case Qt::TextAlignmentRole: return QVariant::fromValue(alignment(column.align));
    default: return {};
    }
}

Qt::ItemFlags CGfxListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (core_.row(index.row()).isCategory()) return flags;
    const int column = index.column();
    if (core_.columnHas(column, gfx::kEditBox) || core_.columnHas(column, gfx::kDropList) ||
        core_.columnHas(column, gfx::kDropDownList))
        flags |= Qt::ItemIsEditable;
    return flags;
}

void CGfxListModel::toggleCategory(int index) {
    const CGfxCategoryManager* categories = core_.categories();
    if (!categories || index < 0 || index >= categories->categoryCount()) return;
    const GfxCategory& category = categories->category(index);
    const int first = categories->displayRowOfCategory(index) + 1;
    const int members = category.rowCount();
    if (members == 0) {
        core_.toggleCategory(index);
    } else if (category.expanded) {
        beginRemoveRows({}, first, first + members - 1);
        core_.toggleCategory(index);
        endRemoveRows();
    } else {
        beginInsertRows({}, first, first + members - 1);
        core_.toggleCategory(index);
        endInsertRows();
    }
}

}  // namespace fendal::listview
