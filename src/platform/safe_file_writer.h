#pragma once
// The one way the program writes a file the user keeps (crack data files, reports, the print
// settings file): the data reaches the file the user named, whole or not at all, and nobody
// else can redirect it.
//
// - Links at the end of the path are followed to the real target first (but, as the system
//   does, not a link someone else planted in a shared sticky folder), so saving through a
//   link changes the file it points to.
// - The data goes to a new, uniquely named file beside the target, created exclusively and
//   never through a link; it gets the target's mode and owner, is flushed to disk, renamed
//   over the target, and the folder is synced, so a crash or power cut leaves the old or the
//   new file, and two saves at once each leave one whole file.
// - Where that cannot keep the target what it was (a folder we may not write, hard links, an
//   owner we cannot give the new file), the file is overwritten in place: the whole image,
//   flushed, then cut to size.
// Every failure carries the system's reason.
#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <system_error>
#include <vector>

namespace fendal::platform {

namespace detail {
class WriteTarget;
}

class SafeFileWriter {
public:
    explicit SafeFileWriter(const std::string& path);
    ~SafeFileWriter();  // without commit() the target stays as it was
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    // Appends bytes; false once anything has failed.
    bool write(const void* data, std::size_t size);
    // Puts everything written at the target. False with the reason in error().
    bool commit();
    // Why the write failed; empty while all is well.
    std::error_code error() const { return error_; }

private:
    void flushPending();

    std::error_code error_;  // first: opening the target sets it
    std::unique_ptr<detail::WriteTarget> target_;
    std::vector<unsigned char> pending_;
};

// Writes a whole file image through a SafeFileWriter.
bool writeFileSafely(const std::string& path, std::span<const unsigned char> bytes, std::error_code& error);

// Copies a whole regular file to `to` through a SafeFileWriter.
bool copyFileSafely(const std::string& from, const std::string& to, std::error_code& error);

// Whether `path` could be saved, without creating, truncating or following anything into
// existence: the file must be writable, or, where it does not exist yet, its folder.
bool canWriteFile(const std::string& path);

}  // namespace fendal::platform
