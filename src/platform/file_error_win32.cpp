#include "platform/file_error_win32.h"

#include <windows.h>

#include <cerrno>

#include "platform/file_error.h"

namespace fendal::platform {

std::error_code win32FileError(unsigned long code) {
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME: return systemError(ENOENT);
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_PRIVILEGE_NOT_HELD: return systemError(EACCES);
    case ERROR_WRITE_PROTECT: return systemError(EROFS);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return systemError(ENOSPC);
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return systemError(EEXIST);
    case ERROR_DIRECTORY: return systemError(EISDIR);
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY: return systemError(ENOMEM);
    case ERROR_FILENAME_EXCED_RANGE: return systemError(ENAMETOOLONG);
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_PARAMETER: return systemError(EINVAL);
    case ERROR_TOO_MANY_OPEN_FILES: return systemError(EMFILE);
    case ERROR_CANT_RESOLVE_FILENAME: return systemError(ELOOP);
    default: return systemError(EIO);
    }
}

}  // namespace fendal::platform
