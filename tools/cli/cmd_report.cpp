// fendal-cli report: the word-processor report or the spreadsheet table of a group of files.
#include <cstdio>
#include <string>
#include <vector>

#include "cli_command.h"
#include "cli_files.h"
#include "data/crack_file_io.h"
#include "data/file_group.h"
#include "office/docx_writer.h"
#include "office/report_content.h"
#include "office/xlsx_writer.h"

namespace {

int usageError(const char* why) {
    std::fprintf(stderr, "fendal-cli report: %s\nusage: fendal-cli report --docx|--xlsx FILE... -o OUT\n", why);
    return 2;
}

int run(const std::vector<std::string>& args) {
    std::string kind;
    std::string out;
    std::vector<std::string> inputs;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--docx" || a == "--xlsx") {
            if (!kind.empty() && kind != a) return usageError("choose one of --docx and --xlsx");
            kind = a;
        } else if (a == "-o") {
            if (i + 1 >= args.size()) return usageError("-o needs a file name");
            out = args[++i];
        } else {
            inputs.push_back(a);
        }
    }
    if (kind.empty()) return usageError("choose --docx or --xlsx");
    if (out.empty()) return usageError("no output file (-o OUT)");
    if (inputs.empty()) return usageError("no crack data file given");

    // Writing the report over one of the files it is made of would destroy its points.
    if (isOneOfTheInputs(out, inputs)) {
        std::fprintf(stderr, "fendal-cli report: %s is one of the files of the report\n", shown(out).c_str());
        return 1;
    }

    FileGroup group;
    for (const std::string& path : inputs) {
        CrackDataFile file;
        std::error_code why;
        if (!readCrackFile(path, file, &why)) {
            std::fprintf(stderr, "fendal-cli report: cannot read %s: %s\n", shown(path).c_str(), why.message().c_str());
            return 1;
        }
        group.files.push_back(std::move(file));
    }

    std::string error;
    const bool written = kind == "--docx" ? writeDocx(buildWordReport(group), out, error)
                                          : writeXlsx(buildSheetReport(group), out, error);
    if (!written) {
        std::fprintf(stderr, "fendal-cli report: cannot write %s: %s\n", shown(out).c_str(), error.c_str());
        return 1;
    }
    return 0;
}

const CliRegistrar registrar({"report", "report --docx|--xlsx FILE... -o OUT",
                              "write the Word report or the Excel table of the files", run});

}  // namespace
