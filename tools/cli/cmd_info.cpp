// fendal-cli info: the files read as one group, as opening them in the program would, as JSON.
#include <CLI/CLI.hpp>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>

#include "cli_command.h"
#include "cli_group_json.h"
#include "data/crack_data_file.h"
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

int run(const std::vector<std::string>& args) {
    return printGroupJson(args, [](const data::CrackDataFile& f, nlohmann::json& file) {
        file["pointCount"] = f.pointCount();
        file["receivedCount"] = f.receivedCount();
        file["remark"] = utf8(f.remark, sizeof f.remark);
        file["points"] = pointList(f.points);
        file["receivedPoints"] = pointList(f.receivedPoints);
    });
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
