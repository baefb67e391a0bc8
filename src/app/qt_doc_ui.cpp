#include "app/qt_doc_ui.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

#include "app/file_dialog_setup.h"
#include "app/group_save_dialog.h"

namespace {

QWidget* dialogOwner() {
    if (auto* modal = QApplication::activeModalWidget()) return modal;
    return QApplication::activeWindow();
}

QMessageBox::StandardButtons buttonsOf(MsgButtons buttons) {
    switch (buttons) {
    case MsgButtons::Ok:
        return QMessageBox::Ok;
    case MsgButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MsgButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MsgButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon iconOf(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::None:
        return QMessageBox::NoIcon;
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::Warning:
        return QMessageBox::Warning;
    case MsgIcon::Error:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

std::string nativePath(const QString& path) { return QFile::encodeName(path).toStdString(); }

}  // namespace

MsgAnswer QtDocUi::messageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                              MsgIcon icon) {
    QMessageBox box(iconOf(icon), QString::fromStdString(caption), QString::fromStdString(text),
                    buttonsOf(buttons), dialogOwner());
    switch (box.exec()) {
    case QMessageBox::Yes:
        return MsgAnswer::Yes;
    case QMessageBox::No:
        return MsgAnswer::No;
    case QMessageBox::Ok:
        return MsgAnswer::Ok;
    default:
        // Closing the box counts as its way out: Cancel where there is one, else No or OK.
        if (buttons == MsgButtons::YesNo) return MsgAnswer::No;
        if (buttons == MsgButtons::Ok) return MsgAnswer::Ok;
        return MsgAnswer::Cancel;
    }
}

std::optional<std::vector<std::string>> QtDocUi::chooseOpenFiles(const FileDialogOptions& options) {
    QFileDialog dialog(dialogOwner());
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    applyFileDialogOptions(dialog, options);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    std::vector<std::string> paths;
    for (const auto& p : dialog.selectedFiles()) paths.push_back(nativePath(p));
    if (paths.empty()) return std::nullopt;
    return paths;
}

std::optional<std::string> QtDocUi::chooseSaveFile(const FileDialogOptions& options) {
    QFileDialog dialog(dialogOwner());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    applyFileDialogOptions(dialog, options);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return nativePath(dialog.selectedFiles().first());
}

bool QtDocUi::chooseGroupSave(GroupSaveRequest& request) {
    CGroupSaveDialog dialog(request.options, dialogOwner());
    return dialog.run(request);
}
