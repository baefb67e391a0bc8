#pragma once
// The program's arguments in UTF-8, as the rest of the program holds texts and paths. On
// Windows the narrow argv is in the ANSI code page and loses every name outside it, so the
// arguments come from the UTF-16 command line; console output is set to UTF-8 to match.
#include <string>
#include <vector>

namespace fendal::platform {

// All arguments, the program's name first.
std::vector<std::string> commandLineArguments(int argc, char** argv);

}  // namespace fendal::platform
