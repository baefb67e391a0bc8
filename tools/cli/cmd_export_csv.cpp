// fendal-cli export-csv: the current points of a group of files as one CSV file.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli_command.h"
#include "cli_files.h"
#include "data/crack_file_io.h"
#include "data/file_group.h"
#include "office/point_csv.h"

namespace fendal::cli {

namespace {

struct Options {
    std::string out;
    std::vector<std::string> inputs;
};

int run(const Options& options) {
    const std::string& out = options.out;
    if (isOneOfTheInputs(out, options.inputs)) {
        std::fprintf(stderr, "fendal-cli export-csv: %s is one of the files to export\n", shown(out).c_str());
        return 2;
    }
    data::FileGroup group;
    for (const std::string& path : options.inputs) {
        data::CrackDataFile file;
        std::error_code why;
        if (!data::readCrackFile(path, file, &why)) {
            std::fprintf(stderr, "fendal-cli export-csv: cannot read %s: %s\n", shown(path).c_str(),
                         why.message().c_str());
            return 1;
        }
        group.files.push_back(std::move(file));
    }
    office::CsvExportFailure failure;
    if (!office::writeGroupCsv(group, out, failure)) {
        if (failure.text.field) {
            std::fprintf(stderr, "fendal-cli export-csv: %s, point %d: %s is not GBK text; nothing written\n",
                         shown(options.inputs[failure.text.file]).c_str(), failure.text.point + 1, failure.text.field);
            return 2;
        }
        std::fprintf(stderr, "fendal-cli export-csv: cannot write %s: %s\n", shown(out).c_str(),
                     failure.error.message().c_str());
        return 1;
    }
    return 0;
}

std::function<int()> define(CLI::App& command) {
    auto options = std::make_shared<Options>();
    command.add_option("FILE", options->inputs, "the crack data files, exported in this order")->required();
    command.add_option("-o", options->out, "the CSV file to write")->required();
    command.footer(
        "Writes UTF-8 with CRLF line ends: the header 文件,序号,编号,声速(m/s),深度(mm),备注, then one row\n"
        "per current point. Exit status: 0 written, 1 a file could not be read or written, 2 refused.");
    return [options] { return run(*options); };
}

const CliRegistrar registrar({.name = "export-csv",
                              .usage = nullptr,
                              .summary = "write the points of the files as one CSV file",
                              .define = define});

}  // namespace

}  // namespace fendal::cli
