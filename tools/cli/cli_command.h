#pragma once
// fendal-cli subcommands register themselves here, one file per subcommand (cmd_*.cpp).
#include <string>
#include <vector>

struct CliCommand {
    const char* name;     // e.g. "info"
    const char* usage;    // e.g. "info FILE..."
    const char* summary;  // one line for the help
    int (*run)(const std::vector<std::string>& args);  // arguments after the name; exit code
};

class CliRegistry {
public:
    static void add(const CliCommand& command);
    static const std::vector<CliCommand>& all();
};

struct CliRegistrar {
    explicit CliRegistrar(const CliCommand& command) { CliRegistry::add(command); }
};
