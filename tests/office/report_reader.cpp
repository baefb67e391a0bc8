#include "report_reader.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace report_reader {
namespace {

// The system python, which carries the Debian reader packages.
const char* python() { return std::filesystem::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3"; }

std::string command(const std::string& args) {
    return std::string(python()) + " '" + OFFICE_TEST_DIR + "/read_report.py' " + args;
}

}  // namespace

bool available() {
    const std::string check = std::string(python()) + " -c 'import docx, openpyxl' >/dev/null 2>&1";
    return std::system(check.c_str()) == 0;
}

std::vector<std::string> read(const std::string& kind, const std::string& path) {
    std::vector<std::string> lines;
    FILE* pipe = popen(command(kind + " '" + path + "'").c_str(), "r");
    if (!pipe) return lines;
    std::string current;
    for (int c; (c = std::fgetc(pipe)) != EOF;) {
        if (c == '\n') {
            lines.push_back(current);
            current.clear();
        } else {
            current += static_cast<char>(c);
        }
    }
    const int status = pclose(pipe);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) lines.push_back("reader failed");
    return lines;
}

std::string line(const std::vector<std::string>& fields) {
    std::string out;
    for (std::size_t i = 0; i < fields.size(); ++i) out += (i ? "\t" : "") + fields[i];
    return out;
}

}  // namespace report_reader
