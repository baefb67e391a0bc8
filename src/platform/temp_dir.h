#pragma once
#include <string>

namespace platform {

// The program's temporary folder, with a trailing separator. On Linux a private per-user
// folder (mode 0700, owned by the user) under $XDG_RUNTIME_DIR, else /tmp/fendal-<uid>:
// fixed file names in a shared /tmp would let another user redirect our writes.
// Empty when no safe folder can be had.
std::string tempDir();

// The separator of native paths on this system.
char pathSeparator();

// The file name part of a path: everything after the last separator (either '/' or '\\').
std::string fileNamePart(const std::string& path);

}  // namespace platform
