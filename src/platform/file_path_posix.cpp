#include "platform/file_path.h"

namespace fendal::platform {

std::filesystem::path filePath(const std::string& path) { return path; }

}  // namespace fendal::platform
