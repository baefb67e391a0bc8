#pragma once
// The document's questions and messages for a run without windows: messages go to stderr, file
// choices come from the command line, questions that would stop work are answered No.
#include <optional>
#include <string>
#include <vector>

#include "data/doc_ui.h"

class CliDocUi : public DocUi {
public:
    std::vector<std::string> openPaths;  // what the open dialog "chooses"
    bool errorShown = false;             // an error or warning message was shown

    MsgAnswer messageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                         MsgIcon icon) override;
    std::optional<std::vector<std::string>> chooseOpenFiles(const FileDialogOptions& options) override;
    std::optional<std::string> chooseSaveFile(const FileDialogOptions& options) override;
    bool chooseGroupSave(GroupSaveRequest& request) override;
    void addToRecentFiles(const std::string& path) override;
};
