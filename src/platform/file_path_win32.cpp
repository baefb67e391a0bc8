#include "platform/file_path.h"
#include "platform/utf16_win32.h"

namespace fendal::platform {

std::filesystem::path filePath(const std::string& path) { return toUtf16(path); }

}  // namespace fendal::platform
