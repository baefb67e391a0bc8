// fendal-cli import: a received-data file becomes a crack data file, as the transfer command does.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>
#include <string>

#include "cli_command.h"
#include "cli_doc_ui.h"
#include "cli_files.h"
#include "data/crack_file_io.h"
#include "data/fendal_doc.h"
#include "data/received_data.h"

namespace fendal::cli {

namespace {

struct Options {
    std::string in;
    std::string out;
};

int run(const Options& options) {
    const std::string in = options.in.empty() ? data::receivedDataPath() : options.in;
    const std::string& out = options.out;
    CliDocUi ui;
    data::CFendalDoc doc(ui);
    if (!doc.importReceivedData(in)) return 1;  // the document has said why

    data::CrackDataFile& f = doc.group.files[0];
    f.path = out;
    std::error_code error;
    if (!data::writeCrackFile(f, &error)) {
        std::fprintf(stderr, "fendal-cli: cannot write %s: %s\n", shown(out).c_str(), error.message().c_str());
        return 1;
    }
    std::printf("imported %d points into %s\n", f.pointCount(), shown(out).c_str());
    return ui.errorShown ? 3 : 0;  // an incomplete transfer was saved as far as it came
}

std::function<int()> define(CLI::App& command) {
    auto options = std::make_shared<Options>();
    command.add_option("RECEIVED", options->in, "the received-data file (default: the last transfer's)");
    command.add_option("-o", options->out, "the crack data file to write")->required();
    return [options] { return run(*options); };
}

CliRegistrar reg({.name = "import",
                  .usage = nullptr,
                  .summary = "turn a received-data file (default: the last transfer's) into a crack data file",
                  .define = define});

}  // namespace

}  // namespace fendal::cli
