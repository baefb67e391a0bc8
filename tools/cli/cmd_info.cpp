// fendal-cli info: what a crack data file holds.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "cli_command.h"
#include "data/crack_file_io.h"
#include "platform/text.h"

namespace {

void printList(const char* caption, const std::vector<MeasurePoint>& points, int limit) {
    std::printf("  %s: %zu\n", caption, points.size());
    int shown = 0;
    for (const auto& p : points) {
        if (limit >= 0 && shown == limit) {
            std::printf("    ... %zu more\n", points.size() - static_cast<std::size_t>(shown));
            break;
        }
        std::printf("    %-8s %6d m/s %6d mm  %s\n", text::gbkToUtf8(text::fieldText(p.number)).c_str(), p.velocity,
                    p.depth, text::gbkToUtf8(text::fieldText(p.note)).c_str());
        ++shown;
    }
}

int run(const std::vector<std::string>& args) {
    int limit = 20;
    bool received = false;
    std::vector<std::string> files;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--all") {
            limit = -1;
        } else if (args[i] == "--limit" && i + 1 < args.size()) {
            limit = std::atoi(args[++i].c_str());
        } else if (args[i] == "--received") {
            received = true;
        } else {
            files.push_back(args[i]);
        }
    }
    if (files.empty()) {
        std::fprintf(stderr, "usage: fendal-cli info [--all|--limit N] [--received] FILE.fsy...\n");
        return 2;
    }
    int rc = 0;
    for (const auto& path : files) {
        CrackDataFile f;
        if (!readCrackFile(path, f)) {
            std::fprintf(stderr, "fendal-cli: cannot open %s\n", path.c_str());
            rc = 1;
            continue;
        }
        std::printf("%s\n", path.c_str());
        if (f.path.empty() || (f.pointCount() == 0 && f.receivedCount() == 0)) {
            std::printf("  no points (not a crack data file, or counts out of range)\n");
            continue;
        }
        printList("points", f.points, limit);
        if (received) printList("received points", f.receivedPoints, limit);
        else std::printf("  received points: %d\n", f.receivedCount());
    }
    return rc;
}

CliRegistrar reg({"info", "info [--all|--limit N] [--received] FILE...", "show the points of crack data files", run});

}  // namespace
