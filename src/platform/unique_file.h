#pragma once
// The one owner of a C stream: closes it when it goes out of scope.
#include <cstdio>
#include <memory>

namespace fendal::platform {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace fendal::platform
