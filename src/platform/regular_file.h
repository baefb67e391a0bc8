#pragma once
// Opening a file that the user named, for reading.
#include <string>
#include <system_error>

#include "platform/file_error.h"
#include "platform/unique_file.h"

namespace fendal::platform {

// Opens `path` for binary reading, following links as usual, but only when it is a regular
// file: a FIFO cannot block the open, and a folder or a device is refused (notRegularFile, or
// the system's "is a directory"). nullptr with the reason in `error` otherwise.
UniqueFile openRegularFile(const std::string& path, std::error_code& error);

}  // namespace fendal::platform
