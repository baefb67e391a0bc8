// fendal-cli info: the files read as one group, as opening them in the program would, as JSON.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>
#include <iostream>
#include <nlohmann/json.hpp>
#include <string>

#include "cli_command.h"
#include "cli_doc_ui.h"
#include "cli_files.h"
#include "data/fendal_doc.h"
#include "platform/regular_file.h"
#include "platform/text.h"

namespace fendal::cli {

namespace {

std::string utf8(const char* field, std::size_t size) {
    return platform::text::gbkToUtf8(platform::text::fieldText(field, size));
}

nlohmann::json pointList(const std::vector<data::MeasurePoint>& points) {
    auto list = nlohmann::json::array();
    for (const auto& p : points) {
        list.push_back({{"number", utf8(p.number, sizeof p.number)},
                        {"velocity", p.velocity},
                        {"depth", p.depth},
                        {"note", utf8(p.note, sizeof p.note)}});
    }
    return list;
}

// Why a file of the group holds nothing because it could not be opened; empty when it could.
std::string openFailure(const std::string& path) {
    std::error_code error;
    return platform::openRegularFile(path, error) ? std::string() : error.message();
}

int run(const std::vector<std::string>& args) {
    CliDocUi ui;
    ui.openPaths = args;
    data::CFendalDoc doc(ui);
    doc.onFileOpen();

    nlohmann::json out;
    // Paths are bytes: a name that is not UTF-8 (one copied from Windows, say) is shown
    // losslessly, since JSON holds UTF-8 only.
    out["title"] = platform::text::displayPath(doc.title());
    out["files"] = nlohmann::json::array();
    int rc = 0;
    for (std::size_t i = 0; i < doc.group.files.size(); ++i) {
        const data::CrackDataFile& f = doc.group.files[i];
        if (const std::string why = openFailure(args[i]); !why.empty()) {
            std::fprintf(stderr, "fendal-cli: cannot open %s: %s\n", shown(args[i]).c_str(), why.c_str());
            rc = 1;
        }
        out["files"].push_back({{"path", platform::text::displayPath(f.path)},
                                {"pointCount", f.pointCount()},
                                {"receivedCount", f.receivedCount()},
                                {"remark", utf8(f.remark, sizeof f.remark)},
                                {"points", pointList(f.points)},
                                {"receivedPoints", pointList(f.receivedPoints)}});
    }
    std::cout << out.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
    return rc;
}

std::function<int()> define(CLI::App& command) {
    auto files = std::make_shared<std::vector<std::string>>();
    command.add_option("FILE", *files, "the crack data files, read as one group")->required();
    return [files] { return run(*files); };
}

CliRegistrar reg(
    {.name = "info", .usage = nullptr, .summary = "the files read as one group, as JSON", .define = define});

}  // namespace

}  // namespace fendal::cli
