// fendal-cli stats: count, smallest, largest, mean and spread of velocity and depth of each
// file, read as one group as opening them in the program would, as JSON.
#include <CLI/CLI.hpp>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>

#include "analysis/point_statistics.h"
#include "cli_command.h"
#include "cli_group_json.h"
#include "data/crack_data_file.h"

namespace fendal::cli {

namespace {

// Without points there is nothing to tell: null rather than made-up zeros.
nlohmann::json valueJson(const analysis::PointStatistics& s, const analysis::ValueStatistics& v) {
    if (s.count == 0) return nullptr;
    return {{"min", v.min}, {"max", v.max}, {"mean", v.mean}, {"populationStdDev", v.populationStdDev}};
}

int run(const std::vector<std::string>& args) {
    return printGroupJson(args, [](const data::CrackDataFile& f, nlohmann::json& file) {
        const analysis::PointStatistics s = analysis::pointStatistics(f.points);
        file["pointCount"] = s.count;
        file["velocity"] = valueJson(s, s.velocity);
        file["depth"] = valueJson(s, s.depth);
    });
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
