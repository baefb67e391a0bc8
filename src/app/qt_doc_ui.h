#pragma once
// The document's questions and choosers as real dialogs: message boxes, the system's file
// dialogs and the group save-as dialog. Dialogs belong to the active window.
#include "app/recent_file_list.h"
#include "data/doc_ui.h"

namespace fendal::app {

class QtDocUi : public data::DocUi {
public:
    explicit QtDocUi(RecentFileList& recentFiles) : recentFiles_(recentFiles) {}

    data::MsgAnswer messageBox(const std::string& text, const std::string& caption, data::MsgButtons buttons,
                               data::MsgIcon icon) override;
    std::optional<std::vector<std::string>> chooseOpenFiles(const data::FileDialogOptions& options) override;
    std::optional<std::string> chooseSaveFile(const data::FileDialogOptions& options) override;
    bool chooseGroupSave(data::GroupSaveRequest& request) override;
    void addToRecentFiles(const std::string& path) override { recentFiles_.add(path); }

private:
    RecentFileList& recentFiles_;
};

}  // namespace fendal::app
