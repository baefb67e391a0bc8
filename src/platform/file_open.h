#pragma once
// Opening a file by its path as the program holds it (UTF-8); on Windows the system call
// takes the path as UTF-16, so names outside the ANSI code page open too.
#include <cstdio>
#include <filesystem>
#include <string>

namespace platform {

// std::fopen's modes and results.
std::FILE* openFile(const std::string& path, const char* mode);

// The path for std::filesystem: on Windows a narrow string would be read in the ANSI code
// page, while path::string() gives UTF-8 back.
std::filesystem::path filePath(const std::string& path);

}  // namespace platform
