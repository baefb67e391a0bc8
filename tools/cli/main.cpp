// fendal-cli: the crack data core without windows, for batch work and for tests.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "cli_command.h"
#include "platform/command_line.h"

using namespace fendal::cli;

int main(int argc, char** argv) {
    // The arguments as UTF-8 on every system (on Windows from the UTF-16 command line).
    std::vector<std::string> args = fendal::platform::commandLineArguments(argc, argv);
    std::vector<char*> utf8Argv;
    for (std::string& a : args) utf8Argv.push_back(a.data());
    utf8Argv.push_back(nullptr);
    argc = static_cast<int>(args.size());
    argv = utf8Argv.data();
    CLI::App app{"fendal-cli: the crack data core without windows, for batch work and for tests", "fendal-cli"};
    app.require_subcommand(1);
    auto list = fendal::cli::CliRegistry::all();
    std::sort(list.begin(), list.end(), [](const fendal::cli::CliCommand& a, const fendal::cli::CliCommand& b) {
        return std::strcmp(a.name, b.name) < 0;
    });
    std::vector<std::pair<CLI::App*, std::function<int()>>> commands;
    for (const fendal::cli::CliCommand& c : list) {
        CLI::App* sub = app.add_subcommand(c.name, c.summary);
        commands.emplace_back(sub, c.define(*sub));
    }
    if (argc < 2) {
        std::fputs(app.help().c_str(), stderr);
        return 2;
    }
    if (std::strcmp(argv[1], "help") == 0) {
        std::fputs(app.help().c_str(), stdout);
        return 0;
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        // Help asked for is success; every refused command line is a usage error.
        if (app.exit(e) == 0) return 0;
        for (const fendal::cli::CliCommand& c : list) {
            if (c.usage && app.get_subcommand(c.name)->parsed())
                std::fprintf(stderr, "usage: fendal-cli %s\n", c.usage);
        }
        return 2;
    }
    for (auto& [sub, run] : commands) {
        if (sub->parsed()) return run();
    }
    return 2;
}
