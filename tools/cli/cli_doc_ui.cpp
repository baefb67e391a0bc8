#include "cli_doc_ui.h"

#include <cstdio>

MsgAnswer CliDocUi::messageBox(const std::string& text, const std::string&, MsgButtons buttons, MsgIcon icon) {
    std::fprintf(stderr, "fendal-cli: %s\n", text.c_str());
    if (icon == MsgIcon::Error || icon == MsgIcon::Warning) errorShown = true;
    return buttons == MsgButtons::Ok || buttons == MsgButtons::OkCancel ? MsgAnswer::Ok : MsgAnswer::No;
}

std::optional<std::vector<std::string>> CliDocUi::chooseOpenFiles(const FileDialogOptions&) {
    if (openPaths.empty()) return std::nullopt;
    return openPaths;
}

std::optional<std::string> CliDocUi::chooseSaveFile(const FileDialogOptions&) { return std::nullopt; }

bool CliDocUi::chooseGroupSave(GroupSaveRequest&) { return false; }

void CliDocUi::addToRecentFiles(const std::string&) {}
