#include "cli_doc_ui.h"

#include <cstdio>

namespace fendal::cli {

data::MsgAnswer CliDocUi::messageBox(const std::string& text, const std::string&, data::MsgButtons buttons,
                                     data::MsgIcon icon) {
    std::fprintf(stderr, "fendal-cli: %s\n", text.c_str());
    if (icon == data::MsgIcon::Error || icon == data::MsgIcon::Warning) errorShown = true;
    return buttons == data::MsgButtons::Ok || buttons == data::MsgButtons::OkCancel ? data::MsgAnswer::Ok
                                                                                    : data::MsgAnswer::No;
}

std::optional<std::vector<std::string>> CliDocUi::chooseOpenFiles(const data::FileDialogOptions&) {
    if (openPaths.empty()) return std::nullopt;
    return openPaths;
}

std::optional<std::string> CliDocUi::chooseSaveFile(const data::FileDialogOptions&) { return std::nullopt; }

bool CliDocUi::chooseGroupSave(data::GroupSaveRequest&) { return false; }

void CliDocUi::addToRecentFiles(const std::string&) {}

}  // namespace fendal::cli
