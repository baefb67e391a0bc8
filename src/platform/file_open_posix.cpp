#include "platform/file_open.h"

namespace platform {

std::FILE* openFile(const std::string& path, const char* mode) { return std::fopen(path.c_str(), mode); }

std::filesystem::path filePath(const std::string& path) { return path; }

}  // namespace platform
