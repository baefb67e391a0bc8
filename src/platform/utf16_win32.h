#pragma once
// Windows system calls take UTF-16; the program keeps its paths and texts in UTF-8.
#include <string>
#include <string_view>

namespace fendal::platform {

// Invalid UTF-8 becomes U+FFFD, so a bad name fails at the system call, never elsewhere.
std::wstring toUtf16(std::string_view utf8);
std::string fromUtf16(std::wstring_view utf16);

}  // namespace fendal::platform
