#pragma once
#include <cstdint>
#include <vector>

#include "data/crack_data_file.h"

namespace fendal::data {

// The files open together in the document, in group order.
struct FileGroup {
    std::vector<CrackDataFile> files;

    int32_t fileCount() const { return static_cast<int32_t>(files.size()); }
    void clear() { files.clear(); }
};

}  // namespace fendal::data
