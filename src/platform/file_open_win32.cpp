#include <cstdio>

#include "platform/file_open.h"
#include "platform/utf16_win32.h"

namespace platform {

std::FILE* openFile(const std::string& path, const char* mode) {
    return _wfopen(toUtf16(path).c_str(), toUtf16(mode).c_str());
}

std::filesystem::path filePath(const std::string& path) { return toUtf16(path); }

}  // namespace platform
