#include "platform/temp_dir.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace platform {
namespace {

// Creates the folder if needed and accepts it only when it is a real folder of ours that no
// one else can enter.
bool privateFolder(const std::string& dir) {
    if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) return false;
    struct stat st {};
    if (::lstat(dir.c_str(), &st) != 0) return false;
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) return false;
    if ((st.st_mode & 077) != 0 && ::chmod(dir.c_str(), 0700) != 0) return false;
    return true;
}

}  // namespace

std::string tempDir() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime) {
        std::string base(runtime);
        if (privateFolder(base)) {
            std::string dir = base + "/fendal";
            if (privateFolder(dir)) return dir + "/";
        }
    }
    std::string dir = "/tmp/fendal-" + std::to_string(::getuid());
    if (privateFolder(dir)) return dir + "/";
    return {};
}

char pathSeparator() { return '/'; }

}  // namespace platform
