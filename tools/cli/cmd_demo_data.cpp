// fendal-cli demo-data: a received-data file of demonstration points, as an instrument would send.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>
#include <string>

#include "cli_command.h"
#include "cli_files.h"
#include "data/received_data.h"

namespace fendal::cli {

namespace {

struct Options {
    int count = 25;
    std::string out;
};

int run(const Options& options) {
    const int count = options.count;
    const std::string& out = options.out;
    std::vector<data::ReceivedRecord> records;
    for (int i = 0; i < count; ++i) records.push_back(data::demoRecord(i));
    std::error_code error;
    if (!data::writeReceivedDataFile(out, records, &error)) {
        std::fprintf(stderr, "fendal-cli: cannot write %s: %s\n", shown(out).c_str(), error.message().c_str());
        return 1;
    }
    std::printf("wrote %d demonstration points to %s\n", count, shown(out).c_str());
    return 0;
}

std::function<int()> define(CLI::App& command) {
    auto options = std::make_shared<Options>();
    command.add_option("--points", options->count, "how many points")
        ->check(CLI::Range(0, data::kMaxReceivedPoints))
        ->capture_default_str();
    command.add_option("-o", options->out, "the received-data file to write")->required();
    return [options] { return run(*options); };
}

CliRegistrar reg({.name = "demo-data",
                  .usage = nullptr,
                  .summary = "write a received-data file of demonstration points",
                  .define = define});

}  // namespace

}  // namespace fendal::cli
