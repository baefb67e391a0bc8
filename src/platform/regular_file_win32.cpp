// Opening a file the user named, on Windows: by its UTF-16 name, and only when it is a file
// on a disk (not a folder, a pipe or a device such as NUL or COM1).
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>

#include "platform/file_error_win32.h"
#include "platform/regular_file.h"
#include "platform/utf16_win32.h"

namespace fendal::platform {

UniqueFile openRegularFile(const std::string& path, std::error_code& error) {
    error.clear();
    // Folders open too (backup semantics), so that they are told apart from missing files.
    HANDLE handle = CreateFileW(toUtf16(path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        error = win32FileError(GetLastError());
        return nullptr;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        error = FileError::notRegularFile;
    } else if (!GetFileInformationByHandle(handle, &info)) {
        error = win32FileError(GetLastError());
    } else if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        error = systemError(EISDIR);
    }
    if (error) {
        CloseHandle(handle);
        return nullptr;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY | _O_BINARY);
    if (fd < 0) {
        error = systemError(EMFILE);
        CloseHandle(handle);
        return nullptr;
    }
    std::FILE* file = _fdopen(fd, "rb");
    if (!file) {
        error = systemError(errno);
        _close(fd);
    }
    return UniqueFile(file);
}

}  // namespace fendal::platform
