#include "listview/gfx_list_delegate.h"

#include <QComboBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>

#include "listview/gfx_column.h"
#include "listview/gfx_list_model.h"
#include "listview/gfx_list_view.h"

namespace fendal::listview {

namespace {

// The in-place edit box with its own short context menu.
class EditBox : public QLineEdit {
public:
    using QLineEdit::QLineEdit;

protected:
    void contextMenuEvent(QContextMenuEvent* event) override {
        QMenu menu(this);
        menu.addAction(QStringLiteral("&剪切"), this, &QLineEdit::cut)->setEnabled(hasSelectedText());
        menu.addAction(QStringLiteral("&复制"), this, &QLineEdit::copy)->setEnabled(hasSelectedText());
        menu.addAction(QStringLiteral("&粘贴"), this, &QLineEdit::paste);
        menu.exec(event->globalPos());
    }
};

Qt::Alignment editorAlignment(int align) {
    switch (align) {
    case gfx::kAlignRight: return Qt::AlignRight | Qt::AlignVCenter;
    case gfx::kAlignCenter: return Qt::AlignCenter;
    default: return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

}  // namespace

CGfxListDelegate::CGfxListDelegate(CGfxListView* list) : QStyledItemDelegate(list), list_(list) {}

void CGfxListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    if (index.data(CGfxListModel::kCategoryRole).toInt() >= 0) {
        paintCategory(painter, option, index);
        return;
    }
    const CGfxListCore& core = list_->core();
    bool drawn = false;
    if (core.style() & gfx::kStyleOwnerDrawCells) {
        GfxExtInfoRequest request;
        request.code = GfxExtInfoRequest::kDrawCell;
        request.row = index.row();
        request.column = index.column();
        request.value = index.data(CGfxListModel::kValueRole).toInt();
        request.painter = painter;
        request.x = option.rect.x();
        request.y = option.rect.y();
        request.width = option.rect.width();
        request.height = option.rect.height();
        drawn = core.extendedInfo(request) != 0;
    }
    const bool current = index == list_->currentIndex();
    if (!drawn) {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        opt.state &= ~QStyle::State_HasFocus;  // the current cell gets its own frame below
        if (current && (opt.state & QStyle::State_Selected)) {
            // Lighter than its selected row, so the cell being worked on stands out.
            opt.state &= ~QStyle::State_Selected;
            opt.backgroundBrush = option.palette.color(QPalette::Highlight).lighter(175);
        }
        const bool image = core.columnHas(index.column(), gfx::kImage);
        if (image) opt.icon = QIcon();  // drawn centred below
        QStyle* style = list_->style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, list_);
        const QVariant picture = index.data(Qt::DecorationRole);
        if (image && picture.canConvert<QPixmap>()) {
            const QPixmap pixmap = picture.value<QPixmap>();
            const QRect r = option.rect;
            painter->drawPixmap(r.x() + (r.width() - pixmap.width()) / 2, r.y() + (r.height() - pixmap.height()) / 2,
                                pixmap);
        }
    }
    if (current) {
        painter->save();
        QColor frame = option.palette.color(QPalette::Highlight).darker(list_->hasFocus() ? 140 : 110);
        painter->setPen(QPen(frame, 1, list_->hasFocus() ? Qt::SolidLine : Qt::DotLine));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
        painter->restore();
    }
}

void CGfxListDelegate::paintCategory(QPainter* painter, const QStyleOptionViewItem& option,
                                     const QModelIndex& index) const {
    const int category = index.data(CGfxListModel::kCategoryRole).toInt();
    const bool expanded = list_->core().categories()->category(category).expanded;
    const bool selected = option.state & QStyle::State_Selected;
    painter->save();
    QRect r = option.rect;
    painter->fillRect(r, selected ? option.palette.color(QPalette::Highlight) : QColor(0xE4, 0xEC, 0xF7));
    painter->setPen(QColor(0x9A, 0xB0, 0xCC));
    painter->drawLine(r.bottomLeft(), r.bottomRight());
    if (index.column() == 0 && r.width() >= 11) {
        // The expand box: a square with a minus when open, a plus when closed.
        QRect box(r.x() + (r.width() - 9) / 2, r.y() + (r.height() - 9) / 2, 8, 8);
        painter->setPen(QColor(0x50, 0x60, 0x78));
        painter->setBrush(Qt::white);
        painter->drawRect(box);
        const QPoint c = box.center();
        painter->drawLine(c.x() - 2, c.y(), c.x() + 2, c.y());
        if (!expanded) painter->drawLine(c.x(), c.y() - 2, c.x(), c.y() + 2);
    }
    const QString caption = index.data(Qt::DisplayRole).toString();
    if (!caption.isEmpty()) {
        QFont font = option.font;
        font.setBold(true);
        painter->setFont(font);
        painter->setPen(selected ? option.palette.color(QPalette::HighlightedText) : QColor(0x1E, 0x2A, 0x40));
        painter->drawText(r.adjusted(4, 0, -4, 0), Qt::AlignLeft | Qt::AlignVCenter,
                          QFontMetrics(font).elidedText(caption, Qt::ElideRight, r.width() - 8));
    }
    painter->restore();
}

QWidget* CGfxListDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const {
    const CGfxListCore& core = list_->core();
    const int column = index.column();
    if (list_->columnWidth(column) < kNarrowestEditable) return nullptr;
    const int align = core.columns()[column].align;
    QWidget* editor = nullptr;
    if (core.columnHas(column, gfx::kEditBox)) {
        auto* edit = new EditBox(parent);
        edit->setAlignment(editorAlignment(align));
        edit->setFrame(false);
        editor = edit;
    } else if (core.columnHas(column, gfx::kDropList) || core.columnHas(column, gfx::kDropDownList)) {
        auto* combo = new QComboBox(parent);
        combo->setEditable(core.columnHas(column, gfx::kDropDownList) && !core.columnHas(column, gfx::kDropList));
        GfxExtInfoRequest request;
        request.code = GfxExtInfoRequest::kFillCombo;
        request.row = index.row();
        request.column = column;
        request.value = index.data(CGfxListModel::kValueRole).toInt();
        if (core.extendedInfo(request) != 0)
            for (const std::string& choice : request.choices) combo->addItem(QString::fromStdString(choice));
        editor = combo;
    }
    if (editor && (core.style() & gfx::kStyleAskEditFormat)) applyOwnerFormat(editor, index);
    return editor;
}

void CGfxListDelegate::applyOwnerFormat(QWidget* editor, const QModelIndex& index) const {
    GfxExtInfoRequest request;
    request.code = GfxExtInfoRequest::kEditFormat;
    request.row = index.row();
    request.column = index.column();
    request.value = index.data(CGfxListModel::kValueRole).toInt();
    if (list_->core().extendedInfo(request) == 0) return;
    QFont font = list_->font();
    const int flags = request.formatFlags;
    if (flags & GfxExtInfoRequest::kOwnerFont) {
        if (!request.fontFamily.empty()) font.setFamily(QString::fromStdString(request.fontFamily));
        if (request.fontPointSize > 0) font.setPointSize(request.fontPointSize);
    } else if (flags & GfxExtInfoRequest::kBoldFont) {
        font.setBold(true);
    } else if (flags & GfxExtInfoRequest::kItalicFont) {
        font.setItalic(true);
    } else if (flags & GfxExtInfoRequest::kUnderlineFont) {
        font.setUnderline(true);
    }
    editor->setFont(font);
    if (flags & GfxExtInfoRequest::kTextColour) {
        QPalette palette = editor->palette();
        palette.setColor(QPalette::Text, QColor::fromRgb(request.colour));
        editor->setPalette(palette);
    }
}

void CGfxListDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    const QString text = QString::fromStdString(list_->core().cellText(index.row(), index.column()));
    if (auto* edit = qobject_cast<QLineEdit*>(editor)) {
        edit->setText(text);
        edit->selectAll();  // a typed character replaces the old value
    } else if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        int i = combo->findText(text);
        if (i >= 0)
            combo->setCurrentIndex(i);
        else if (combo->isEditable())
            combo->setEditText(text);
    }
}

void CGfxListDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                            const QModelIndex&) const {
    QRect r = option.rect.adjusted(kEditorInset, 0, -kEditorInset, 0);
    r.setRight(std::min(r.right(), list_->viewport()->rect().right()));
    editor->setGeometry(r);
}

QString CGfxListDelegate::editorText(const QWidget* editor) {
    if (auto* edit = qobject_cast<const QLineEdit*>(editor)) return edit->text();
    if (auto* combo = qobject_cast<const QComboBox*>(editor)) return combo->currentText();
    return {};
}

}  // namespace fendal::listview
