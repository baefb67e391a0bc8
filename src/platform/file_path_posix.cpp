#include "platform/file_path.h"

namespace platform {

std::filesystem::path filePath(const std::string& path) { return path; }

}  // namespace platform
