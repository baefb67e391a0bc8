// fendal-cli: the crack data core without windows, for batch work and for tests.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli_command.h"
#include "platform/command_line.h"

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
    const std::vector<std::string> args = platform::commandLineArguments(argc, argv);
    if (args.size() < 2 || args[1] == "--help" || args[1] == "-h" || args[1] == "help") {
        usage(args.size() < 2 ? stderr : stdout);
        return args.size() < 2 ? 2 : 0;
    }
    for (const auto& c : CliRegistry::all()) {
        if (args[1] == c.name) return c.run(std::vector<std::string>(args.begin() + 2, args.end()));
    }
    std::fprintf(stderr, "fendal-cli: unknown command '%s'\n\n", args[1].c_str());
    usage(stderr);
    return 2;
}
