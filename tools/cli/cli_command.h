#pragma once
// fendal-cli subcommands register themselves here, one file per subcommand (cmd_*.cpp).
#include <functional>
#include <string>
#include <vector>

namespace CLI {
class App;
}

struct CliCommand {
    const char* name;     // e.g. "info"
    const char* usage;    // for a command that reads its own arguments: e.g. "info FILE..."
    const char* summary;  // one line for the help
    // A command that reads its own arguments (those after the name); returns the exit code.
    int (*run)(const std::vector<std::string>& args) = nullptr;
    // Otherwise: declares the command's arguments on its parser and returns what runs the
    // command once they are parsed and checked.
    std::function<int()> (*define)(CLI::App& command) = nullptr;
};

class CliRegistry {
public:
    static void add(const CliCommand& command);
    static const std::vector<CliCommand>& all();
};

struct CliRegistrar {
    explicit CliRegistrar(const CliCommand& command) { CliRegistry::add(command); }
};
