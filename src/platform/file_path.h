#pragma once
// A path as the program holds it (UTF-8) for std::filesystem: on Windows a narrow string would
// be read in the ANSI code page, which loses every name outside it, while path::string()
// gives UTF-8 back.
#include <filesystem>
#include <string>

namespace fendal::platform {

std::filesystem::path filePath(const std::string& path);

}  // namespace fendal::platform
