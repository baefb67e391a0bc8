#include "platform/staged_file.h"

#include <filesystem>
#include <system_error>

#include "platform/safe_file_writer.h"
#include "platform/temp_dir.h"

namespace fendal::platform {

bool writeStagedFile(const std::string& path, const std::string& stem, const MakeStagedFile& make, std::string& error) {
    std::error_code e;
    const std::string scratch = createScratchFile(stem, e);
    if (scratch.empty()) {
        error = e.message();
        return false;
    }
    bool written = make(scratch, error);
    if (written && !copyFileSafely(scratch, path, e)) {
        error = e.message();
        written = false;
    }
    std::filesystem::remove(scratch, e);
    return written;
}

}  // namespace fendal::platform
