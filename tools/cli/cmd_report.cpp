// fendal-cli report: the word-processor report or the spreadsheet table of a group of files.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli_command.h"
#include "cli_files.h"
#include "data/crack_file_io.h"
#include "data/file_group.h"
#include "office/docx_writer.h"
#include "office/report_content.h"
#include "office/xlsx_writer.h"

namespace fendal::cli {

namespace {

struct Options {
    bool docx = false;
    bool xlsx = false;
    std::string out;
    std::vector<std::string> inputs;
};

int run(const Options& options) {
    const std::string& out = options.out;
    const std::vector<std::string>& inputs = options.inputs;

    // Writing the report over one of the files it is made of would destroy its points.
    if (isOneOfTheInputs(out, inputs)) {
        std::fprintf(stderr, "fendal-cli report: %s is one of the files of the report\n", shown(out).c_str());
        return 1;
    }

    data::FileGroup group;
    for (const std::string& path : inputs) {
        data::CrackDataFile file;
        std::error_code why;
        if (!data::readCrackFile(path, file, &why)) {
            std::fprintf(stderr, "fendal-cli report: cannot read %s: %s\n", shown(path).c_str(), why.message().c_str());
            return 1;
        }
        group.files.push_back(std::move(file));
    }

    std::string error;
    const bool written = options.docx ? office::writeDocx(office::buildWordReport(group), out, error)
                                      : office::writeXlsx(office::buildSheetReport(group), out, error);
    if (!written) {
        std::fprintf(stderr, "fendal-cli report: cannot write %s: %s\n", shown(out).c_str(), error.c_str());
        return 1;
    }
    return 0;
}

std::function<int()> define(CLI::App& command) {
    auto options = std::make_shared<Options>();
    CLI::Option* docx = command.add_flag("--docx", options->docx, "write the word-processor report");
    CLI::Option* xlsx = command.add_flag("--xlsx", options->xlsx, "write the spreadsheet table");
    docx->excludes(xlsx);
    xlsx->excludes(docx);
    command.add_option("FILE", options->inputs, "the crack data files, reported as one group")->required();
    command.add_option("-o", options->out, "the report file to write")->required();
    // Exactly one of the two kinds: the flags exclude each other, and one must be there.
    command.callback([docx, xlsx] {
        if (!*docx && !*xlsx) throw CLI::RequiredError("--docx or --xlsx");
    });
    return [options] { return run(*options); };
}

const CliRegistrar registrar({.name = "report",
                              .usage = nullptr,
                              .summary = "write the Word report or the Excel table of the files",
                              .define = define});

}  // namespace

}  // namespace fendal::cli
