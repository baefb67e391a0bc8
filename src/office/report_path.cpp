#include "office/report_path.h"

#include <filesystem>

#include "platform/text.h"

namespace fendal::office {

std::string uniqueReportPath(const std::string& folder, const std::string& stem, const std::string& extension) {
    namespace fs = std::filesystem;
    const fs::path dir(folder);
    fs::path candidate = dir / (stem + extension);
    std::error_code ec;
    for (int n = 2; fs::exists(fs::symlink_status(candidate, ec)); ++n)
        candidate = dir / (stem + platform::text::format(" (%d)", n) + extension);
    return candidate.string();
}

}  // namespace fendal::office
