#include "platform/safe_file_writer.h"

#include <cerrno>
#include <new>

#include "platform/file_error.h"
#include "platform/regular_file.h"
#include "platform/safe_file_writer_target.h"

namespace fendal::platform {

namespace {
constexpr std::size_t kChunk = 1 << 20;  // large writes: a system call per record would cost seconds
}

SafeFileWriter::SafeFileWriter(const std::string& path) : target_(detail::openWriteTarget(path, error_)) {
    if (!target_ && !error_) error_ = systemError(EINVAL);
}

SafeFileWriter::~SafeFileWriter() = default;

bool SafeFileWriter::write(const void* data, std::size_t size) {
    if (!target_ && !error_) error_ = systemError(EBADF);  // already committed
    if (error_) return false;
    const auto* bytes = static_cast<const unsigned char*>(data);
    try {
        pending_.insert(pending_.end(), bytes, bytes + size);
    } catch (const std::bad_alloc&) {
        error_ = systemError(ENOMEM);
        return false;
    }
    if (!target_->inPlace() && pending_.size() >= kChunk) flushPending();
    return !error_;
}

void SafeFileWriter::flushPending() {
    error_ = target_->write(pending_.data(), pending_.size());
    pending_.clear();
}

bool SafeFileWriter::commit() {
    if (!target_ && !error_) error_ = systemError(EBADF);
    if (error_) return false;
    error_ = target_->commit(pending_.data(), pending_.size());
    pending_.clear();
    target_.reset();
    return !error_;
}

bool writeFileSafely(const std::string& path, std::span<const unsigned char> bytes, std::error_code& error) {
    SafeFileWriter out(path);
    const bool ok = out.write(bytes.data(), bytes.size()) && out.commit();
    error = out.error();
    return ok;
}

bool copyFileSafely(const std::string& from, const std::string& to, std::error_code& error) {
    UniqueFile in = openRegularFile(from, error);
    if (!in) return false;
    SafeFileWriter out(to);
    std::vector<unsigned char> buf(kChunk);
    std::size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), in.get())) > 0)
        if (!out.write(buf.data(), n)) break;
    if (std::ferror(in.get())) {
        error = systemError(EIO);
        return false;
    }
    const bool copied = out.commit();
    error = out.error();
    return copied;
}

bool canWriteFile(const std::string& path) { return !path.empty() && detail::targetWritable(path); }

}  // namespace fendal::platform
