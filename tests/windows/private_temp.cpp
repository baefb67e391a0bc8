// Every Windows test program gets the private temporary folder its runner made for it, so
// received-data and settings files of tests running side by side never meet.
#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

const bool kTempSet = [] {
    const char* dir = std::getenv("FENDAL_TEST_TEMP");
    if (!dir || !*dir) return false;
    std::string path(dir);
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return SetEnvironmentVariableA("TMP", path.c_str()) && SetEnvironmentVariableA("TEMP", path.c_str());
}();

}  // namespace
