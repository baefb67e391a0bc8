#pragma once
#include <string>
#include <system_error>

namespace fendal::platform {

// The program's temporary folder, with a trailing separator. On Linux a private per-user
// folder (mode 0700, owned by the user) under $XDG_RUNTIME_DIR, else /tmp/fendal-<uid>:
// fixed file names in a shared /tmp would let another user redirect our writes.
// Empty when no safe folder can be had.
std::string tempDir();

// A new, empty file of our own in that folder, for a library that can only write a named
// file; the caller removes it. Empty with the reason in `error` when none can be made.
std::string createScratchFile(const std::string& stem, std::error_code& error);

// The separator of native paths on this system.
char pathSeparator();

// The file name part of a path: everything after the last separator (either '/' or '\\').
std::string fileNamePart(const std::string& path);

}  // namespace fendal::platform
