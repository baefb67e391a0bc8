#pragma once
// The document's questions and messages for a run without windows: messages go to stderr, file
// choices come from the command line, questions that would stop work are answered No.
#include <optional>
#include <string>
#include <vector>

#include "data/doc_ui.h"

namespace fendal::cli {

class CliDocUi : public data::DocUi {
public:
    std::vector<std::string> openPaths;  // what the open dialog "chooses"
    bool errorShown = false;             // an error or warning message was shown

    data::MsgAnswer messageBox(const std::string& text, const std::string& caption, data::MsgButtons buttons,
                               data::MsgIcon icon) override;
    std::optional<std::vector<std::string>> chooseOpenFiles(const data::FileDialogOptions& options) override;
    std::optional<std::string> chooseSaveFile(const data::FileDialogOptions& options) override;
    bool chooseGroupSave(data::GroupSaveRequest& request) override;
    void addToRecentFiles(const std::string& path) override;
};

}  // namespace fendal::cli
