#include "platform/file_error.h"

#include <string>

namespace fendal::platform {

namespace {

class FileErrorCategory : public std::error_category {
public:
    const char* name() const noexcept override { return "fendal-file"; }
    std::string message(int value) const override {
        switch (static_cast<FileError>(value)) {
        case FileError::notRegularFile: return "不是普通文件";
        case FileError::noPrivateFolder: return "没有可用的私有临时文件夹";
        }
        return "unknown file error";
    }
};

}  // namespace

std::error_code make_error_code(FileError error) {
    static const FileErrorCategory category;
    return {static_cast<int>(error), category};
}

std::error_code systemError(int number) { return {number, std::generic_category()}; }

}  // namespace fendal::platform
