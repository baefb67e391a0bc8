#include "platform/file_lock.h"

namespace fendal::platform {

namespace {

// A holder may replace or remove the file while we wait for it; then we lock what the name
// means now, a few times at most.
constexpr int kAttempts = 5;

}  // namespace

FileLock::Result FileLock::lock(const std::string& path) {
    unlock();
    m_error.clear();
    for (int attempt = 0; attempt < kAttempts; ++attempt)
        if (std::optional<Result> result = lockOnce(path)) return *result;
    m_error = path + ": replaced while being locked";
    return Result::Failed;
}

void FileLock::unlock() {
    if (m_handle == kNoHandle) return;
    closeHandle(m_handle);
    m_handle = kNoHandle;
}

UniqueFile FileLock::rewrite() {
    if (m_handle == kNoHandle) {
        m_error = "no file is locked";
        return nullptr;
    }
    return UniqueFile(rewriteLocked());
}

}  // namespace fendal::platform
