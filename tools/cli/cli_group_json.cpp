#include "cli_group_json.h"

#include <cstdio>
#include <iostream>

#include "cli_doc_ui.h"
#include "cli_files.h"
#include "data/fendal_doc.h"
#include "platform/regular_file.h"
#include "platform/text.h"

namespace fendal::cli {

int printGroupJson(const std::vector<std::string>& paths,
                   const std::function<void(const data::CrackDataFile&, nlohmann::json&)>& describe) {
    CliDocUi ui;
    ui.openPaths = paths;
    data::CFendalDoc doc(ui);
    doc.onFileOpen();

    nlohmann::json out;
    // Paths are bytes: a name that is not UTF-8 (one copied from Windows, say) is shown
    // losslessly, since JSON holds UTF-8 only.
    out["title"] = platform::text::displayPath(doc.title());
    out["files"] = nlohmann::json::array();
    int rc = 0;
    for (std::size_t i = 0; i < doc.group.files.size(); ++i) {
        const data::CrackDataFile& f = doc.group.files[i];
        // The group keeps a file it could not open, without points; say why it is empty.
        std::error_code why;
        if (i < paths.size() && !platform::openRegularFile(paths[i], why)) {
            std::fprintf(stderr, "fendal-cli: cannot open %s: %s\n", shown(paths[i]).c_str(), why.message().c_str());
            rc = 1;
        }
        nlohmann::json file = {{"path", platform::text::displayPath(f.path)}};
        describe(f, file);
        out["files"].push_back(std::move(file));
    }
    std::cout << out.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
    return rc;
}

}  // namespace fendal::cli
