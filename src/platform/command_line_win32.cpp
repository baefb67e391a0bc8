#include <windows.h>
#include <shellapi.h>

#include "platform/command_line.h"
#include "platform/utf16_win32.h"

namespace fendal::platform {

std::vector<std::string> commandLineArguments(int argc, char** argv) {
    SetConsoleOutputCP(CP_UTF8);
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) return {argv, argv + argc};
    std::vector<std::string> args;
    for (int i = 0; i < count; ++i) args.push_back(fromUtf16(wide[i]));
    LocalFree(wide);
    return args;
}

}  // namespace fendal::platform
