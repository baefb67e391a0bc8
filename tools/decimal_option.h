#pragma once
// Whole numbers on the tools' command lines are decimal, as people type counts: CLI11 alone
// would read 010 as octal 8 and 0x10 as 16. Give it to an option with transform() before its
// range check.
#include <CLI/CLI.hpp>
#include <string>

inline const CLI::Validator kDecimal(
    [](std::string& text) {
        const std::size_t sign = text.rfind('-', 0) == 0 ? 1 : 0;
        if (text.size() == sign || text.find_first_not_of("0123456789", sign) != std::string::npos)
            return "not a decimal whole number: " + text;
        // Leading zeros would make it octal.
        const std::size_t first = text.find_first_not_of('0', sign);
        text.erase(sign, (first == std::string::npos ? text.size() - 1 : first) - sign);
        return std::string();
    },
    "");
