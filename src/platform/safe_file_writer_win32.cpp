// Safe writes on Windows: an exclusive temporary file beside the real target, flushed, then
// put in the target's place by ReplaceFileW, which keeps the target's security, attributes
// and creation time (a new file is moved there with MOVEFILE_WRITE_THROUGH); in place where
// the folder takes no new file or the target has further hard links.
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <random>

#include "platform/file_error.h"
#include "platform/file_error_win32.h"
#include "platform/safe_file_writer_target.h"
#include "platform/utf16_win32.h"

namespace fendal::platform {

namespace detail {
namespace {

std::error_code lastError() { return win32FileError(GetLastError()); }

std::wstring folderOf(const std::wstring& path) {
    const auto slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return L".";
    return path.substr(0, slash == 0 || path[slash - 1] == L':' ? slash + 1 : slash);
}

std::wstring nameOf(const std::wstring& path) {
    const auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// The file a path names once links and junctions are followed, as opening it would; the path
// itself when there is no such file yet.
std::error_code resolveLinks(std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND ? std::error_code() : win32FileError(error);
    }
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return {};
    HANDLE handle = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return lastError();
    std::wstring resolved(MAX_PATH, L'\0');
    DWORD n = GetFinalPathNameByHandleW(handle, resolved.data(), static_cast<DWORD>(resolved.size()), 0);
    if (n >= resolved.size()) {
        resolved.resize(n + 1);
        n = GetFinalPathNameByHandleW(handle, resolved.data(), static_cast<DWORD>(resolved.size()), 0);
    }
    const DWORD error = GetLastError();
    CloseHandle(handle);
    if (n == 0 || n >= resolved.size()) return win32FileError(error);
    resolved.resize(n);
    path = resolved;
    return {};
}

std::error_code writeAll(HANDLE handle, const unsigned char* data, std::size_t size) {
    while (size > 0) {
        const DWORD chunk = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
        DWORD done = 0;
        if (!WriteFile(handle, data, chunk, &done, nullptr)) return lastError();
        data += done;
        size -= done;
    }
    return {};
}

// A hidden name beside the target that no one can guess: ".<name>.fendal-<random>".
std::wstring temporaryName(const std::wstring& folder, const std::wstring& name) {
    thread_local std::mt19937_64 random{std::random_device{}()};
    wchar_t suffix[24];
    std::swprintf(suffix, sizeof suffix / sizeof suffix[0], L".fendal-%012llx",
                  static_cast<unsigned long long>(random() & 0xFFFFFFFFFFFFull));
    std::wstring sep = folder.empty() || folder.back() == L'\\' || folder.back() == L'/' ? L"" : L"\\";
    return folder + sep + L"." + name.substr(0, 200) + suffix;
}

class TemporaryFile : public WriteTarget {
public:
    TemporaryFile(HANDLE handle, std::wstring temp, std::wstring target, bool replace)
        : handle_(handle), temp_(std::move(temp)), target_(std::move(target)), replace_(replace) {}
    ~TemporaryFile() override {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
        if (!temp_.empty()) DeleteFileW(temp_.c_str());
    }
    bool inPlace() const override { return false; }
    std::error_code write(const unsigned char* data, std::size_t size) override {
        return writeAll(handle_, data, size);
    }
    std::error_code commit(const unsigned char* data, std::size_t size) override {
        if (auto e = writeAll(handle_, data, size)) return e;
        if (!FlushFileBuffers(handle_)) return lastError();
        const BOOL closed = CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
        if (!closed) return lastError();
        // The target's security and attributes go over to the new content.
        const BOOL placed = replace_ ? ReplaceFileW(target_.c_str(), temp_.c_str(), nullptr,
                                                    REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)
                                     : MoveFileExW(temp_.c_str(), target_.c_str(), MOVEFILE_WRITE_THROUGH);
        if (!placed) return lastError();
        temp_.clear();
        return {};
    }

private:
    HANDLE handle_;
    std::wstring temp_;
    std::wstring target_;
    bool replace_;
};

class InPlaceFile : public WriteTarget {
public:
    explicit InPlaceFile(HANDLE handle) : handle_(handle) {}
    ~InPlaceFile() override { CloseHandle(handle_); }
    bool inPlace() const override { return true; }
    std::error_code write(const unsigned char*, std::size_t) override { return systemError(EINVAL); }
    std::error_code commit(const unsigned char* data, std::size_t size) override {
        // Room first, so a full disk fails before the old content is touched.
        LARGE_INTEGER end{};
        end.QuadPart = static_cast<LONGLONG>(size);
        LARGE_INTEGER current{};
        if (!GetFileSizeEx(handle_, &current)) return lastError();
        if (end.QuadPart > current.QuadPart &&
            (!SetFilePointerEx(handle_, end, nullptr, FILE_BEGIN) || !SetEndOfFile(handle_)))
            return lastError();
        if (!SetFilePointerEx(handle_, LARGE_INTEGER{}, nullptr, FILE_BEGIN)) return lastError();
        if (auto e = writeAll(handle_, data, size)) return e;
        if (!FlushFileBuffers(handle_)) return lastError();
        if (!SetFilePointerEx(handle_, end, nullptr, FILE_BEGIN) || !SetEndOfFile(handle_)) return lastError();
        if (!FlushFileBuffers(handle_)) return lastError();
        return {};
    }

private:
    HANDLE handle_;
};

// The file as it is now: whether it exists, and what it is.
struct TargetInfo {
    bool exists = false;
    BY_HANDLE_FILE_INFORMATION info{};
};

std::error_code inspect(const std::wstring& target, TargetInfo& out) {
    HANDLE handle = CreateFileW(target.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND ? std::error_code() : win32FileError(error);
    }
    out.exists = true;
    std::error_code error;
    if (GetFileType(handle) != FILE_TYPE_DISK)
        error = FileError::notRegularFile;
    else if (!GetFileInformationByHandle(handle, &out.info))
        error = lastError();
    else if (out.info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        error = systemError(EISDIR);
    // Replacing a read-only file would go round its protection.
    else if (out.info.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
        error = systemError(EACCES);
    CloseHandle(handle);
    return error;
}

std::unique_ptr<WriteTarget> openInPlace(const std::wstring& target, std::error_code& error) {
    HANDLE handle = CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        error = lastError();
        return nullptr;
    }
    return std::make_unique<InPlaceFile>(handle);
}

}  // namespace

std::unique_ptr<WriteTarget> openWriteTarget(const std::string& path, std::error_code& error) {
    error.clear();
    std::wstring target = toUtf16(path);
    if ((error = resolveLinks(target))) return nullptr;
    const std::wstring name = nameOf(target);
    if (name.empty()) {
        error = systemError(EISDIR);
        return nullptr;
    }
    TargetInfo current;
    if ((error = inspect(target, current))) return nullptr;

    HANDLE handle = INVALID_HANDLE_VALUE;
    std::wstring temp;
    DWORD tempError = 0;
    for (int attempt = 0; attempt < 100 && handle == INVALID_HANDLE_VALUE; ++attempt) {
        temp = temporaryName(folderOf(target), name);
        // CREATE_NEW never opens an existing name, a link included: nothing planted is followed.
        handle = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) break;
    }
    if (handle == INVALID_HANDLE_VALUE) tempError = GetLastError();

    if (handle != INVALID_HANDLE_VALUE && current.exists && current.info.nNumberOfLinks > 1) {
        // A new file would split the hard links: write in place instead.
        CloseHandle(handle);
        DeleteFileW(temp.c_str());
        handle = INVALID_HANDLE_VALUE;
    }
    if (handle != INVALID_HANDLE_VALUE) return std::make_unique<TemporaryFile>(handle, temp, target, current.exists);
    if (!current.exists) {
        error = win32FileError(tempError);
        return nullptr;
    }
    // The folder cannot take a new file, but the file itself may be written.
    return openInPlace(target, error);
}

bool targetWritable(const std::string& path) {
    std::wstring target = toUtf16(path);
    if (resolveLinks(target)) return false;
    TargetInfo current;
    if (inspect(target, current)) return false;
    if (current.exists) {
        // Opening for writing changes nothing in the file.
        HANDLE handle = CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) return false;
        CloseHandle(handle);
        return true;
    }
    if (nameOf(target).empty()) return false;
    const DWORD folder = GetFileAttributesW(folderOf(target).c_str());
    return folder != INVALID_FILE_ATTRIBUTES && (folder & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace detail

}  // namespace fendal::platform
