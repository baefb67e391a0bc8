// fendal-cli demo-data: a received-data file of demonstration points, as an instrument would send.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "cli_command.h"
#include "cli_files.h"
#include "data/received_data.h"

namespace {

int run(const std::vector<std::string>& args) {
    int count = 25;
    std::string out;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o" && i + 1 < args.size()) out = args[++i];
        else if (args[i] == "--points" && i + 1 < args.size()) count = std::atoi(args[++i].c_str());
    }
    if (out.empty() || count < 0 || count > kMaxReceivedPoints) {
        std::fprintf(stderr, "usage: fendal-cli demo-data [--points N (0..%d)] -o OUT.tem\n", kMaxReceivedPoints);
        return 2;
    }
    std::vector<ReceivedRecord> records;
    for (int i = 0; i < count; ++i) records.push_back(demoRecord(i));
    std::error_code error;
    if (!writeReceivedDataFile(out, records, &error)) {
        std::fprintf(stderr, "fendal-cli: cannot write %s: %s\n", shown(out).c_str(), error.message().c_str());
        return 1;
    }
    std::printf("wrote %d demonstration points to %s\n", count, shown(out).c_str());
    return 0;
}

CliRegistrar reg({"demo-data", "demo-data [--points N] -o OUT.tem", "write a received-data file of demonstration points",
                  run});

}  // namespace
