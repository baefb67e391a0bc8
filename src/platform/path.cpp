#include "platform/temp_dir.h"

namespace fendal::platform {

std::string fileNamePart(const std::string& path) {
    auto pos = path.find_last_of("/\\");
    return pos == std::string::npos ? path : path.substr(pos + 1);
}

}  // namespace fendal::platform
