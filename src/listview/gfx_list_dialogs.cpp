// The header menu's commands and the two column dialogs they open.
#include <QApplication>
#include <QMessageBox>

#include "listview/gfx_column_format_dlg.h"
#include "listview/gfx_customize_columns_dlg.h"
#include "listview/gfx_list_header.h"
#include "listview/gfx_list_view.h"

namespace fendal::listview {

void CGfxListView::runCommand(int command) {
    switch (command) {
    case kCmdSortAscending:
    case kCmdSortDescending:
        if (header_->menuColumn() >= 0) sortColumn(header_->menuColumn(), command == kCmdSortAscending);
        break;
    case kCmdCustomizeHeader: customizeColumns(); break;
    case kCmdHeaderFormat: formatColumns(); break;
    default: break;
    }
}

void CGfxListView::customizeColumns() {
    readBackColumns();
    CGfxCustomizeColumnsDlg dialog(
        columnManager(), [this](const std::string& text) { showMessage(text); }, this);
    if (dialog.exec() != QDialog::Accepted) return;
    applyColumns();
    emit columnsChanged();
}

void CGfxListView::formatColumns() {
    readBackColumns();
    CGfxColumnFormatDlg dialog(columnManager(), this);
    if (dialog.exec() != QDialog::Accepted) return;  // the dialog has taken its changes back
    applyColumns();
    emit columnsChanged();
}

void CGfxListView::showMessage(const std::string& text) {
    QMessageBox::warning(this, QApplication::applicationDisplayName(), QString::fromStdString(text));
}

}  // namespace fendal::listview
