#include "office/report_file.h"

#include <filesystem>
#include <system_error>

#include "platform/safe_file_writer.h"
#include "platform/temp_dir.h"

bool writeReportFile(const std::string& path, const MakeReportFile& make, std::string& error) {
    std::error_code e;
    const std::string scratch = platform::createScratchFile("report", e);
    if (scratch.empty()) {
        error = e.message();
        return false;
    }
    bool written = make(scratch, error);
    if (written && !platform::copyFileSafely(scratch, path, e)) {
        error = e.message();
        written = false;
    }
    std::filesystem::remove(scratch, e);
    return written;
}
