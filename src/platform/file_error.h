#pragma once
// Reasons of file failures that the system has no error number for. Everything else is
// reported with the system's own error number (std::generic_category).
#include <system_error>

namespace fendal::platform {

enum class FileError {
    notRegularFile = 1,  // a folder, FIFO, socket or device where a file was expected
    noPrivateFolder,     // there is no private temporary folder to work in
};

std::error_code make_error_code(FileError error);

// The system's error number as an error code: std::error_code carries no system type.
std::error_code systemError(int number);

}  // namespace fendal::platform

template <>
struct std::is_error_code_enum<fendal::platform::FileError> : std::true_type {};
