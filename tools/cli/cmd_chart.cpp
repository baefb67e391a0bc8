// fendal-cli chart: the depth chart of a crack data file as a PNG picture or a PDF page.
#include <CLI/CLI.hpp>
#include <QGuiApplication>
#include <cstdio>
#include <memory>
#include <string>

#include "analysis/depth_chart_file.h"
#include "cli_command.h"
#include "cli_files.h"
#include "data/crack_file_io.h"
#include "platform/temp_dir.h"
#include "platform/text.h"

namespace fendal::cli {

namespace {

constexpr char kCommand[] = "chart";

struct Options {
    std::string input;
    std::string output;
};

int run(const Options& options) {
    if (isOneOfTheInputs(options.output, {options.input}))
        return fail(kCommand, shown(options.output) + " is the file to chart");
    data::CrackDataFile file;
    std::error_code why;
    if (!data::readCrackFile(options.input, file, &why))
        return fail(kCommand, "cannot open " + shown(options.input) + ": " + why.message());

    // Painting text needs a GUI application; without a display the offscreen platform serves.
    std::unique_ptr<QGuiApplication> app;
    if (!QCoreApplication::instance()) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "fendal-cli";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QGuiApplication>(argc, argv);
    }
    const QString title = QStringLiteral("裂缝深度图  ") +
                          QString::fromStdString(platform::text::displayPath(platform::fileNamePart(options.input)));
    std::string error;
    if (!analysis::writeDepthChartFile(options.output, file.points, title, error)) return fail(kCommand, error);
    std::printf("%s: %d point%s\n", shown(options.output).c_str(), file.pointCount(),
                file.pointCount() == 1 ? "" : "s");
    return 0;
}

std::function<int()> define(CLI::App& command) {
    auto options = std::make_shared<Options>();
    command.add_option("FILE", options->input, "the crack data file")->required();
    command.add_option("-o", options->output, "the picture to write: OUT.png or OUT.pdf")
        ->required()
        ->check(CLI::Validator(
            [](std::string& path) {
                return analysis::chartFormatOf(path) == analysis::ChartFormat::None
                           ? std::string("must end in .png or .pdf")
                           : std::string();
            },
            "OUT.png|OUT.pdf"));
    return [options] { return run(*options); };
}

const CliRegistrar registrar({.name = "chart",
                              .usage = nullptr,
                              .summary = "the depth chart of a file as a PNG picture or a PDF page",
                              .define = define});

}  // namespace

}  // namespace fendal::cli
