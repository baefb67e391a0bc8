// fendal-cli import: a received-data file becomes a crack data file, as the transfer command does.
#include <cstdio>
#include <string>

#include "cli_command.h"
#include "cli_doc_ui.h"
#include "cli_files.h"
#include "data/crack_file_io.h"
#include "data/fendal_doc.h"
#include "data/received_data.h"

namespace {

int run(const std::vector<std::string>& args) {
    std::string in, out;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o" && i + 1 < args.size()) out = args[++i];
        else in = args[i];
    }
    if (in.empty()) in = receivedDataPath();
    if (out.empty()) {
        std::fprintf(stderr, "usage: fendal-cli import [RECEIVED.tem] -o OUT.fsy\n");
        return 2;
    }
    CliDocUi ui;
    CFendalDoc doc(ui);
    if (!doc.importReceivedData(in)) return 1;  // the document has said why

    CrackDataFile& f = doc.group.files[0];
    f.path = out;
    std::error_code error;
    if (!writeCrackFile(f, &error)) {
        std::fprintf(stderr, "fendal-cli: cannot write %s: %s\n", shown(out).c_str(), error.message().c_str());
        return 1;
    }
    std::printf("imported %d points into %s\n", f.pointCount(), shown(out).c_str());
    return ui.errorShown ? 3 : 0;  // an incomplete transfer was saved as far as it came
}

CliRegistrar reg({"import", "import [RECEIVED.tem] -o OUT.fsy",
                  "turn a received-data file (default: the last transfer's) into a crack data file", run});

}  // namespace
