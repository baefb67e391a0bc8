#pragma once
// The system's side of a safe write (one backend file per system).
#include <cstddef>
#include <memory>
#include <string>
#include <system_error>

namespace fendal::platform {

namespace detail {

class WriteTarget {
public:
    virtual ~WriteTarget() = default;  // an unfinished temporary file is removed
    // True when the target is overwritten in place: then nothing may reach it before commit,
    // so a failure on the way leaves it untouched.
    virtual bool inPlace() const = 0;
    // Writes to the temporary file (never called in place).
    virtual std::error_code write(const unsigned char* data, std::size_t size) = 0;
    // Writes the rest (in place: the whole image) and puts the file at the target.
    virtual std::error_code commit(const unsigned char* data, std::size_t size) = 0;
};

// nullptr with the reason in `error` when the target cannot be written.
std::unique_ptr<WriteTarget> openWriteTarget(const std::string& path, std::error_code& error);

bool targetWritable(const std::string& path);

}  // namespace detail

}  // namespace fendal::platform
