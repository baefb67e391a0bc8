#include "app/qt_doc_ui.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

#include "app/file_dialog_setup.h"
#include "app/group_save_dialog.h"

namespace fendal::app {

namespace {

QWidget* dialogOwner() {
    if (auto* modal = QApplication::activeModalWidget()) return modal;
    return QApplication::activeWindow();
}

QMessageBox::StandardButtons buttonsOf(data::MsgButtons buttons) {
    switch (buttons) {
    case data::MsgButtons::Ok: return QMessageBox::Ok;
    case data::MsgButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case data::MsgButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case data::MsgButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon iconOf(data::MsgIcon icon) {
    switch (icon) {
    case data::MsgIcon::None: return QMessageBox::NoIcon;
    case data::MsgIcon::Information: return QMessageBox::Information;
    case data::MsgIcon::Question: return QMessageBox::Question;
    case data::MsgIcon::Warning: return QMessageBox::Warning;
    case data::MsgIcon::Error: return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

std::string nativePath(const QString& path) { return QFile::encodeName(path).toStdString(); }

}  // namespace

data::MsgAnswer QtDocUi::messageBox(const std::string& text, const std::string& caption, data::MsgButtons buttons,
                                    data::MsgIcon icon) {
    QMessageBox box(iconOf(icon), QString::fromStdString(caption), QString::fromStdString(text), buttonsOf(buttons),
                    dialogOwner());
    switch (box.exec()) {
    case QMessageBox::Yes: return data::MsgAnswer::Yes;
    case QMessageBox::No: return data::MsgAnswer::No;
    case QMessageBox::Ok: return data::MsgAnswer::Ok;
    default:
        // Closing the box counts as its way out: Cancel where there is one, else No or OK.
        if (buttons == data::MsgButtons::YesNo) return data::MsgAnswer::No;
        if (buttons == data::MsgButtons::Ok) return data::MsgAnswer::Ok;
        return data::MsgAnswer::Cancel;
    }
}

std::optional<std::vector<std::string>> QtDocUi::chooseOpenFiles(const data::FileDialogOptions& options) {
    QFileDialog dialog(dialogOwner());
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    applyFileDialogOptions(dialog, options);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    std::vector<std::string> paths;
    for (const auto& p : dialog.selectedFiles()) paths.push_back(nativePath(p));
    if (paths.empty()) return std::nullopt;
    return paths;
}

std::optional<std::string> QtDocUi::chooseSaveFile(const data::FileDialogOptions& options) {
    QFileDialog dialog(dialogOwner());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    applyFileDialogOptions(dialog, options);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return nativePath(dialog.selectedFiles().first());
}

bool QtDocUi::chooseGroupSave(data::GroupSaveRequest& request) {
    CGroupSaveDialog dialog(request.options, dialogOwner());
    return dialog.run(request);
}

}  // namespace fendal::app
