// fendal-cli info: the files read as one group, as opening them in the program would, as JSON.
#include <cstdio>
#include <iostream>
#include <nlohmann/json.hpp>
#include <string>

#include "cli_command.h"
#include "cli_doc_ui.h"
#include "data/fendal_doc.h"
#include "platform/text.h"

namespace {

std::string utf8(const char* field, std::size_t size) { return text::gbkToUtf8(text::fieldText(field, size)); }

nlohmann::json pointList(const std::vector<MeasurePoint>& points) {
    auto list = nlohmann::json::array();
    for (const auto& p : points) {
        list.push_back({{"number", utf8(p.number, sizeof p.number)},
                        {"velocity", p.velocity},
                        {"depth", p.depth},
                        {"note", utf8(p.note, sizeof p.note)}});
    }
    return list;
}

bool canRead(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f) std::fclose(f);
    return f != nullptr;
}

int run(const std::vector<std::string>& args) {
    if (args.empty()) {
        std::fprintf(stderr, "usage: fendal-cli info FILE.fsy...\n");
        return 2;
    }
    CliDocUi ui;
    ui.openPaths = args;
    CFendalDoc doc(ui);
    doc.onFileOpen();

    nlohmann::json out;
    out["title"] = doc.title();
    out["files"] = nlohmann::json::array();
    int rc = 0;
    for (std::size_t i = 0; i < doc.group.files.size(); ++i) {
        const CrackDataFile& f = doc.group.files[i];
        if (!canRead(args[i])) {
            std::fprintf(stderr, "fendal-cli: cannot open %s\n", args[i].c_str());
            rc = 1;
        }
        out["files"].push_back({{"path", f.path},
                                {"pointCount", f.pointCount()},
                                {"receivedCount", f.receivedCount()},
                                {"remark", utf8(f.remark, sizeof f.remark)},
                                {"points", pointList(f.points)},
                                {"receivedPoints", pointList(f.receivedPoints)}});
    }
    std::cout << out.dump(2) << "\n";
    return rc;
}

CliRegistrar reg({"info", "info FILE...", "the files read as one group, as JSON", run});

}  // namespace
