// The temporary folder on Windows: the user's own (GetTempPathW), which only that user may
// enter, so the program's fixed file names there cannot be redirected by someone else.
#include <windows.h>

#include "platform/temp_dir.h"
#include "platform/utf16_win32.h"

namespace fendal::platform {

std::string tempDir() {
    wchar_t buffer[MAX_PATH + 1];
    const DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
    if (n == 0 || n > MAX_PATH) return {};
    std::wstring dir(buffer, n);
    if (dir.back() != L'\\') dir.push_back(L'\\');
    // The system names the folder without checking it; one that is missing is made, and
    // anything else than a real folder (a file, a link to elsewhere) is refused.
    DWORD attributes = GetFileAttributesW(dir.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES && CreateDirectoryW(dir.c_str(), nullptr))
        attributes = GetFileAttributesW(dir.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY) ||
        (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return {};
    return fromUtf16(dir);
}

char pathSeparator() { return '\\'; }

}  // namespace fendal::platform
