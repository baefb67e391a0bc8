// fendal-cli import-csv: a CSV of points (as export-csv writes it) becomes one crack data file.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>
#include <string>

#include "cli_command.h"
#include "cli_files.h"
#include "data/crack_file_io.h"
#include "office/point_csv.h"

namespace fendal::cli {

namespace {

struct Options {
    std::string in;
    std::string out;
};

int run(const Options& options) {
    const std::string& out = options.out;
    if (isOneOfTheInputs(out, {options.in})) {
        std::fprintf(stderr, "fendal-cli import-csv: %s is the file to import\n", shown(out).c_str());
        return 2;
    }
    office::CsvPoints csv;
    office::CsvRefusal refusal;
    if (!office::readPointCsv(options.in, csv, refusal)) {
        if (refusal.error) {
            std::fprintf(stderr, "fendal-cli import-csv: cannot read %s: %s\n", shown(options.in).c_str(),
                         refusal.error.message().c_str());
            return 1;
        }
        std::fprintf(stderr, "fendal-cli import-csv: %s, line %d: %s; nothing written\n", shown(options.in).c_str(),
                     refusal.line, refusal.reason.c_str());
        return 2;
    }
    // As an import from the instrument: the points are also the ones the file restores.
    data::CrackDataFile file;
    file.path = out;
    file.points = std::move(csv.points);
    file.receivedPoints = file.points;
    std::error_code error;
    if (!data::writeCrackFile(file, &error)) {
        std::fprintf(stderr, "fendal-cli import-csv: cannot write %s: %s\n", shown(out).c_str(),
                     error.message().c_str());
        return 1;
    }
    std::printf("imported %d points", file.pointCount());
    if (csv.fileCount > 1) std::printf(" of %d files", csv.fileCount);
    std::printf(" into %s\n", shown(out).c_str());
    return 0;
}

std::function<int()> define(CLI::App& command) {
    auto options = std::make_shared<Options>();
    command.add_option("CSV", options->in, "the CSV file, with the header export-csv writes")->required();
    command.add_option("-o", options->out, "the crack data file to write")->required();
    command.footer(
        "Every row becomes a point, in the order of the rows; rows naming several files all go into\n"
        "the one file written. A row that cannot become a point is refused with its line number,\n"
        "and then nothing is written. Exit status: 0 written, 1 a file could not be read or written,\n"
        "2 refused.");
    return [options] { return run(*options); };
}

const CliRegistrar registrar({.name = "import-csv",
                              .usage = nullptr,
                              .summary = "turn a CSV of points into a crack data file",
                              .define = define});

}  // namespace

}  // namespace fendal::cli
