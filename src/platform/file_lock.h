#pragma once
// An exclusive lock on a file, held through a handle of its own for as long as the holder keeps
// it, so that two programs (or two objects of one) never write the same file at once. The lock
// keeps out only those who lock too: readers read on. What both systems share is in
// file_lock.cpp; one backend per system (file_lock_posix.cpp; file_lock_win32.cpp, a lock beyond
// the file's data, so readers are not refused).
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "platform/unique_file.h"

namespace fendal::platform {

class FileLock {
public:
    enum class Result { Locked, Busy, Failed };

    FileLock() = default;
    ~FileLock() { unlock(); }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Opens `path`, creating it empty when missing, and locks it without waiting. Busy when
    // someone else holds the lock; Failed, with the system's reason in errorText(), when the
    // path is a symbolic link, not a regular file or cannot be opened. Neither touches the
    // file's contents. A lock already held by this object is given up first.
    Result lock(const std::string& path);
    void unlock();
    bool locked() const { return m_handle != kNoHandle; }

    // The locked file emptied and opened as a stream for writing from its start; closing the
    // stream keeps the lock. Null, with errorText(), when that fails.
    UniqueFile rewrite();

    const std::string& errorText() const { return m_error; }

private:
    static constexpr intptr_t kNoHandle = -1;

    // The backend's steps. One attempt at the file `path` names: its lock held in m_handle, or
    // Busy or Failed (m_error set); none when the file was replaced meanwhile.
    std::optional<Result> lockOnce(const std::string& path);
    static void closeHandle(intptr_t handle);
    std::FILE* rewriteLocked();

    intptr_t m_handle = kNoHandle;
    std::string m_error;
};

}  // namespace fendal::platform
