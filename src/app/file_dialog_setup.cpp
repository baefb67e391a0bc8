#include "app/file_dialog_setup.h"

#include <QFileDialog>

#include "app/file_filter.h"

void applyFileDialogOptions(QFileDialog& dialog, const FileDialogOptions& options) {
    if (!options.title.empty()) dialog.setWindowTitle(QString::fromStdString(options.title));
    QStringList filters;
    for (const auto& f : nameFiltersFromWindowsFilter(options.filter)) filters << QString::fromStdString(f);
    if (!filters.isEmpty()) dialog.setNameFilters(filters);
    if (!options.defaultExt.empty()) dialog.setDefaultSuffix(QString::fromStdString(options.defaultExt));
    if (dialog.acceptMode() == QFileDialog::AcceptOpen)
        dialog.setFileMode(options.allowMultiSelect ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !options.overwritePrompt);
}
