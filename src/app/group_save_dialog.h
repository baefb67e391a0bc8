#pragma once
// Saving several files of a group at once: Qt's own save-file dialog with a check list of the
// group's files at the side. A check says whether the file is written; the name of the
// selected line is edited through the dialog's file-name field.
#include <QFileDialog>

#include "data/doc_ui.h"

class QLineEdit;
class QListWidget;

namespace fendal::app {

class CGroupSaveDialog : public QFileDialog {
    Q_OBJECT
public:
    static constexpr int kListWidth = 120;

    CGroupSaveDialog(const data::FileDialogOptions& options, QWidget* parent = nullptr);

    // Shows the request's lines; on OK rewrites its names and checks in list order and sets
    // its chosen path. False on cancel.
    bool run(data::GroupSaveRequest& request);

    void setLines(const std::vector<std::string>& names, const std::vector<bool>& checks);
    // The lines as shown now, in list order.
    void readLines(std::vector<std::string>& names, std::vector<bool>& checks) const;

    QListWidget* fileList() const { return list_; }
    QLineEdit* fileNameField() const { return nameEdit_; }

private:
    void copySelectedName();
    void renameSelectedLine(const QString& text);

    QListWidget* list_ = nullptr;
    QLineEdit* nameEdit_ = nullptr;
};

}  // namespace fendal::app
