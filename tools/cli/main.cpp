// fendal-cli: the crack data core without windows, for batch work and for tests.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli_command.h"

namespace {

void usage(std::FILE* out) {
    auto list = CliRegistry::all();
    std::sort(list.begin(), list.end(),
              [](const CliCommand& a, const CliCommand& b) { return std::strcmp(a.name, b.name) < 0; });
    std::fprintf(out, "usage: fendal-cli COMMAND [ARGS...]\n\ncommands:\n");
    for (const auto& c : list) std::fprintf(out, "  %-44s %s\n", c.usage, c.summary);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h") ||
        !std::strcmp(argv[1], "help")) {
        usage(argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    for (const auto& c : CliRegistry::all()) {
        if (std::strcmp(c.name, argv[1]) == 0) return c.run(std::vector<std::string>(argv + 2, argv + argc));
    }
    std::fprintf(stderr, "fendal-cli: unknown command '%s'\n\n", argv[1]);
    usage(stderr);
    return 2;
}
