#pragma once
// Windows error codes as the program's file errors: the error number of the same meaning, so
// every system reports the same reasons in the same words.
#include <system_error>

namespace fendal::platform {

std::error_code win32FileError(unsigned long code);

}  // namespace fendal::platform
