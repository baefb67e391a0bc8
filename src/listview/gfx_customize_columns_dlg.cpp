#include "listview/gfx_customize_columns_dlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "listview/gfx_column_dialog_rules.h"

namespace fendal::listview {

namespace {

constexpr int kIdRole = Qt::UserRole;

void addEntry(QListWidget* list, const gfxdialog::ColumnEntry& entry) {
    auto* item = new QListWidgetItem(QString::fromStdString(entry.label), list);
    item->setData(kIdRole, entry.id);
}

}  // namespace

CGfxCustomizeColumnsDlg::CGfxCustomizeColumnsDlg(CGfxColumnManager& columns, MessageFn message, QWidget* parent)
    : QDialog(parent), columns_(columns), message_(std::move(message)) {
    setWindowTitle(QStringLiteral("Customize columns"));

    free_ = new QListWidget(this);
    free_->setObjectName("freeColumns");  // 1014
    free_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    shown_ = new QListWidget(this);
    shown_->setObjectName("shownColumns");  // 1009
    shown_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    for (const auto& entry : gfxdialog::freeColumns(columns_)) addEntry(free_, entry);
    for (const auto& entry : gfxdialog::shownColumns(columns_)) addEntry(shown_, entry);

    auto* freeLabel = new QLabel(QStringLiteral("&Free columns:"), this);
    freeLabel->setBuddy(free_);
    auto* shownLabel = new QLabel(QStringLiteral("&Shown columns and order:"), this);
    shownLabel->setBuddy(shown_);

    add_ = new QPushButton(QStringLiteral("Add ->"), this);
    remove_ = new QPushButton(QStringLiteral("<- Remove"), this);
    up_ = new QPushButton(QStringLiteral("Sposta su"), this);
    down_ = new QPushButton(QStringLiteral("Sposta giù"), this);
    for (QPushButton* b : {add_, remove_, up_, down_}) b->setAutoDefault(false);
    connect(add_, &QPushButton::clicked, this, [this] { moveSelected(free_, shown_); });
    connect(remove_, &QPushButton::clicked, this, [this] { moveSelected(shown_, free_); });
    connect(up_, &QPushButton::clicked, this, [this] { moveShown(-1); });
    connect(down_, &QPushButton::clicked, this, [this] { moveShown(1); });
    connect(free_, &QListWidget::itemDoubleClicked, this, [this] { moveSelected(free_, shown_); });
    connect(shown_, &QListWidget::itemDoubleClicked, this, [this] { moveSelected(shown_, free_); });

    auto* middle = new QVBoxLayout;
    middle->addStretch();
    middle->addWidget(add_);
    middle->addWidget(remove_);
    middle->addSpacing(12);
    middle->addWidget(up_);
    middle->addWidget(down_);
    middle->addStretch();

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &CGfxCustomizeColumnsDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CGfxCustomizeColumnsDlg::reject);

    auto* grid = new QGridLayout(this);
    grid->addWidget(freeLabel, 0, 0);
    grid->addWidget(shownLabel, 0, 2);
    grid->addWidget(free_, 1, 0);
    grid->addLayout(middle, 1, 1);
    grid->addWidget(shown_, 1, 2);
    grid->addWidget(buttons, 2, 0, 1, 3);
    resize(440, 300);
}

void CGfxCustomizeColumnsDlg::moveSelected(QListWidget* from, QListWidget* to) {
    for (int row = 0; row < from->count();) {
        if (from->item(row)->isSelected()) {
            QListWidgetItem* item = from->takeItem(row);
            item->setSelected(false);
            if (to == free_)
                free_->insertItem(freePlace(item->data(kIdRole).toInt()), item);
            else
                to->addItem(item);
        } else {
            ++row;
        }
    }
}

int CGfxCustomizeColumnsDlg::freePlace(int id) const {
    // The free list keeps the columns in the order they are defined in.
    const int definition = columns_.findDefinition(id);
    int row = 0;
    while (row < free_->count() && columns_.findDefinition(free_->item(row)->data(kIdRole).toInt()) < definition) ++row;
    return row;
}

void CGfxCustomizeColumnsDlg::moveShown(int step) {
    const int n = shown_->count();
    // Walk against the direction of the move, so a selected block moves as a whole.
    for (int k = 0; k < n; ++k) {
        const int row = step < 0 ? k : n - 1 - k;
        const int target = row + step;
        if (!shown_->item(row)->isSelected() || target < 0 || target >= n || shown_->item(target)->isSelected())
            continue;
        QListWidgetItem* item = shown_->takeItem(row);
        shown_->insertItem(target, item);
        item->setSelected(true);
    }
}

void CGfxCustomizeColumnsDlg::accept() {
    std::vector<int> ids;
    for (int row = 0; row < shown_->count(); ++row) ids.push_back(shown_->item(row)->data(kIdRole).toInt());
    auto shown = gfxdialog::composeShown(ids);
    if (!shown) {
        if (message_) message_(gfxdialog::kNeedOneColumn);
        return;  // the dialog stays open
    }
    columns_.setDefaultColumns(*shown);
    QDialog::accept();
}

}  // namespace fendal::listview
