// print-pdf: the printed table of a group of crack data files as a PDF.
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <QGuiApplication>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli_command.h"
#include "cli_files.h"
#include "data/crack_file_io.h"
#include "data/file_group.h"
#include "platform/regular_file.h"
#include "print/print_output.h"
#include "print/print_settings_file.h"
#include "print/print_table.h"

namespace fendal::cli {

namespace {

constexpr char kCommand[] = "print-pdf";

struct Options {
    std::vector<std::string> inputs;
    std::string output;
    std::string settingsPath;
};

int run(const Options& options) {
    const std::vector<std::string>& inputs = options.inputs;
    const std::string& output = options.output;
    const std::string& settingsPath = options.settingsPath;

    // Writing the PDF over one of the files being printed would destroy its points.
    if (isOneOfTheInputs(output, inputs)) return fail(kCommand, shown(output) + " is one of the files to print");

    data::FileGroup group;
    for (const auto& path : inputs) {
        data::CrackDataFile file;
        std::error_code why;
        if (!data::readCrackFile(path, file, &why))
            return fail(kCommand, "cannot open " + shown(path) + ": " + why.message());
        group.files.push_back(std::move(file));
    }

    print::PrintTable table(&group);
    if (settingsPath.empty()) {
        table.readPrintSettings();
    } else {
        switch (print::readPrintSettingsFile(settingsPath, table.settings())) {
        case print::SettingsFileRead::Missing: {
            std::error_code why;
            platform::openRegularFile(settingsPath, why);
            return fail(kCommand, "cannot open settings file " + shown(settingsPath) + ": " + why.message());
        }
        case print::SettingsFileRead::Foreign:
            return fail(kCommand, shown(settingsPath) + " is not a print settings file");
        case print::SettingsFileRead::Read: break;
        }
    }
    print::PrintInfo info;
    table.preparePages(info);

    // Painting text needs a GUI application; without a display the offscreen platform serves.
    std::unique_ptr<QGuiApplication> app;
    if (!QCoreApplication::instance()) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "fendal-cli";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QGuiApplication>(argc, argv);
    }

    const bool tty = ::isatty(STDERR_FILENO);
    print::PageProgress progress;
    if (tty) {
        progress = [](int page, int count) {
            if (page == 1 || page % 50 == 0 || page == count) std::fprintf(stderr, "\rpage %d of %d", page, count);
            return true;
        };
    }
    std::string error;
    const bool ok = print::writeTablePdf(output, table, info, error, progress);
    if (tty) std::fprintf(stderr, "\n");
    if (!ok) return fail(kCommand, error);
    std::printf("%s: %d page%s\n", shown(output).c_str(), info.maxPage, info.maxPage == 1 ? "" : "s");
    return 0;
}

std::function<int()> define(CLI::App& command) {
    auto options = std::make_shared<Options>();
    command.add_option("FILE", options->inputs, "the crack data files, printed as one group")->required();
    command.add_option("-o", options->output, "the PDF to write")->required();
    command.add_option("--settings", options->settingsPath, "a print settings file (default: the program's own)");
    return [options] { return run(*options); };
}

const CliRegistrar registrar(
    {.name = "print-pdf", .usage = nullptr, .summary = "print the files as one group into a PDF", .define = define});

}  // namespace

}  // namespace fendal::cli
