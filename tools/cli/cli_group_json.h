#pragma once
// The subcommands that describe files as JSON: the files read as one group, as opening them in
// the program would, each described by the subcommand.
#include <functional>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "data/crack_data_file.h"

namespace fendal::cli {

// Prints {"title", "files": [{"path", ...what `describe` adds}]} on standard output and tells
// on standard error each file that could not be opened. 1 when one could not, else 0.
int printGroupJson(const std::vector<std::string>& paths,
                   const std::function<void(const data::CrackDataFile&, nlohmann::json&)>& describe);

}  // namespace fendal::cli
