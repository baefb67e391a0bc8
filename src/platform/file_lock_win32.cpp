// File locks on Windows: LockFileEx on a byte far beyond any data the file will hold, taken
// through a handle of our own. Windows locks keep everybody out of the bytes they cover, so a
// lock on the data itself would refuse readers; this one keeps out only those who lock too.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <string>

#include "platform/file_lock.h"

namespace fendal::platform {

namespace {

constexpr DWORD kLockOffsetHigh = 0x7FFFFFFF;  // the lock's byte: no received-data file gets there

// The file lock library stands alone (the USB library links it), so it converts paths itself.
std::wstring wide(const std::string& utf8) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

std::string systemText(DWORD code) {
    char* text = nullptr;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   code, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
    std::string out = text ? text : "error " + std::to_string(code);
    if (text) LocalFree(text);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == ' ')) out.pop_back();
    return out;
}

bool sameFile(HANDLE handle, const std::wstring& path) {
    HANDLE named = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (named == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION a{};
    BY_HANDLE_FILE_INFORMATION b{};
    const bool same = GetFileInformationByHandle(handle, &a) && GetFileInformationByHandle(named, &b) &&
                      a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
                      a.nFileIndexLow == b.nFileIndexLow;
    CloseHandle(named);
    return same;
}

}  // namespace

std::optional<FileLock::Result> FileLock::lockOnce(const std::string& path) {
    const std::wstring name = wide(path);
    // The link itself, never what it points to; a folder opens only to be refused.
    HANDLE handle = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        m_error = path + ": " + systemText(GetLastError());
        return Result::Failed;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileInformationByHandle(handle, &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))) {
        m_error = path + ": " +
                  (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT ? "a symbolic link" : "not a regular file");
        CloseHandle(handle);
        return Result::Failed;
    }
    OVERLAPPED at{};
    at.OffsetHigh = kLockOffsetHigh;
    if (!LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
        const DWORD error = GetLastError();
        CloseHandle(handle);
        if (error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING) return Result::Busy;
        m_error = path + ": " + systemText(error);
        return Result::Failed;
    }
    if (!sameFile(handle, name)) {
        CloseHandle(handle);
        return std::nullopt;
    }
    m_handle = reinterpret_cast<intptr_t>(handle);
    return Result::Locked;
}

// Closing the handle ends the lock (its duplicates share the same open file and go with it).
void FileLock::closeHandle(intptr_t handle) { CloseHandle(reinterpret_cast<HANDLE>(handle)); }

std::FILE* FileLock::rewriteLocked() {
    const HANDLE handle = reinterpret_cast<HANDLE>(m_handle);
    // The stream has a handle of its own on the same open file, so closing it keeps the lock.
    HANDLE copy = nullptr;
    LARGE_INTEGER start{};
    if (!SetFilePointerEx(handle, start, nullptr, FILE_BEGIN) || !SetEndOfFile(handle) ||
        !DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &copy, 0, FALSE, DUPLICATE_SAME_ACCESS)) {
        m_error = systemText(GetLastError());
        return nullptr;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(copy), _O_WRONLY | _O_BINARY);
    if (fd < 0) {
        m_error = "no descriptor for the file";
        CloseHandle(copy);
        return nullptr;
    }
    std::FILE* stream = _fdopen(fd, "wb");
    if (!stream) {
        m_error = "no stream for the file";
        _close(fd);
    }
    return stream;
}

}  // namespace fendal::platform
