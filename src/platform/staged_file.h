#pragma once
// Files that come from libraries which write a named file of their own (libzip, libxlsxwriter,
// Qt's PDF writer): they write a scratch file in the private temporary folder, which then
// reaches the target through the safe writer. The file is whole or not there, two writers of
// one target each leave a whole file, and a link or FIFO planted at the target redirects or
// blocks nothing.
#include <functional>
#include <string>

namespace fendal::platform {

using MakeStagedFile = std::function<bool(const std::string& scratch, std::string& error)>;

// `make` writes the scratch file; false with the reason in `error`, the target then as it was.
bool writeStagedFile(const std::string& path, const std::string& stem, const MakeStagedFile& make, std::string& error);

}  // namespace fendal::platform
