#pragma once
// Files named on the command line.
#include <string>
#include <vector>

namespace fendal::cli {

// Whether `output` names the same file as one of `inputs` (also through a link or another
// name), so that writing it would destroy what is being read.
bool isOneOfTheInputs(const std::string& output, const std::vector<std::string>& inputs);

// Tells `message` on standard error as the subcommand `command`; 1, the exit code of a failure.
int fail(const char* command, const std::string& message);

// A path for messages: shown losslessly even when it is not UTF-8.
std::string shown(const std::string& path);

}  // namespace fendal::cli
