#include "cli_files.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "platform/text.h"

namespace fendal::cli {

bool isOneOfTheInputs(const std::string& output, const std::vector<std::string>& inputs) {
    for (const auto& input : inputs) {
        std::error_code ec;
        if (std::filesystem::equivalent(input, output, ec)) return true;
    }
    return false;
}

int fail(const char* command, const std::string& message) {
    std::fprintf(stderr, "fendal-cli %s: %s\n", command, message.c_str());
    return 1;
}

std::string shown(const std::string& path) { return platform::text::displayPath(path); }

}  // namespace fendal::cli
