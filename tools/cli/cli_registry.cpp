#include "cli_command.h"

namespace fendal::cli {

namespace {
std::vector<CliCommand>& commands() {
    static std::vector<CliCommand> list;
    return list;
}
}  // namespace

void CliRegistry::add(const CliCommand& command) { commands().push_back(command); }
const std::vector<CliCommand>& CliRegistry::all() { return commands(); }

}  // namespace fendal::cli
