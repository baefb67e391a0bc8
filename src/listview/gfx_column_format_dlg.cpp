#include "listview/gfx_column_format_dlg.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "listview/gfx_column_dialog_rules.h"

namespace fendal::listview {

namespace {
constexpr int kIdRole = Qt::UserRole;
}

CGfxColumnFormatDlg::CGfxColumnFormatDlg(CGfxColumnManager& columns, QWidget* parent)
    : QDialog(parent), columns_(columns), before_(columns) {
    setWindowTitle(QStringLiteral("Column format"));

    fields_ = new QListWidget(this);
    fields_->setObjectName("freeFields");  // 1009
    for (const auto& entry : gfxdialog::allColumns(columns_)) {
        auto* item = new QListWidgetItem(QString::fromStdString(entry.label), fields_);
        item->setData(kIdRole, entry.id);
    }
    auto* fieldsLabel = new QLabel(QStringLiteral("Free &fields:"), this);
    fieldsLabel->setBuddy(fields_);

    format_ = new QComboBox(this);
    editorKind_ = new QLabel(this);
    editorKind_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label_ = new QLineEdit(this);
    label2_ = new QLineEdit(this);
    width_ = new QLineEdit(this);
    width_->setValidator(new QIntValidator(0, 9999, width_));
    width_->setMaximumWidth(60);
    left_ = new QRadioButton(QStringLiteral("&left"), this);
    center_ = new QRadioButton(QStringLiteral("&center"), this);
    right_ = new QRadioButton(QStringLiteral("&right"), this);
    auto* aligns = new QButtonGroup(this);
    aligns->addButton(left_);
    aligns->addButton(center_);
    aligns->addButton(right_);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Format:"), format_);
    form->addRow(QString(), editorKind_);
    form->addRow(QStringLiteral("&Label:"), label_);
    form->addRow(QStringLiteral("Label &2:"), label2_);
    auto* widthRow = new QHBoxLayout;
    widthRow->addWidget(width_);
    widthRow->addWidget(new QLabel(QStringLiteral("chars"), this));
    widthRow->addStretch();
    form->addRow(QStringLiteral("Width:"), widthRow);
    auto* alignBox = new QGroupBox(this);
    auto* alignRow = new QHBoxLayout(alignBox);
    alignRow->addWidget(left_);
    alignRow->addWidget(center_);
    alignRow->addWidget(right_);
    form->addRow(alignBox);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* left = new QVBoxLayout;
    left->addWidget(fieldsLabel);
    left->addWidget(fields_);
    auto* top = new QHBoxLayout;
    top->addLayout(left);
    top->addLayout(form);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);

    connect(fields_, &QListWidget::currentRowChanged, this, [this] { load(); });
    connect(left_, &QRadioButton::clicked, this, [this] { setAlign(gfx::kAlignLeft); });
    connect(center_, &QRadioButton::clicked, this, [this] { setAlign(gfx::kAlignCenter); });
    connect(right_, &QRadioButton::clicked, this, [this] { setAlign(gfx::kAlignRight); });
    connect(width_, &QLineEdit::editingFinished, this, [this] { takeWidth(); });
    connect(format_, &QComboBox::activated, this, [this] { takeFormat(); });
    connect(label_, &QLineEdit::editingFinished, this, [this] { takeLabel(); });
    connect(label2_, &QLineEdit::editingFinished, this, [this] { takeLabel2(); });

    if (fields_->count() > 0) fields_->setCurrentRow(0);
    load();
}

void CGfxColumnFormatDlg::reject() {
    columns_ = before_;
    QDialog::reject();
}

int CGfxColumnFormatDlg::averageCharWidth() const {
    return gfxdialog::averageCharWidth(fontMetrics().horizontalAdvance(QString::fromLatin1(gfxdialog::kWidthSample)));
}

GfxColumnDef* CGfxColumnFormatDlg::selected() {
    QListWidgetItem* item = fields_->currentItem();
    return item ? columns_.definitionById(item->data(kIdRole).toInt()) : nullptr;
}

void CGfxColumnFormatDlg::load() {
    GfxColumnDef* def = selected();
    for (QWidget* w : std::initializer_list<QWidget*>{format_, label_, label2_, width_, left_, center_, right_})
        w->setEnabled(def != nullptr);
    if (!def) return;
    const bool image = def->dwdata & gfx::kImage;
    format_->clear();
    if (image) {
        format_->addItem(QStringLiteral("Image"));
    } else {
        format_->addItems({QStringLiteral("Text"), QStringLiteral("Numeric"), QStringLiteral("Valute")});
        format_->setCurrentIndex(gfxdialog::formatChoice(def->dwdata));
    }
    editorKind_->setText(QString::fromStdString(gfxdialog::editorKind(def->dwdata)));
    label_->setText(QString::fromStdString(gfxdialog::columnLabel(*def)));
    label2_->setText(QString::fromStdString(def->textdt.value_or("")));
    width_->setText(QString::number(gfxdialog::widthInChars(def->width, averageCharWidth())));
    left_->setChecked(def->align == gfx::kAlignLeft);
    center_->setChecked(def->align == gfx::kAlignCenter);
    right_->setChecked(def->align == gfx::kAlignRight);
    // An image column keeps its width, alignment and second label.
    for (QWidget* w : std::initializer_list<QWidget*>{label2_, width_, left_, center_, right_}) w->setEnabled(!image);
}

void CGfxColumnFormatDlg::setAlign(int align) {
    if (GfxColumnDef* def = selected()) def->align = align;
}

void CGfxColumnFormatDlg::takeWidth() {
    GfxColumnDef* def = selected();
    if (!def || (def->dwdata & gfx::kImage)) return;
    def->width = gfxdialog::widthInPixels(width_->text().toInt(), averageCharWidth());
}

void CGfxColumnFormatDlg::takeFormat() {
    GfxColumnDef* def = selected();
    if (!def || (def->dwdata & gfx::kImage)) return;
    def->dwdata = gfxdialog::applyFormatChoice(def->dwdata,
                                               static_cast<gfxdialog::FormatChoice>(format_->currentIndex()));
}

void CGfxColumnFormatDlg::takeLabel() {
    GfxColumnDef* def = selected();
    const QString text = label_->text();
    if (!def || text.isEmpty()) return;
    if (def->dwdata & gfx::kImage)
        def->descr = text.toStdString();
    else
        def->text = text.toStdString();
    fields_->currentItem()->setText(text);
}

void CGfxColumnFormatDlg::takeLabel2() {
    GfxColumnDef* def = selected();
    if (def && !label2_->text().isEmpty()) def->textdt = label2_->text().toStdString();
}

}  // namespace fendal::listview
