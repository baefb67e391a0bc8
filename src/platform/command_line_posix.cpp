#include "platform/command_line.h"

namespace fendal::platform {

std::vector<std::string> commandLineArguments(int argc, char** argv) { return {argv, argv + argc}; }

}  // namespace fendal::platform
