// fendal-cli stats: count, smallest, largest, mean and spread of velocity and depth of each
// file, read as one group as opening them in the program would, as JSON.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>

#include "analysis/point_statistics.h"
#include "cli_command.h"
#include "cli_doc_ui.h"
#include "cli_files.h"
#include "data/fendal_doc.h"
#include "platform/regular_file.h"
#include "platform/text.h"

namespace fendal::cli {

namespace {

// Without points there is nothing to tell: null rather than made-up zeros.
nlohmann::json valueJson(const analysis::PointStatistics& s, const analysis::ValueStatistics& v) {
    if (s.count == 0) return nullptr;
    return {{"min", v.min}, {"max", v.max}, {"mean", v.mean}, {"populationStdDev", v.populationStdDev}};
}

int run(const std::vector<std::string>& args) {
    CliDocUi ui;
    ui.openPaths = args;
    data::CFendalDoc doc(ui);
    doc.onFileOpen();

    nlohmann::json out;
    out["title"] = platform::text::displayPath(doc.title());
    out["files"] = nlohmann::json::array();
    int rc = 0;
    for (std::size_t i = 0; i < doc.group.files.size(); ++i) {
        const data::CrackDataFile& f = doc.group.files[i];
        std::error_code why;
        if (!platform::openRegularFile(args[i], why)) {
            std::fprintf(stderr, "fendal-cli: cannot open %s: %s\n", shown(args[i]).c_str(), why.message().c_str());
            rc = 1;
        }
        const analysis::PointStatistics s = analysis::pointStatistics(f.points);
        out["files"].push_back({{"path", platform::text::displayPath(f.path)},
                                {"pointCount", s.count},
                                {"velocity", valueJson(s, s.velocity)},
                                {"depth", valueJson(s, s.depth)}});
    }
    std::cout << out.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
    return rc;
}

std::function<int()> define(CLI::App& command) {
    auto files = std::make_shared<std::vector<std::string>>();
    command.add_option("FILE", *files, "the crack data files, read as one group")->required();
    return [files] { return run(*files); };
}

CliRegistrar reg({.name = "stats",
                  .usage = nullptr,
                  .summary = "count, min, max, mean and population standard deviation of velocity and depth, as JSON",
                  .define = define});

}  // namespace

}  // namespace fendal::cli
