#include "app/group_save_dialog.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QSplitter>

#include "app/file_dialog_setup.h"

namespace fendal::app {

CGroupSaveDialog::CGroupSaveDialog(const data::FileDialogOptions& options, QWidget* parent) : QFileDialog(parent) {
    // The check list lives inside the dialog's own widgets, which the platform's native
    // dialog does not have.
    setOption(QFileDialog::DontUseNativeDialog, true);
    setAcceptMode(QFileDialog::AcceptSave);
    applyFileDialogOptions(*this, options);

    list_ = new QListWidget(this);
    list_->setObjectName("groupFileList");
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list_->setMinimumWidth(kListWidth);

    // The list stands right of the file list, in the splitter that holds it, so it keeps its
    // place when the dialog is resized. Should Qt's dialog ever lose that splitter, the list
    // takes a column of its own.
    if (auto* splitter = findChild<QSplitter*>("splitter")) {
        splitter->addWidget(list_);
        splitter->setStretchFactor(splitter->indexOf(list_), 0);
        splitter->setCollapsible(splitter->indexOf(list_), false);
        QList<int> sizes = splitter->sizes();
        sizes.back() = kListWidth;
        splitter->setSizes(sizes);
    } else if (auto* grid = qobject_cast<QGridLayout*>(layout())) {
        grid->addWidget(list_, 0, grid->columnCount(), grid->rowCount(), 1);
    }

    nameEdit_ = findChild<QLineEdit*>("fileNameEdit");
    connect(list_, &QListWidget::currentRowChanged, this, [this] { copySelectedName(); });
    if (nameEdit_)
        connect(nameEdit_, &QLineEdit::textChanged, this, [this](const QString& t) { renameSelectedLine(t); });
}

void CGroupSaveDialog::setLines(const std::vector<std::string>& names, const std::vector<bool>& checks) {
    list_->clear();
    for (std::size_t i = 0; i < names.size(); ++i) {
        auto* item = new QListWidgetItem(QString::fromStdString(names[i]), list_);
        item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(i < checks.size() && checks[i] ? Qt::Checked : Qt::Unchecked);
    }
}

void CGroupSaveDialog::readLines(std::vector<std::string>& names, std::vector<bool>& checks) const {
    names.clear();
    checks.clear();
    for (int row = 0; row < list_->count(); ++row) {
        names.push_back(list_->item(row)->text().toStdString());
        checks.push_back(list_->item(row)->checkState() == Qt::Checked);
    }
}

bool CGroupSaveDialog::run(data::GroupSaveRequest& request) {
    setLines(request.names, request.checks);
    if (exec() != QDialog::Accepted) return false;
    readLines(request.names, request.checks);
    QStringList chosen = selectedFiles();
    request.chosenPath = chosen.isEmpty() ? std::string() : QFile::encodeName(chosen.first()).toStdString();
    return true;
}

void CGroupSaveDialog::copySelectedName() {
    auto* item = list_->currentItem();
    if (item && nameEdit_) nameEdit_->setText(item->text());
}

void CGroupSaveDialog::renameSelectedLine(const QString& text) {
    auto* item = list_->currentItem();
    if (!item || !item->isSelected()) return;
    // A line holds a file name only: the folder comes from the dialog's path. A field that is
    // empty or names a folder leaves the line as it was, so no file ends up without a name.
    QString name = QFileInfo(text).fileName();
    if (name.isEmpty() || name == item->text()) return;
    item->setText(name);
}

}  // namespace fendal::app
