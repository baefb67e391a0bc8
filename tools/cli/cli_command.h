#pragma once
// fendal-cli subcommands register themselves here, one file per subcommand (cmd_*.cpp).
#include <functional>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace fendal::cli {

struct CliCommand {
    const char* name;     // e.g. "info"
    const char* usage;    // or null: the command line in one line, said again when it is refused
    const char* summary;  // one line for the help
    // Declares the command's arguments on its parser and returns what runs the command once
    // they are parsed and checked; that returns the exit code.
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

}  // namespace fendal::cli
