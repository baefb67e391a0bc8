// Writing the two reports of a 100,000-point group: the .docx report and the .xlsx table, each
// built from the group and written to a temporary folder, in points per second. The baseline,
// measured in the same process, writes the same cell texts as plain CSV to a file: the least
// any report of those texts must do.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "office/docx_writer.h"
#include "office/report_content.h"
#include "office/xlsx_writer.h"
#include "platform/text.h"

using namespace fendal;
using namespace fendal::data;
using namespace fendal::office;

namespace {

constexpr int kFiles = 2;
constexpr int kPointsPerFile = 50'000;
constexpr int kPoints = kFiles * kPointsPerFile;

// Numbers on every point, a Chinese note on every fifth, as an instrument's site data has.
const FileGroup& group() {
    static const FileGroup built = [] {
        const std::string note = platform::text::utf8ToGbk("裂缝贯通, 复测").value_or("note");
        FileGroup g;
        for (int f = 0; f < kFiles; ++f) {
            CrackDataFile file;
            file.path = platform::text::format("/data/site/bridge section %02d.fsy", f);
            file.points.resize(kPointsPerFile);
            for (int k = 0; k < kPointsPerFile; ++k) {
                MeasurePoint& p = file.points[static_cast<std::size_t>(k)];
                p = MeasurePoint{};
                platform::text::setField(p.number, platform::text::format("P%05d", k + 1));
                p.velocity = 3000 + k % 1000;
                p.depth = 50 + k % 300;
                if (k % 5 == 0) platform::text::setField(p.note, note);
            }
            file.receivedPoints = file.points;
            g.files.push_back(std::move(file));
        }
        return g;
    }();
    return built;
}

// A private folder for the written files, removed at exit.
struct Folder {
    std::filesystem::path path;
    Folder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "fendal-report-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data())) path = pattern;
    }
    ~Folder() {
        std::error_code ec;
        if (!path.empty()) std::filesystem::remove_all(path, ec);
    }
    std::string file(const char* name) const { return (path / name).string(); }
};

const Folder& folder() {
    static const Folder f;
    return f;
}

template <typename F>
double seconds(F&& f) {
    auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void appendCsvField(std::string& out, const std::string& text) {
    if (text.find_first_of(",\"\n") == std::string::npos) {
        out += text;
        return;
    }
    out += '"';
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

// The sheet's cell texts as CSV, through one buffer and one write.
bool writeCsv(const SheetReport& sheet, const std::string& path) {
    std::string out;
    for (const SheetRow& row : sheet.rows) {
        for (std::size_t c = 0; c < row.cells.size(); ++c) {
            if (c) out += ',';
            appendCsvField(out, row.cells[c]);
        }
        out += '\n';
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(out.data(), 1, out.size(), file) == out.size();
    return std::fclose(file) == 0 && written;
}

// Best of three CSV writes of the texts, built once beforehand.
double csvSeconds() {
    static const double best = [] {
        const SheetReport sheet = buildSheetReport(group());
        double b = 1e9;
        for (int i = 0; i < 3; ++i) b = std::min(b, seconds([&] { writeCsv(sheet, folder().file("texts.csv")); }));
        return b;
    }();
    return best;
}

void report(benchmark::State& state, const char* name, bool (*write)(const std::string&, std::string&)) {
    const std::string path = folder().file(name);
    group();
    double total = 0, slowest = 0;
    for (auto _ : state) {
        std::string error;
        bool ok = false;
        const double t = seconds([&] { ok = write(path, error); });
        if (!ok) {
            state.SkipWithError(("not written: " + error).c_str());
            return;
        }
        total += t;
        slowest = std::max(slowest, t);
    }
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec || size == 0) {
        state.SkipWithError("no report file");
        return;
    }
    const double perReport = total / static_cast<double>(state.iterations());
    const double baseline = csvSeconds();
    state.counters["points"] = kPoints;
    state.counters["points_per_s"] = kPoints / perReport;
    state.counters["report_s"] = perReport;
    state.counters["slowest_s"] = slowest;
    state.counters["file_MB"] = static_cast<double>(size) / 1e6;
    state.counters["csv_s"] = baseline;
    state.counters["ratio_vs_csv"] = perReport / baseline;
}

// Content built from the group and written, as the report command does.
void docxReport(benchmark::State& state) {
    report(state, "report.docx", [](const std::string& path, std::string& error) {
        return writeDocx(buildWordReport(group()), path, error);
    });
}

void xlsxReport(benchmark::State& state) {
    report(state, "report.xlsx", [](const std::string& path, std::string& error) {
        return writeXlsx(buildSheetReport(group()), path, error);
    });
}

// The baseline on its own, for the record.
void csvTexts(benchmark::State& state) {
    const SheetReport sheet = buildSheetReport(group());
    const std::string path = folder().file("texts.csv");
    for (auto _ : state)
        if (!writeCsv(sheet, path)) state.SkipWithError("csv not written");
    state.counters["points_per_s"] = benchmark::Counter(kPoints, benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK(csvTexts)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(docxReport)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(xlsxReport)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
